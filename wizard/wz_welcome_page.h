#pragma once
// CWzWelcomeDlg: "Welcome!". The greeting and three links to the maker's web pages: two shown as
// their addresses, one behind the picture. A link opens in the desktop's web browser (xdg-open);
// the page remembers which links were opened so that they show in the visited colour. The
// addresses are the maker's placeholder domain (quorvel.example), which resolves nowhere: on this
// system the links show that the browser is asked, not a real page.
#include <array>

#include "wizard/wz_page.h"

namespace wizard {

inline constexpr const char* kWelcomeText =
    "Welcome to the Setup Wizard.  The Wizard will show you how easy it can be to set up a Quorvel Print Server.  "
    "If you are familiar with the Trellan utility and prefer not to use this wizard, press Cancel at any time.";

struct WelcomeLink {
  int control;       // 4799, 4800: text links; 4770: the picture
  const char* line;  // the informational line before the link (none for the picture)
  const char* text;  // what the link shows (none for the picture)
  const char* url;   // where it leads; empty: the text itself
};

inline constexpr std::array<WelcomeLink, 3> kWelcomeLinks{{
    {4799, "For the latest firmware, utilities and documentation for your print server, visit:",
     "https://www.quorvel.example/support/", ""},
    {4800, "To register your print server and hear about updates, visit:", "https://www.quorvel.example/trellan/register",
     ""},
    {4770, "", "", "https://www.quorvel.example/"},
}};

class CWzWelcomeDlg : public CWzPage {
 public:
  int id() const override { return kWelcomeId; }
  const char* title() const override { return "Welcome!"; }

  static int linkCount() { return static_cast<int>(kWelcomeLinks.size()); }
  // The address link `index` opens: its own text unless it has a target.
  static const char* target(int index);
  // The open succeeded: the link is drawn as visited from now on (a failed open only beeps).
  void opened(int index);
  bool visited(int index) const;

 private:
  std::array<bool, kWelcomeLinks.size()> visited_{};
};

}  // namespace wizard
