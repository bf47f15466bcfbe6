#include "app/gui/shell_dialog_commands.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <iostream>

#include "app/command_ids.h"
#include "app/command_router.h"
#include "app/gui/filter_pane_shortcut.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/message_box_presenter.h"
#include "app/gui/options_dialog.h"
#include "app/gui/select_view_dialog.h"
#include "app/gui/view_editor_dialog.h"
#include "app/list_export.h"
#include "app/options_sheet.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "platform/report_error.h"

namespace cmd = app::cmd;

namespace {

constexpr const char* kSaveListTitle = "Save Current List";  // 6065

std::optional<std::string> defaultSaveFile(const std::string& title, const std::string& defaultName) {
  QFileDialog dialog(nullptr, QString::fromStdString(title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({"Text Files (*.txt)", "All Files (*)"});
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.selectFile(QString::fromStdString(defaultName));
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void saveList(CMainFrame& frame, bool addresses) {
  const app::CViewManager* views = frame.viewManager();
  const std::string viewName = views && views->openNode() ? views->openNode()->name() : "list";
  const auto path = shellDialogHooks().saveFile(
      kSaveListTitle, addresses ? app::kDefaultAddressFileName : app::defaultListFileName(viewName));
  if (!path) return;
  if (addresses) {
    if (app::saveIpAddresses(frame.deviceList(), *path) != app::kExportOk)
      platform::ReportError(5024, platform::kErrorProgram);
  } else if (app::saveList(frame.deviceList(), *path) != app::kExportOk) {
    platform::ReportError(5024, platform::kErrorWindows);
  }
}

void runOptions(CMainFrame& frame) {
  app::CViewManager* views = frame.viewManager();
  const std::uint32_t flags = views ? views->protocolFlags() : app::kProbeTcpIp;
  app::COptionsPropertySheet sheet(frame.registry(), flags);
  OptionsDialog dialog(sheet, &frame);
  if (shellDialogHooks().run(dialog) != QDialog::Accepted) return;
  const app::OptionsApplied& r = dialog.applied();
  if (!r.ok || !r.anyChange) return;
  frame.setAppIconFollowsStatus(app::globalSettings().setAppIcon.load() == 1);
  // The open view's communities and port as OK left them.
  frame.commands().loadAccessList(frame.viewProtocol(), true);
  if (r.masksChanged) frame.commands().router().execute(cmd::kRefresh);
}

void runSelectViews(CMainFrame& frame) {
  app::CViewManager* views = frame.viewManager();
  if (!views) return;
  SelectViewDialog dialog(*views, &frame);
  dialog.treeChanged = [&frame] { frame.messageTarget().post(kMsgViewSetChanged, 0, 0); };
  dialog.newView = [&frame](app::CViewNode* folder) { runViewEditor(frame, app::kEditorNewView, folder); };
  dialog.help = [&frame] { frame.commands().router().execute(cmd::kHelpContents); };
  shellDialogHooks().run(dialog);
  frame.messageTarget().post(kMsgViewSetChanged, 0, 0);
}

}  // namespace

ShellDialogHooks& shellDialogHooks() {
  // Without a screen nobody can answer a dialog: it is not shown and counts as cancelled, as
  // questions count as No there.
  static ShellDialogHooks hooks{[](QDialog& d) {
                                  if (gui::interactive()) return d.exec();
                                  std::cerr << d.windowTitle().toStdString() << ": not shown without a screen\n";
                                  return static_cast<int>(QDialog::Rejected);
                                },
                                [](const std::string& title, const std::string& name) -> std::optional<std::string> {
                                  if (!gui::interactive()) return std::nullopt;
                                  return defaultSaveFile(title, name);
                                }};
  return hooks;
}

app::CViewNode* runViewEditor(CMainFrame& frame, int mode, app::CViewNode* node) {
  app::CViewManager* views = frame.viewManager();
  if (!views) return nullptr;
  const bool wizard = mode == app::kEditorFirstRun || mode == app::kEditorNewView;
  app::CViewNode* folder = wizard && node ? (node->isGroup() ? node : node->parent()) : nullptr;
  app::CViewNode* edited = nullptr;
  int saved = 0;
  bool refresh = false;
  {
    app::CCustomizeViewPropSheet sheet(*views, mode, wizard ? nullptr : node, folder);
    CViewEditorDialog dialog(sheet, *views, QCoreApplication::applicationDirPath().toStdString(), &frame);
    dialog.treeChanged = [&frame] { frame.messageTarget().post(kMsgViewSetChanged, 0, 0); };
    const int result = shellDialogHooks().run(dialog);
    edited = sheet.editedNode();
    saved = sheet.savedResult();
    refresh = sheet.wantsRefresh();
    // A view made by Next stays even when the wizard is cancelled later; it is opened like one
    // finished.
    if (result != QDialog::Accepted && !wizard) edited = nullptr;
  }  // the sheet gives the manager back the open view's settings
  frame.messageTarget().post(kMsgViewSetChanged, 0, reinterpret_cast<std::intptr_t>(edited));
  app::CViewNode* open = views->openNode();
  if (wizard) {
    if (edited) frame.openViewNode(edited, true, false);
  } else if (edited && edited == open) {
    if (saved == app::kSaveNeedsSearch) {
      frame.openViewNode(open, true, true);
    } else if (saved == app::kSaveColumnsOnly) {
      frame.openViewNode(open, false, true);
      frame.redisplay();
    }
  }
  if (refresh) frame.commands().router().execute(cmd::kRefresh);
  return edited;
}

void registerShellDialogCommands(CMainFrame& frame, app::CommandRouter& router) {
  router.setHandler(cmd::kSaveList, [&frame] { saveList(frame, false); });
  router.setHandler(cmd::kSaveIpAddresses, [&frame] { saveList(frame, true); });
  // The new view goes into the folder selected in the tree (a selected view's folder), as from the
  // tree's pop-up menu.
  router.setHandler(cmd::kCreateView, [&frame] { runViewEditor(frame, app::kEditorNewView, frame.chosenNode()); });
  router.setHandler(cmd::kTreeNewView, [&frame] { runViewEditor(frame, app::kEditorNewView, frame.chosenNode()); });
  router.setHandler(cmd::kModifyView, [&frame] {
    if (frame.viewManager()) runViewEditor(frame, app::kEditorColumns, frame.viewManager()->openNode());
  });
  router.setHandler(cmd::kTreeModify, [&frame] {
    app::CViewNode* node = frame.chosenNode();
    if (node && node->isView()) runViewEditor(frame, app::kEditorGeneral, node);
  });
  router.setHandler(cmd::kSelectViews, [&frame] { runSelectViews(frame); });
  // The display-filter shortcut: the open view's editor with "Filters" first.
  if (auto* pane = frame.findChild<QLabel*>(QStringLiteral("statusPane4")))
    new FilterPaneShortcut(pane, [&frame] {
      app::CViewManager* views = frame.viewManager();
      if (!views || !views->openNode()) return;
      frame.commands().cancelSearch();
      runViewEditor(frame, app::kEditorFilters, views->openNode());
    });
  router.setHandler(cmd::kOptions, [&frame] { runOptions(frame); });
}
