#include "app/gui/gui_startup_ui.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include "app/gui/main_frame.h"
#include "app/gui/message_box_presenter.h"
#include "app/gui/shell_dialog_commands.h"
#include "app/gui/view_editor_dialog.h"
#include "platform/registry.h"

GuiStartupUi::GuiStartupUi(platform::Registry& reg)
    : reg_(reg), instance_(QString::fromStdString(reg.filePath())) {}

GuiStartupUi::~GuiStartupUi() = default;

// Unattended, nothing is imported or created on the user's behalf.
bool GuiStartupUi::askYesNo(const std::string& text) { return gui::askYesNo(text, false); }

void GuiStartupUi::showWarning(const std::string& text) { gui::showWarning(text); }

std::pair<int, int> GuiStartupUi::desktopSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {1024, 768};
  const QRect r = screen->availableGeometry();
  return {r.width(), r.height()};
}

bool GuiStartupUi::findRunningInstance() { return instance_.ping(); }

void GuiStartupUi::activateRunningInstance() { instance_.activate(); }

void GuiStartupUi::becomeFirstInstance() { instance_.listen(); }

bool GuiStartupUi::createMainWindow(const app::WindowRect& rect) {
  frame_ = std::make_unique<CMainFrame>(reg_);
  frame_->setStoredRect(rect);
  QObject::connect(&instance_, &SingleInstance::activationRequested, frame_.get(),
                   &CMainFrame::raiseFromAnotherInstance);
  frame_->show();
  return true;
}

// The "Please Wait" window arrives with the main window's device list.
void GuiStartupUi::createProgressDialog() {}

void GuiStartupUi::attachViewManager(bool setAppIcon) {
  frame_->setAppIconFollowsStatus(setAppIcon);
  frame_->setViewManager(views_);
}

app::CViewNode* GuiStartupUi::createFirstView(app::CViewManager& views) {
  if (!gui::interactive() && !editorWithoutScreen_) return nullptr;
  app::CViewNode* made = nullptr;
  int result = QDialog::Rejected;
  {
    app::CCustomizeViewPropSheet sheet(views, app::kEditorFirstRun);
    CViewEditorDialog dialog(sheet, views, QCoreApplication::applicationDirPath().toStdString(), frame_.get());
    result = shellDialogHooks().run(dialog);
    made = sheet.editedNode();
  }
  return result == QDialog::Accepted ? made : nullptr;
}

void GuiStartupUi::postRefresh() {
  QMetaObject::invokeMethod(frame_.get(), &CMainFrame::onRefresh, Qt::QueuedConnection);
}
