#pragma once
// The start-up sequence's user interface in Qt: message boxes, the screen, the single-instance
// socket and the main window.
#include <memory>

#include "app/startup.h"
#include "app/view_manager.h"
#include "app/gui/single_instance.h"

class CMainFrame;

namespace platform {
class Registry;
}

namespace app {
class CViewManager;
}

class GuiStartupUi final : public app::StartupUi, public app::ViewTreeUi {
 public:
  explicit GuiStartupUi(platform::Registry& reg);
  // The view tree the main window shows (null: none).
  void setViews(app::CViewManager* views) { views_ = views; }
  ~GuiStartupUi() override;

  bool askYesNo(const std::string& text) override;
  void showWarning(const std::string& text) override;
  std::pair<int, int> desktopSize() override;
  bool findRunningInstance() override;
  void activateRunningInstance() override;
  void becomeFirstInstance() override;
  bool createMainWindow(const app::WindowRect& rect) override;
  void createProgressDialog() override;
  void attachViewManager(bool setAppIcon) override;
  void postRefresh() override;

  // ViewTreeUi: the view editor from its welcome page. Without a screen to answer it, nothing is
  // made unless the editor was asked for anyway (tests drive it through shellDialogHooks()).
  app::CViewNode* createFirstView(app::CViewManager& views) override;
  void setEditorWithoutScreen(bool on) { editorWithoutScreen_ = on; }

  CMainFrame* mainFrame() const { return frame_.get(); }
  SingleInstance& instance() { return instance_; }

 private:
  platform::Registry& reg_;
  SingleInstance instance_;
  std::unique_ptr<CMainFrame> frame_;
  app::CViewManager* views_ = nullptr;
  bool editorWithoutScreen_ = false;
};
