#pragma once
// CWzPage: what every wizard page does for the flow. A page reads its settings while the wizard is
// built, fills its controls the first time it is shown, takes its controls back (and may refuse)
// when the user leaves it, and after Finish summarises and writes its changes. The "controls" are
// plain fields of the model; the Qt page mirrors them.
#include <string>

#include "access/snmp_session.h"
#include "config/device_page.h"

namespace wizard {

// Page identifiers: the page sequence is a list of these.
enum PageId : int {
  kWelcomeId = 106,
  kProtocolsId = 4607,
  kTcpIpId = 4608,
  kNetWareId = 4609,
  kVinesId = 4610,
  kEtherTalkId = 4611,
  kFinishId = 4612,
  kWirelessId = 4652,
  kSerialId = 4657,
};

// Every summary block of a page begins with this rule (29 "=").
inline constexpr const char* kRule = "\r\n=============================";

using config::PageCheck;

class CWzPage {
 public:
  virtual ~CWzPage() = default;

  virtual int id() const = 0;
  virtual const char* title() const = 0;

  // Reads the page's settings (the flow calls it while building the wizard).
  virtual int read(snmpaccess::CSnmpSession& session) { return 0; }
  // The first showing fills the controls from what was read; the changed flag starts clear.
  void open() {
    if (opened_) return;
    opened_ = true;
    fill();
    changed_ = false;
  }
  bool opened() const { return opened_; }
  // Leaving with Next (forward) or Back: the controls into the values. A refusal keeps the page.
  virtual PageCheck leave(bool forward) { return PageCheck::pass(); }

  virtual std::string GetChangeSummary() const { return {}; }
  virtual int SaveChanges(snmpaccess::CSnmpSession& session) { return 0; }

  bool changed() const { return changed_; }
  void markChanged() { changed_ = true; }

 protected:
  virtual void fill() {}
  void clearChanged() { changed_ = false; }

 private:
  bool opened_ = false;
  bool changed_ = false;
};

}  // namespace wizard
