#include "app/gui/main_frame_commands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <iostream>

#include "access/group_classes.h"
#include "access/snmp_session.h"
#include "access/snmp_target.h"
#include "app/command_table.h"
#include "app/gui/address_assignment_command.h"
#include "app/gui/configuration_command.h"
#include "app/gui/device_list_view.h"
#include "app/gui/main_frame.h"
#include "app/gui/message_box_presenter.h"
#include "app/gui/multi_unit_command.h"
#include "app/gui/progress_dlg.h"
#include "app/gui/status_command.h"
#include "app/gui/shell_dialog_commands.h"
#include "app/gui/view_tree_pane.h"
#include "app/command_line.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/view_manager.h"
#include "app/view_node.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "platform/registry.h"
#include "platform/report_error.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"
#include "snmp/engine_watch.h"
#include "tools/gui/network_information_dialog.h"

namespace cmd = app::cmd;

namespace {

constexpr int kViewTcpIp = 6;
constexpr int kViewNetWare = 7;
constexpr int kViewSerial = 8;

std::string text(std::uint32_t id) {
  const char* s = platform::loadString(id);
  return s ? s : "";
}

QIcon toolBarIcon(cmd::CommandId id) {
  QStyle* s = QApplication::style();
  switch (id) {
    case cmd::kRefresh: return s->standardIcon(QStyle::SP_BrowserReload);
    case cmd::kStop: return s->standardIcon(QStyle::SP_BrowserStop);
    case cmd::kConfiguration: return s->standardIcon(QStyle::SP_FileDialogDetailedView);
    case cmd::kStatus: return s->standardIcon(QStyle::SP_MessageBoxInformation);
    case cmd::kWhatsWrong: return s->standardIcon(QStyle::SP_MessageBoxQuestion);
    case cmd::kWizard: return s->standardIcon(QStyle::SP_DialogApplyButton);
    case cmd::kReset: return s->standardIcon(QStyle::SP_DialogResetButton);
    case cmd::kViewByPrinter: return s->standardIcon(QStyle::SP_FileDialogListView);
    case cmd::kMultiSelectMode: return s->standardIcon(QStyle::SP_DialogYesButton);
    case cmd::kHelpContents: return s->standardIcon(QStyle::SP_DialogHelpButton);
    default: return {};
  }
}

}  // namespace

MainFrameCommands::MainFrameCommands(CMainFrame& frame, app::CommandRouter::Config config)
    : QObject(&frame), frame_(frame) {
  router_ = std::make_unique<app::CommandRouter>(*this, &frame.registry(), std::move(config));
  // Without a screen (offscreen tests, scripted runs) boxes go to standard error and questions
  // are answered No, so nothing waits for a click that cannot come.
  dialogs_.askYesNo = [this](const std::string& t) {
    if (!gui::interactive()) return gui::askYesNo(t, false);
    return QMessageBox::question(&frame_, QString::fromUtf8(text(platform::ids::kAppName)), QString::fromStdString(t),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  dialogs_.inform = [this](const std::string& title, const std::string& t) {
    if (!gui::interactive()) {
      std::cerr << title << ": " << t << "\n";
      return;
    }
    QMessageBox::information(&frame_, QString::fromStdString(title), QString::fromStdString(t));
  };
  dialogs_.askText = [this](const std::string& title, const std::string& prompt) -> std::optional<std::string> {
    if (!gui::interactive()) return std::nullopt;
    bool ok = false;
    const QString value = QInputDialog::getText(&frame_, QString::fromStdString(title), QString::fromStdString(prompt),
                                                QLineEdit::Normal, {}, &ok);
    if (!ok) return std::nullopt;
    return value.trimmed().toStdString();
  };
  start_ = [](const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
  };
  openUrl_ = [](const std::string& url) { return QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); };
  registerHandlers();
}

MainFrameCommands::~MainFrameCommands() {
  while (waitCursors_ > 0) setWaitCursor(false);
}

void MainFrameCommands::setDialogs(Dialogs dialogs) {
  if (dialogs.askYesNo) dialogs_.askYesNo = std::move(dialogs.askYesNo);
  if (dialogs.inform) dialogs_.inform = std::move(dialogs.inform);
  if (dialogs.askText) dialogs_.askText = std::move(dialogs.askText);
}

void MainFrameCommands::setLauncher(
    std::function<bool(const std::string&, const std::vector<std::string>&)> start,
    std::function<bool(const std::string&)> openUrl) {
  if (start) start_ = std::move(start);
  if (openUrl) openUrl_ = std::move(openUrl);
}

// --- actions and menus ---------------------------------------------------------------------

QAction* MainFrameCommands::makeAction(cmd::CommandId id, const char* textOverride) {
  const app::CommandInfo* info = app::findCommand(id);
  if (!info) return nullptr;
  if (!textOverride) {
    if (auto it = actions_.find(id); it != actions_.end()) return it->second;
  }
  auto* a = new QAction(QString::fromUtf8(textOverride ? textOverride : info->text), this);
  a->setObjectName(QStringLiteral("command%1").arg(id));
  a->setData(static_cast<uint>(id));
  a->setCheckable(app::commandCheckable(id));
  if (info->statusTip) {
    a->setStatusTip(QString::fromUtf8(info->statusTip));
    a->setToolTip(QString::fromUtf8(info->statusTip));
  }
  connect(a, &QAction::triggered, this, [this, id] { trigger(id); });
  if (textOverride) {
    extraActions_.emplace_back(id, a);
  } else {
    if (info->accelerator) {
      a->setShortcut(QKeySequence(QString::fromLatin1(info->accelerator)));
      a->setShortcutContext(Qt::WindowShortcut);
    }
    const QIcon icon = toolBarIcon(id);
    if (!icon.isNull()) a->setIcon(icon);
    actions_[id] = a;
    // Shortcuts work only for actions that belong to a widget of the window.
    frame_.addAction(a);
  }
  return a;
}

QAction* MainFrameCommands::action(cmd::CommandId id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainFrameCommands::fillMenu(QMenu* menu, app::MenuKind kind) {
  std::vector<QMenu*> stack{menu};
  for (const app::MenuItem& item : app::menuLayout(kind)) {
    const std::size_t depth = std::min<std::size_t>(item.depth, stack.size() - 1);
    stack.resize(depth + 1);
    QMenu* into = stack.back();
    switch (item.kind) {
      case app::MenuItem::Separator: into->addSeparator(); break;
      case app::MenuItem::Submenu: stack.push_back(into->addMenu(QString::fromUtf8(item.text))); break;
      case app::MenuItem::Command:
        if (QAction* a = makeAction(item.id, item.text)) into->addAction(a);
        break;
    }
  }
  connect(menu, &QMenu::aboutToShow, this, &MainFrameCommands::updateStates);
}

void MainFrameCommands::buildMenus(QToolBar* toolBar) {
  // Every command exists as an action, whether or not a menu shows it.
  for (const app::CommandInfo& info : app::commandTable()) makeAction(info.id, nullptr);
  QMenuBar* bar = frame_.menuBar();
  bar->clear();
  for (const app::TopMenu& top : app::mainMenuBar()) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(top.title));
    fillMenu(menu, top.kind);
  }
  std::vector<const app::CommandInfo*> tools;
  for (const app::CommandInfo& info : app::commandTable())
    if (info.toolBarPosition >= 0) tools.push_back(&info);
  std::sort(tools.begin(), tools.end(),
            [](const app::CommandInfo* a, const app::CommandInfo* b) { return a->toolBarPosition < b->toolBarPosition; });
  for (const app::CommandInfo* info : tools) {
    if (info->toolBarPosition == 2 || info->toolBarPosition == 7 || info->toolBarPosition == 9) toolBar->addSeparator();
    toolBar->addAction(action(info->id));
  }
  updateStates();
}

QMenu* MainFrameCommands::buildListPopup() {
  auto* menu = new QMenu(&frame_);
  fillMenu(menu, frame_.multiSelect() ? app::MenuKind::MultiSelectPopup : app::MenuKind::ServerPopup);
  updateStates();
  return menu;
}

void MainFrameCommands::updateStates() {
  const app::CommandState state = commandState();
  auto apply = [&](cmd::CommandId id, QAction* a) {
    a->setEnabled(app::commandEnabled(id, state));
    if (a->isCheckable()) a->setChecked(app::commandChecked(id, state));
  };
  for (auto& [id, a] : actions_) apply(id, a);
  for (auto& [id, a] : extraActions_) apply(id, a);
}

void MainFrameCommands::trigger(cmd::CommandId id) {
  router_->dispatch(id);
  updateStates();
}

// --- handlers ------------------------------------------------------------------------------

void MainFrameCommands::registerHandlers() {
  app::CommandRouter& r = *router_;
  r.setHandler(cmd::kShowViewTree, [this] { frame_.setTreeShown(!frame_.treeShown()); });
  r.setHandler(cmd::kViewByPrinter, [this] { toggleViewByPrinter(); });
  r.setHandler(cmd::kMultiSelectMode, [this] { frame_.setMultiSelect(!frame_.multiSelect()); });
  r.setHandler(cmd::kToolBar, [this] { frame_.setBarVisible(CMainFrame::Bar::Tools, !frame_.barVisible(CMainFrame::Bar::Tools)); });
  r.setHandler(cmd::kViewSelectBar,
               [this] { frame_.setBarVisible(CMainFrame::Bar::ViewSelect, !frame_.barVisible(CMainFrame::Bar::ViewSelect)); });
  r.setHandler(cmd::kStatusBar,
               [this] { frame_.setBarVisible(CMainFrame::Bar::Status, !frame_.barVisible(CMainFrame::Bar::Status)); });
  for (app::ListStyle style : {app::ListStyle::LargeIcons, app::ListStyle::SmallIcons, app::ListStyle::List,
                                app::ListStyle::Details})
    r.setHandler(app::listStyleCommand(style), [this, style] { frame_.setListStyle(style); });
  r.setHandler(cmd::kSelectAll, [this] { frame_.checkAllRows(true); });
  r.setHandler(cmd::kSelectNone, [this] { frame_.checkAllRows(false); });
  r.setHandler(cmd::kTreeOpen, [this] { openTreeNode(false); });
  r.setHandler(cmd::kTreeOpenRefresh, [this] { openTreeNode(true); });
  r.setHandler(cmd::kTreeOpenNewWindow, [this] { openInNewWindow(); });
  r.setHandler(cmd::kTreeRename, [this] { frame_.treePane()->runCommand(cmd::kTreeRename, frame_.treePane()->selectedNode()); });
  r.setHandler(cmd::kTreeDelete, [this] { frame_.treePane()->runCommand(cmd::kTreeDelete, frame_.treePane()->selectedNode()); });
  r.setHandler(cmd::kTreeNewFolder, [this] { newFolder(); });
  r.setHandler(cmd::kConfiguration, [this] { runConfigurationFromMainWindow(frame_, *this); });
  r.setHandler(cmd::kSaveConfiguration, [this] { runSaveConfigurationFromMainWindow(frame_, *this); });
  r.setHandler(cmd::kRestoreConfiguration, [this] { runRestoreConfigurationFromMainWindow(frame_, *this); });
  r.setHandler(cmd::kReset, [this] { runResetFromMainWindow(frame_, *this); });
  r.setHandler(cmd::kWizard, [this] { runWizardFromMainWindow(frame_, *this); });
  r.setHandler(cmd::kMultipleConfiguration, [this] { runMultiConfigFromMainWindow(frame_, *this); });
  r.setHandler(cmd::kWhatsWrong, [this] { whatsWrong(); });
  r.setHandler(cmd::kStatus, [this] { runStatusFromMainWindow(frame_, *this); });
  r.setHandler(cmd::kPrintConfigSheet, [this] { printConfigurationSheet(); });
  r.setHandler(cmd::kSearch, [this] { searchOne(); });
  r.setHandler(cmd::kUnlistedIpServer, [this] { runUnlistedIpSetupFromMainWindow(frame_); });
  registerShellDialogCommands(frame_, r);
}

void MainFrameCommands::openTreeNode(bool force) {
  // The node of the tree's pop-up or selection; the view-select list posts through the same way.
  app::CViewNode* node = frame_.chosenNode();
  if (!node || !node->isView()) return;
  frame_.openViewNode(node, true, force);
}

void MainFrameCommands::newFolder() {
  app::CViewManager* views = frame_.viewManager();
  if (!views) return;
  app::CViewNode* node = frame_.chosenNode();
  app::CViewNode* parent = node ? (node->isGroup() ? node : node->parent()) : views->root();
  if (!parent) parent = views->root();
  const auto name = dialogs_.askText(app::plainMenuText(app::findCommand(cmd::kTreeNewFolder)->text), "Name:");
  if (!name || name->empty()) return;
  constexpr int kClosedFolderImage = 0;
  const app::NodeResult made = views->createFolder(parent, *name, kClosedFolderImage);
  if (made.code != app::kViewOk) {
    showMessage(app::viewResultText(made.code));
    return;
  }
  frame_.messageTarget().post(kMsgViewSetChanged, 0, reinterpret_cast<std::intptr_t>(made.node));
}

void MainFrameCommands::openInNewWindow() {
  const app::CViewNode* node = frame_.chosenNode();
  if (!node || !node->isView()) return;
  // An argument list: a view name with spaces stays one argument.
  startProgram(QCoreApplication::applicationFilePath().toStdString(), app::newWindowArguments(node->name()));
}

void MainFrameCommands::toggleViewByPrinter() {
  const bool on = !frame_.byPrinter();
  frame_.setByPrinter(on);
  if (on && !frame_.viewHasPortColumn() &&
      dialogs_.askYesNo(text(platform::ids::kAskModifyForPrinterColumns))) {
    // The view editor opens on its Columns page.
    router_->execute(cmd::kModifyView);
  }
}

bool MainFrameCommands::ensureAnswered(devices::CDevice& device) {
  if (device.answered) return true;
  frame_.requeryDevice(device);
  if (device.answered) return true;
  reportError(5018, platform::kErrorProgram);
  return false;
}

void MainFrameCommands::whatsWrong() {
  devices::CDevice* device = frame_.focusedDevice();
  if (!device) return;
  if (device->kind == devices::kKindSecondFamily) {
    router_->execute(cmd::kHttp);
    return;
  }
  const int protocol = frame_.viewProtocol();
  std::string title;
  switch (protocol) {
    case kViewTcpIp:
      title = std::string(device->systemName.view()) + " - " + (device->columnText(devices::kColIpAddress) ?: "");
      break;
    case kViewNetWare:
      title = std::string(device->columnText(devices::kColNwName) ?: "") + " - " +
              std::string(device->hardwareAddress.view());
      break;
    case kViewSerial:
      title = std::string(device->systemName.view()) + " - " + (device->columnText(devices::kColSerialPort) ?: "");
      break;
    default: showMessage(text(platform::ids::kProtocolNotSupported)); break;
  }
  std::string status;
  const int result = frame_.readStatusText(*device, status);
  if (result == 2) return;
  dialogs_.inform(title, status);
  frame_.requeryDevice(*device);
}

void MainFrameCommands::printConfigurationSheet() {
  devices::CDevice* device = frame_.focusedDevice();
  if (!device) return;
  if (!ensureAnswered(*device)) return;
  if (!device->configured) {
    router_->execute(cmd::kConfiguration);
    return;
  }
  if (device->kind == devices::kKindSecondFamily) {
    router_->execute(cmd::kHttp);
    return;
  }
  if (frame_.viewProtocol() == kViewTcpIp && device->replyFormat == 2) {
    router_->execute(cmd::kTelnet);
    return;
  }
  snmpaccess::SnmpTarget target;
  if (!frame_.prepareTarget(*device, target)) return;
  if (!dialogs_.askYesNo(text(platform::ids::kAskPrintConfigSheet))) return;
  app::selectFamily(device->familyCode.view());
  int rc = 0;
  {
    snmp::ScopedThreadSocketWatch watch(&frame_.guiSocketWatch());
    snmpaccess::CSnmpSession session(&target, rc);
    if (rc == 0) {
      snmpaccess::GroupParams params;
      params.prefix = app::currentEnterprisePrefix();
      snmpaccess::CServerControlGroup group(std::move(params));
      rc = group.printConfiguration(session);
    }
  }
  if (rc != 0) {
    platform::ReportError(5020, platform::kErrorProgram, static_cast<std::uint32_t>(rc), platform::kErrorSnmp);
    return;
  }
  showMessage(text(platform::ids::kConfigSheetPrinted));
}

void MainFrameCommands::searchOne() {
  const int protocol = frame_.viewProtocol();
  if (protocol != kViewTcpIp) {
    showMessage(app::texts::kSearchNotSupported);
    return;
  }
  const auto entry = dialogs_.askText(text(platform::ids::kSearchTitle), text(platform::ids::kSearchPrompt));
  if (!entry || entry->empty()) return;
  if (!frame_.findOrAdd(*entry)) showMessage(text(platform::ids::kServerNotFound));
}

// --- CommandHost ---------------------------------------------------------------------------

app::CommandState MainFrameCommands::commandState() { return frame_.commandState(); }

void MainFrameCommands::cancelSearch() {
  if (!frame_.searching()) return;
  frame_.setStatusMessage(QString::fromLatin1(app::texts::kCancellingSearch));
  frame_.stopSearch();
}

void MainFrameCommands::showMessage(const std::string& t) { dialogs_.inform(text(platform::ids::kAppName), t); }

void MainFrameCommands::reportError(std::uint32_t code, int errorClass) { platform::ReportError(code, errorClass); }

bool MainFrameCommands::checkProtocol(int viewProtocol) {
  return application_ ? application_->checkProtocol(viewProtocol) : true;
}

bool MainFrameCommands::loadAccessList(int viewProtocol, bool force) {
  return application_ ? application_->loadAccessList(viewProtocol, force) : true;
}

void MainFrameCommands::refreshOpenView() { frame_.refreshOpenView(); }

void MainFrameCommands::focusMainWindow() {
  frame_.activateWindow();
  frame_.activeListView()->setFocus();
}

bool MainFrameCommands::openUrl(const std::string& url) { return openUrl_ && openUrl_(url); }

bool MainFrameCommands::openLocalFile(const std::string& path) {
  QFileInfo file(QString::fromStdString(path));
  // The help is HTML here: in "help" beside the program in a build folder, in the data folder
  // (share/trellan/help) once installed.
  if (!file.exists() && file.fileName().compare(QLatin1String(app::texts::kHelpFile), Qt::CaseInsensitive) == 0) {
    const QDir programDir = file.dir();
    for (const QString& page : {QStringLiteral("help/index.html"), QStringLiteral(TRELLAN_DATADIR_FROM_BINDIR "/help/index.html")}) {
      file = QFileInfo(QDir::cleanPath(programDir.filePath(page)));
      if (file.exists()) break;
    }
  }
  if (!file.exists()) {
    reportError(5024, platform::kErrorProgram);  // "Cannot open the requested file."
    return false;
  }
  return openUrl(QUrl::fromLocalFile(file.absoluteFilePath()).toString().toStdString());
}

bool MainFrameCommands::startProgram(const std::string& program, const std::vector<std::string>& arguments) {
  return start_ && start_(program, arguments);
}

void MainFrameCommands::setWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++waitCursors_;
  } else if (waitCursors_ > 0) {
    QApplication::restoreOverrideCursor();
    --waitCursors_;
  }
}

bool MainFrameCommands::activateWindowByTitle(const std::string& title) {
  // Other programs' windows are the desktop's business here; only this process's own are found.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowTitle() == QString::fromStdString(title)) {
      w->showNormal();
      w->raise();
      w->activateWindow();
      return true;
    }
  }
  return false;
}

bool MainFrameCommands::activateWindowByClass(const std::string& windowClass) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->objectName() == QString::fromStdString(windowClass)) {
      w->showNormal();
      w->raise();
      w->activateWindow();
      return true;
    }
  }
  return false;
}

std::optional<std::string> MainFrameCommands::chooseProgramFile(const std::string& fileName,
                                                                const std::string& filterName,
                                                                const std::string& filterPattern) {
  QFileDialog dialog(&frame_);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilter(QString::fromStdString(filterName + " (" + filterPattern + ")"));
  dialog.selectFile(QString::fromStdString(fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::string MainFrameCommands::focusedDeviceAddress() {
  const devices::CDevice* device = frame_.focusedDevice();
  if (!device) return {};
  const char* address = device->columnText(devices::kColIpAddress);
  return address ? address : "";
}

void MainFrameCommands::showNetworkInformation() { ::showNetworkInformation(&frame_); }

void MainFrameCommands::showAbout() {
  const QString name = QString::fromUtf8(text(platform::ids::kMainWindowTitle));
  QMessageBox::about(&frame_, QStringLiteral("About ") + QString::fromUtf8(text(platform::ids::kAppName)),
                     QStringLiteral("<b>%1</b><br>Version %2<br><a href=\"%3\">%3</a>")
                         .arg(name.toHtmlEscaped(), QString::fromUtf8(app::programVersion()).toHtmlEscaped(),
                              QStringLiteral("https://www.quorvel.example/")));
}

void MainFrameCommands::closeMainWindow() { frame_.close(); }
