#pragma once
// The command set in the main window: one action per command built from the command table, the
// menus, the tool bar and the accelerators built from its layouts, enabling and check marks from
// the pure rules, and the window's handlers for the commands it carries out itself. Everything a
// command does goes through the CommandRouter, so a search is cancelled first and commands of
// later features say "not available in this build" in one place.
#include <QObject>
#include <functional>
#include <map>
#include <optional>
#include <vector>
#include <memory>
#include <string>

#include "app/command_router.h"
#include "app/command_table.h"

class CMainFrame;
class QAction;
class QMenu;
class QToolBar;

namespace app {
class CAmbra32App;
class CViewNode;
}
namespace devices {
class CDevice;
}

class MainFrameCommands final : public QObject, public app::CommandHost {
  Q_OBJECT

 public:
  MainFrameCommands(CMainFrame& frame, app::CommandRouter::Config config);
  ~MainFrameCommands() override;

  app::CommandRouter& router() { return *router_; }
  // Start-up's protocol check and access lists (null: every protocol passes, nothing loaded).
  void setApplication(app::CAmbra32App* application) { application_ = application; }

  // The main menu bar and the tool bar, built once.
  void buildMenus(QToolBar* toolBar);
  // Enabled and checked state of every action from the window state now.
  void updateStates();
  // The pop-up for the device list: multi-select pop-up or the server pop-up. Caller owns it.
  QMenu* buildListPopup();
  QAction* action(app::cmd::CommandId id) const;

  // Replaces the dialogs (tests): Yes/No, information box, a line of text (nullopt: cancelled).
  struct Dialogs {
    std::function<bool(const std::string& text)> askYesNo;
    std::function<void(const std::string& title, const std::string& text)> inform;
    std::function<std::optional<std::string>(const std::string& title, const std::string& prompt)> askText;
  };
  void setDialogs(Dialogs dialogs);
  // Launchers replaced in tests, so that nothing is started.
  void setLauncher(std::function<bool(const std::string& program, const std::vector<std::string>& args)> start,
                   std::function<bool(const std::string& url)> openUrl);

  // --- CommandHost ---
  app::CommandState commandState() override;
  void cancelSearch() override;
  void showMessage(const std::string& text) override;
  // An information box with its own title.
  void inform(const std::string& title, const std::string& text) { dialogs_.inform(title, text); }
  // A Yes/No question titled with the program's name.
  bool askYesNo(const std::string& text) { return dialogs_.askYesNo(text); }
  void reportError(std::uint32_t code, int errorClass) override;
  bool checkProtocol(int viewProtocol) override;
  bool loadAccessList(int viewProtocol, bool force) override;
  void refreshOpenView() override;
  void focusMainWindow() override;
  bool openUrl(const std::string& url) override;
  bool openLocalFile(const std::string& path) override;
  bool startProgram(const std::string& program, const std::vector<std::string>& arguments) override;
  void setWaitCursor(bool on) override;
  bool activateWindowByTitle(const std::string& title) override;
  bool activateWindowByClass(const std::string& windowClass) override;
  std::optional<std::string> chooseProgramFile(const std::string& fileName, const std::string& filterName,
                                               const std::string& filterPattern) override;
  std::string focusedDeviceAddress() override;
  void showNetworkInformation() override;
  void showAbout() override;
  void closeMainWindow() override;

 private:
  void registerHandlers();
  QAction* makeAction(app::cmd::CommandId id, const char* textOverride);
  void fillMenu(QMenu* menu, app::MenuKind kind);
  void trigger(app::cmd::CommandId id);

  // Handlers the window carries out itself.
  void openTreeNode(bool force);
  void openInNewWindow();
  void newFolder();
  void whatsWrong();
  void printConfigurationSheet();
  void searchOne();
  void toggleViewByPrinter();
  bool ensureAnswered(devices::CDevice& device);

  CMainFrame& frame_;
  std::unique_ptr<app::CommandRouter> router_;
  app::CAmbra32App* application_ = nullptr;
  std::map<app::cmd::CommandId, QAction*> actions_;
  std::vector<std::pair<app::cmd::CommandId, QAction*>> extraActions_;  // menu lines with their own text
  Dialogs dialogs_;
  std::function<bool(const std::string&, const std::vector<std::string>&)> start_;
  std::function<bool(const std::string&)> openUrl_;
  int waitCursors_ = 0;
};
