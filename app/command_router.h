#pragma once
// Routes the commands of the main window: stops a running search first, then runs the handler
// the main window registered for the command, or one of the handlers this router carries itself
// (refresh, stop, the web links, e-mail, help, the sibling monitor program, telnet, network
// information), or says once that the command is not available in this build. It knows no
// widgets: everything it needs from the window goes through CommandHost.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_ids.h"
#include "app/command_state.h"

namespace platform {
class Registry;
}

namespace app {

// What the router asks of the main window.
class CommandHost {
 public:
  virtual ~CommandHost() = default;

  // The state the enabling rules read, as it is now.
  virtual CommandState commandState() = 0;
  // Posts "Cancelling current search..." and stops a running search, waiting for it.
  virtual void cancelSearch() = 0;
  // An information box with `text`.
  virtual void showMessage(const std::string& text) = 0;
  // ReportError with one (code, class) pair.
  virtual void reportError(std::uint32_t code, int errorClass) = 0;

  // Refresh: the application's protocol check and access list, then a full search of the open
  // view; focusMainWindow when the automatic first search is skipped.
  virtual bool checkProtocol(int viewProtocol) = 0;
  virtual bool loadAccessList(int viewProtocol, bool force) = 0;
  virtual void refreshOpenView() = 0;
  virtual void focusMainWindow() = 0;

  // Launchers. Each returns false when nothing could be started; programs get an argument
  // list, never a command line.
  virtual bool openUrl(const std::string& url) = 0;
  virtual bool openLocalFile(const std::string& path) = 0;
  virtual bool startProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
  virtual void setWaitCursor(bool on) = 0;

  // Finds a top-level window by title or by window class, shows it normally and brings it to
  // the top; false when there is none (or the platform cannot tell).
  virtual bool activateWindowByTitle(const std::string& title) = 0;
  virtual bool activateWindowByClass(const std::string& windowClass) = 0;
  // An Open dialog preset to `fileName` with one filter; nothing when cancelled.
  virtual std::optional<std::string> chooseProgramFile(const std::string& fileName, const std::string& filterName,
                                                       const std::string& filterPattern) = 0;

  // The IP Address column text of the focused row's device, empty when no row has the focus.
  virtual std::string focusedDeviceAddress() = 0;

  virtual void showNetworkInformation() = 0;
  virtual void showAbout() = 0;
  virtual void closeMainWindow() = 0;
};

enum class DispatchResult {
  Handled,
  Disabled,      // the enabling rules refuse the command now; nothing happened
  NotAvailable,  // reported "not available in this build"
  Unknown,       // not a command number; reported
};

// Building blocks of the launch commands, usable without a router.
// "http://" and the address in plain dotted form; nothing for a text that is no IPv4 address.
std::optional<std::string> httpUrlFor(std::string_view deviceAddress);
// "mailto:" URL for a new message with `subject`.
std::string mailtoUrl(std::string_view address, std::string_view subject);
// The help file beside the program.
std::string helpFilePath(std::string_view programDirectory);
// The sibling monitor program's default place, relative to the program's folder.
std::string defaultVigiloPath(std::string_view programDirectory);

class CommandRouter {
 public:
  using Handler = std::function<void()>;

  struct Config {
    std::string programDirectory;
    bool skipFirstRefresh = false;  // the command line asked for no automatic search (/ns)
    std::string registrationUrl;    // empty: the maker's page
    std::string supportAddress;     // empty: the maker's support address
  };

  // `settings` (may be null) holds Tools\AlertPath.
  CommandRouter(CommandHost& host, platform::Registry* settings, Config config);

  // Registers the main window's handler for `id`; it replaces a handler this router carries.
  void setHandler(cmd::CommandId id, Handler handler);
  bool hasHandler(cmd::CommandId id) const;

  // A command from the user (menu, tool bar, accelerator, pop-up menu, double-click): refused
  // when the enabling rules disable it now.
  DispatchResult dispatch(cmd::CommandId id);
  // A command posted by the program itself (start-up refresh, "Using standard
  // configuration..."): runs without consulting the enabling rules.
  DispatchResult execute(cmd::CommandId id);
  // Double-click on a list row: the command stored in General\DoubleClick.
  DispatchResult doubleClick(std::uint32_t storedCommand) { return dispatch(storedCommand); }

  // False for the commands that leave a running search alone (the Help menu).
  static bool cancelsSearch(cmd::CommandId id) noexcept;
  // True for the commands this router runs itself when the window registers nothing.
  static bool hasBuiltIn(cmd::CommandId id) noexcept;

  // The command line's "no automatic search": the next Refresh only focuses the window.
  void setSkipFirstRefresh(bool on) { config_.skipFirstRefresh = on; }

  // The sibling monitor program chosen in the Open dialog since start-up.
  const std::string& chosenVigiloPath() const { return vigiloPath_; }

 private:
  DispatchResult run(cmd::CommandId id, bool checkEnabled);
  bool runBuiltIn(cmd::CommandId id);
  void refresh();
  void openRegistration();
  void openHttp();
  void sendMail();
  void openHelp();
  void startVigilo();
  void startTelnet();
  bool startVigiloFrom(const std::string& path);

  CommandHost& host_;
  platform::Registry* settings_;
  Config config_;
  std::map<cmd::CommandId, Handler> handlers_;
  std::string vigiloPath_;
};

}  // namespace app
