#pragma once
// The application object: the start-up sequence in its fixed order, the objects that live as
// long as the program (the current access list; later the view manager), the protocol check of
// views, and shut-down. It knows no widgets: everything it needs from the user interface goes
// through StartupUi, so tests drive it headless with a fake.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "app/access_list.h"
#include "app/command_line.h"
#include "app/legacy_import.h"
#include "app/settings.h"

namespace platform {
class Registry;
}

namespace app {

class NetworkLayer;

// What start-up asks of the user interface.
class StartupUi {
 public:
  virtual ~StartupUi() = default;
  // A Yes/No question with a question icon; false only for No.
  virtual bool askYesNo(const std::string& text) = 0;
  // A message with a warning icon.
  virtual void showWarning(const std::string& text) = 0;
  // Width and height of the desktop, for the default window rectangle.
  virtual std::pair<int, int> desktopSize() = 0;
  // True when another instance of this user answers the single-instance handshake.
  virtual bool findRunningInstance() = 0;
  // Asks that instance to restore itself and come to the top.
  virtual void activateRunningInstance() = 0;
  // This process is the first: answer the instances that start later.
  virtual void becomeFirstInstance() = 0;
  // Creates and shows the main window ("Quorvel Trellan") at `rect`.
  virtual bool createMainWindow(const WindowRect& rect) = 0;
  // The application's non-silent "Please Wait" window, parent the main window.
  virtual void createProgressDialog() = 0;
  // Hands the view tree to the main window; `setAppIcon` as read from General\Icons.
  virtual void attachViewManager(bool setAppIcon) = 0;
  // Posts command 32789 (Refresh) to the main window.
  virtual void postRefresh() = 0;
};

// View protocol codes.
enum ViewProtocol : int { kViewTcpIp = 6, kViewNetWare = 7, kViewSerial = 8, kViewIpx = 9 };

// The access-list key of a view protocol, or nullptr.
const char* accessKeyForView(int viewProtocol);

class CAmbra32App {
 public:
  static constexpr std::uint32_t kRefreshCommand = 32789;

  enum class Failure {
    None,
    SecondInstance,  // another instance runs and was brought to the front
    NoMainWindow,
    NoView,          // the user declined to create a first view
  };

  struct Environment {
    std::string programDirectory;  // written to General\Location on the first run
    std::string legacyDirectory;   // where the legacy INI files are looked for
  };
  // The folder of the running program and LegacyImport::defaultDirectory().
  static Environment defaultEnvironment();

  CAmbra32App(platform::Registry& reg, StartupUi& ui, NetworkLayer& net, Environment env = defaultEnvironment());
  ~CAmbra32App();
  CAmbra32App(const CAmbra32App&) = delete;
  CAmbra32App& operator=(const CAmbra32App&) = delete;

  // Loads the view tree and opens the current view; false when the user declined to create a
  // first view. Until the view manager exists this opens nothing and succeeds.
  void setViewTreeHook(std::function<bool()> openViewTree) { openViewTree_ = std::move(openViewTree); }

  // The start-up sequence. False ends the program (see failure()).
  bool startUp(const CommandLine& commandLine);
  // Closes the network layer; returns the process exit code.
  int shutDown();

  Failure failure() const { return failure_; }
  bool ready() const { return ready_; }
  std::uint32_t runIndexAtStart() const { return runIndex_; }
  const LegacyImportReport& legacyImport() const { return legacyReport_; }
  const CommandLine& commandLine() const { return commandLine_; }
  int probeResult() const { return probeResult_; }

  // True when the protocol of a view can be used on this computer; otherwise shows
  // "The %s protocol could not be initialized." (or "Protocol not supported") and returns false.
  bool checkProtocol(int viewProtocol);

  // The application's access list, loaded for a view protocol (not reloaded when that key is
  // already loaded and `force` is false). For a TCP/IP list the global discovery port follows.
  bool loadAccessList(int viewProtocol, bool force);
  CAccessList& accessList() { return accessList_; }

  platform::Registry& registry() { return reg_; }

 private:
  platform::Registry& reg_;
  StartupUi& ui_;
  NetworkLayer& net_;
  Environment env_;
  std::function<bool()> openViewTree_;
  CommandLine commandLine_;
  LegacyImportReport legacyReport_;
  CAccessList accessList_;
  Failure failure_ = Failure::None;
  std::uint32_t runIndex_ = 0;
  int probeResult_ = 0;
  bool probed_ = false;
  bool ready_ = false;
};

}  // namespace app
