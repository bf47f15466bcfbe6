#include "app/gui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QSignalBlocker>
#include <QMenuBar>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimerEvent>
#include <QToolBar>
#include <algorithm>

#include "access/snmp_target.h"
#include "app/access_list.h"
#include "app/command_line.h"
#include "app/command_state.h"
#include "app/gui/device_list_view.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/progress_dlg.h"
#include "app/gui/search_animation.h"
#include "app/gui/view_tree_pane.h"
#include "app/startup.h"
#include "app/view_manager.h"
#include "app/view_node.h"
#include "app/view_search.h"
#include "app/view_def.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "snmp/engine_watch.h"
#include "platform/registry.h"
#include "platform/report_error.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace {

QString stringOf(std::uint32_t id) { return QString::fromUtf8(platform::loadString(id)); }

constexpr int kRefreshPeriodMs = 10000;  // timer 26
constexpr int kMinShownTreeWidth = 140;
constexpr int kDefaultTreeWidth = 150;
constexpr std::uint32_t kTimerFailed = 5506;
constexpr const char* kControlBarsKey = "General\\ControlBars";
// Band ids in their default order: menu bar, search animation, view-select bar, tool bar.
constexpr std::uint32_t kBandMenu = 128, kBandAnimation = 155, kBandViewSelect = 154, kBandTools = 129;
constexpr std::uint32_t kBandHidden = 0x8;      // band style: not shown
constexpr std::uint32_t kBandBreak = 0x1;       // band style: starts a new row
constexpr std::uint32_t kDefaultBandWidth = 0x7FFF;

}  // namespace

CMainFrame::CMainFrame(platform::Registry& reg, QWidget* parent) : QMainWindow(parent), reg_(reg) {
  setWindowTitle(stringOf(platform::ids::kMainWindowTitle));
  setWindowIcon(applicationIcon());
  setObjectName("CMainFrame");
  target_.setHandler([this](const platform::Message& m) { handleMessage(m); });

  // Tool bars: search animation, view-select drop-down, tool bar; the menu bar is the first band.
  animationBar_ = addToolBar("Search");
  animationBar_->setObjectName("searchAnimationBar");
  animation_ = new SearchAnimation(animationBar_);
  animationBar_->addWidget(animation_);
  viewBar_ = addToolBar("Views");
  viewBar_->setObjectName("viewSelectBar");
  viewSelect_ = new QComboBox(viewBar_);
  viewSelect_->setObjectName("viewSelect");
  viewSelect_->setFixedWidth(150);
  viewBar_->addWidget(viewSelect_);
  connect(viewSelect_, &QComboBox::activated, this, [this](int index) {
    const QString text = viewSelect_->itemText(index);
    if (text == QLatin1String(kCreateNewViewEntry)) {
      emit createViewRequested();
      commands_->router().dispatch(app::cmd::kCreateView);
      // The list keeps showing the open view, whatever the editor did.
      rebuildViewLists(views_ ? views_->openNode() : nullptr);
      return;
    }
    if (views_) onViewSelected(views_->find(text.toStdString()));
  });
  toolBar_ = addToolBar("Tools");
  toolBar_->setObjectName("toolBar");

  // Panes.
  tableModel_ = std::make_unique<DeviceListTableModel>(list_);
  connect(tableModel_.get(), &DeviceListTableModel::queuedRowsShown, this, [this] { updateStatusPanes(); });
  tableModel_->setFoundAccept([this](const platform::Message& m) {
    return (searching_ && discovery_ && discovery_->isCurrent(m)) ? discovery_->acceptFound(m) : -1;
  });
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName("mainSplitter");
  tree_ = new ViewTreePane(splitter_);
  listStack_ = new QStackedWidget(splitter_);
  listStack_->setObjectName("listStack");
  listView_ = new DeviceListView(*tableModel_, listStack_);
  listView_->setObjectName("detailsView");
  // The icon styles show the same rows through the same selection: the focused device, the
  // selection kept across a refresh and the check boxes do not depend on the style.
  iconView_ = new QListView(listStack_);
  iconView_->setObjectName("iconView");
  iconView_->setModel(tableModel_.get());
  iconView_->setSelectionModel(listView_->selectionModel());
  iconView_->setSelectionMode(QAbstractItemView::SingleSelection);
  iconView_->setResizeMode(QListView::Adjust);
  iconView_->setUniformItemSizes(true);
  iconView_->setContextMenuPolicy(Qt::CustomContextMenu);
  listStack_->addWidget(listView_);
  listStack_->addWidget(iconView_);
  listStack_->setCurrentWidget(listView_);
  splitter_->addWidget(tree_);
  splitter_->addWidget(listStack_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  connect(tree_, &ViewTreePane::nodeChosen, this, [this](const app::CViewNode* node) { onViewSelected(node); });
  connect(tree_, &ViewTreePane::nodeDoubleClicked, this, [this](const app::CViewNode* node) {
    if (!node || !node->isView()) return;
    if (views_ && node == views_->openNode()) {
      commands_->router().dispatch(app::cmd::kRefresh);
    } else {
      chosen_ = const_cast<app::CViewNode*>(node);
      commands_->router().execute(app::cmd::kTreeOpen);
      chosen_ = nullptr;
    }
  });
  connect(tree_, &ViewTreePane::commandRequested, this, &CMainFrame::onTreeCommand);
  connect(tree_, &ViewTreePane::viewSetChanged, this, [this](const app::CViewNode* node) {
    target_.post(kMsgViewSetChanged, 0, reinterpret_cast<std::intptr_t>(node));
  });
  connect(listView_, &DeviceListView::sortChanged, this, [this](int column, bool descending) {
    view_.sortColumn = column;
    view_.sortDescending = descending;
    // Written at once: the next start sorts the same way.
    if (views_) views_->setSort(column, descending, true);
    emit sortChanged(column, descending);
  });
  connect(listView_, &DeviceListView::columnLayoutChanged, this, &CMainFrame::onColumnLayoutChanged);
  connectListSignals(listView_);
  connectListSignals(iconView_);
  focusConnection_ = connect(qApp, &QApplication::focusChanged, this, [this] {
    if (commands_) commands_->updateStates();
  });

  // Status bar: message, count, protocol, view, filter.
  for (int i = 0; i < 5; ++i) {
    panes_[i] = new QLabel(this);
    panes_[i]->setObjectName(QStringLiteral("statusPane%1").arg(i));
    if (i == 0) {
      statusBar()->addWidget(panes_[i], 1);
    } else {
      statusBar()->addPermanentWidget(panes_[i]);
    }
  }

  progress_ = new gui::CProgressDlg(this);
  app::CommandRouter::Config config;
  config.programDirectory = QCoreApplication::applicationDirPath().toStdString();
  commands_ = new MainFrameCommands(*this, std::move(config));
  commands_->buildMenus(toolBar_);
  connect(listView_->selectionModel(), &QItemSelectionModel::currentChanged, commands_,
          &MainFrameCommands::updateStates);

  restoreFlags();
  restoreBars();
  rebuildViewLists(nullptr);
  updateStatusPanes();
}

CMainFrame::~CMainFrame() {
  // Closing the window moves the focus: nothing may reach the half-destroyed window then.
  disconnect(focusConnection_);
  // The worker must not post into a window being torn down.
  if (discovery_) {
    discovery_->stopAndWait();
    discovery_->setOwner(nullptr);
    discovery_->setForegroundProgress(nullptr);
  }
  if (searching_) QApplication::restoreOverrideCursor();
}

void CMainFrame::connectListSignals(QAbstractItemView* view) {
  connect(view, &QWidget::customContextMenuRequested, this,
          [this, view](const QPoint& pos) { showListPopup(view, pos); });
  connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (!index.isValid()) return;
    const std::uint32_t command = reg_.getDword(app::kGeneralKey, "DoubleClick", app::cmd::kStatus);
    commands_->router().doubleClick(command);
  });
}

QAbstractItemView* CMainFrame::activeListView() const {
  if (listStyle_ == app::ListStyle::Details) return listView_;
  return iconView_;
}

void CMainFrame::setListStyle(app::ListStyle style) {
  const bool hadFocus = activeListView()->hasFocus();
  listStyle_ = style;
  switch (style) {
    case app::ListStyle::LargeIcons:
      iconView_->setViewMode(QListView::IconMode);
      iconView_->setIconSize(QSize(32, 32));
      iconView_->setFlow(QListView::LeftToRight);
      iconView_->setWrapping(true);
      iconView_->setMovement(QListView::Static);
      break;
    case app::ListStyle::SmallIcons:
      iconView_->setViewMode(QListView::ListMode);
      iconView_->setIconSize(QSize(16, 16));
      iconView_->setFlow(QListView::LeftToRight);
      iconView_->setWrapping(true);
      break;
    case app::ListStyle::List:
      iconView_->setViewMode(QListView::ListMode);
      iconView_->setIconSize(QSize(16, 16));
      iconView_->setFlow(QListView::TopToBottom);
      iconView_->setWrapping(true);
      break;
    case app::ListStyle::Details:
      break;
  }
  listStack_->setCurrentWidget(activeListView());
  if (hadFocus) activeListView()->setFocus();
  if (listView_->currentIndex().isValid()) activeListView()->scrollTo(listView_->currentIndex());
  if (commands_) commands_->updateStates();
}

void CMainFrame::setApplication(app::CAmbra32App* application) {
  application_ = application;
  commands_->setApplication(application);
  if (application) commands_->router().setSkipFirstRefresh(application->commandLine().skipSearch());
}

void CMainFrame::restoreFlags() {
  const std::uint32_t f = reg_.getDword(app::kGeneralKey, "Flags", 0);
  treeShown_ = (f & kFlagTreeHidden) == 0;
  list_.setByPrinter((f & kFlagByPrinter) != 0);
  std::uint32_t width = reg_.getDword(app::kGeneralKey, "Splitter", kDefaultTreeWidth);
  if (width > 4000) width = kDefaultTreeWidth;
  treeWidth_ = static_cast<int>(width);
  tree_->setVisible(treeShown_);
  setListStyle(app::listStyleFromFlags(f));
}

void CMainFrame::applyTreeWidth() {
  // Exact sizes: a splitter spreads any difference to its width over both panes.
  const int total = splitter_->width() - splitter_->handleWidth();
  splitter_->setSizes({treeWidth_, std::max(1, total - treeWidth_)});
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (treeWidthApplied_) return;
  treeWidthApplied_ = true;
  if (treeShown_) applyTreeWidth();
}

std::uint32_t CMainFrame::flags() const {
  std::uint32_t f = app::listStyleFlags(listStyle_);
  if (!treeShown_) f |= kFlagTreeHidden;
  if (list_.byPrinter()) f |= kFlagByPrinter;
  if (list_.multiSelect()) f |= kFlagMultiSelect;
  return f;
}

void CMainFrame::setStoredRect(const app::WindowRect& r) { setGeometry(r.left, r.top, r.width(), r.height()); }

app::WindowRect CMainFrame::currentRect() const {
  // Store what the next start gives back to setGeometry, so the window neither drifts nor grows.
  const QRect g = (isMaximized() || isMinimized() || isFullScreen()) ? normalGeometry() : geometry();
  return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void CMainFrame::saveState() {
  if (saved_) return;
  saved_ = true;
  stopSearch();
  app::writeWindowRect(reg_, currentRect());
  // The pane width as it is: what is stored comes back unchanged, so it cannot grow per start.
  if (treeWidthApplied_ && treeShown_ && !splitter_->sizes().isEmpty() && splitter_->sizes().front() > 0) {
    treeWidth_ = splitter_->sizes().front();
  }
  reg_.setDword(app::kGeneralKey, "Splitter", static_cast<std::uint32_t>(treeWidth_));
  reg_.setDword(app::kGeneralKey, "Flags", flags());
  saveBars();
}

void CMainFrame::raiseFromAnotherInstance() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  // Its last active pop-up comes up with it.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->raise();
    modal->activateWindow();
  }
  emit raisedByAnotherInstance();
}

void CMainFrame::onRefresh() { commands_->router().execute(app::cmd::kRefresh); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  saveState();
  event->accept();
}

// --- views ---------------------------------------------------------------------------------

void CMainFrame::setViewManager(app::CViewManager* views) {
  views_ = views;
  tree_->setViewManager(views);
  tree_->setRefreshAlways(reg_.getDword(app::kGeneralKey, "RefreshAlways", 0) == 1);
  rebuildViewLists(views ? views->openNode() : nullptr);
  if (views && views->openNode()) applyOpenViewSettings();
}

void CMainFrame::rebuildViewLists(const app::CViewNode* select) {
  tree_->rebuild(views_ ? views_->root() : nullptr, select);
  viewSelect_->clear();
  if (views_) {
    int open = -1;
    for (const std::string& name : views_->viewNames(&open)) viewSelect_->addItem(QString::fromStdString(name));
    viewSelect_->addItem(QString::fromLatin1(kCreateNewViewEntry));
    if (open >= 0) viewSelect_->setCurrentIndex(open);
  } else {
    viewSelect_->addItem(QString::fromLatin1(kCreateNewViewEntry));
  }
}

void CMainFrame::setOpenView(const OpenViewSettings& view, devices::CDiscovery* discovery) {
  if (discovery_ && discovery_ != discovery) {
    discovery_->stopAndWait();
    discovery_->setOwner(nullptr);
    discovery_->setForegroundProgress(nullptr);
  }
  if (searching_) {
    searching_ = false;
    animation_->stopAndRewind();
    QApplication::restoreOverrideCursor();
  }
  view_ = view;
  discovery_ = discovery;
  if (discovery_) {
    discovery_->setOwner(&target_);
    discovery_->setForegroundProgress(progress_);
  }
  listView_->setColumnWidths(view.autoWidths ? std::vector<int>{} : view.widths);
  tableModel_->dropQueued();
  tableModel_->change([&] {
    list_.clearRows();
    list_.setDevices(discovery_ ? &discovery_->devices() : nullptr);
    list_.setViewName(view.name);
    list_.setViewColumns(view.columns);
    list_.setSort(view.sortColumn, view.sortDescending);
    list_.setFilter(view.filter);
    list_.setMasks({app::globalSettings().errorMask.load(), app::globalSettings().warningMask.load()});
  });
  updateStatusPanes();
}

void CMainFrame::startSearch(const devices::SearchRequest& request) {
  searchStarted();
  if (discovery_) {
    discovery_->startSearch(request);
  } else {
    // A view whose protocol has no search in this build says so once per opening, not silently.
    const app::CViewNode* open = views_ ? views_->openNode() : nullptr;
    if (open && open != toldUnavailable_) {
      toldUnavailable_ = open;
      commands_->showMessage(app::viewSearchUnavailableText(view_.protocol));
    }
    searchEnded();
  }
  startRefreshTimer();
}

void CMainFrame::startRefreshTimer() {
  if (refreshTimerId_) killTimer(refreshTimerId_);
  refreshTimerId_ = 0;
  ticks_ = 0;
  if (view_.refreshSeconds <= 0) return;
  refreshTimerId_ = startTimer(kRefreshPeriodMs);
  if (!refreshTimerId_) platform::ReportError(kTimerFailed, platform::kErrorView);
}

void CMainFrame::timerEvent(QTimerEvent* event) {
  if (event->timerId() == refreshTimerId_) {
    refreshTick();
    return;
  }
  QMainWindow::timerEvent(event);
}

void CMainFrame::stopSearch() {
  if (!discovery_) return;
  const bool was = searching_;
  discovery_->stopAndWait();
  if (was) searchEnded();
}

void CMainFrame::redisplay() {
  tableModel_->change([&] {
    list_.setDevices(discovery_ ? &discovery_->devices() : nullptr);
    list_.redisplay();
    list_.sort();
  });
  listView_->showSelection();
  setWorstLevel(list_.worstLevel());
  updateStatusPanes();
}

void CMainFrame::setByPrinter(bool on) {
  listView_->takeSelection();
  list_.rememberSelection();
  tableModel_->change([&] {
    list_.setByPrinter(on);
    list_.sort();
    list_.restoreSelection();
  });
  listView_->showSelection();
  updateStatusPanes();
  commands_->updateStates();
}

bool CMainFrame::viewHasPortColumn() const {
  return std::any_of(view_.columns.begin(), view_.columns.end(), [](int c) { return devices::isPortColumn(c); });
}

void CMainFrame::setMultiSelect(bool on) {
  listView_->takeSelection();
  tableModel_->change([&] { list_.setMultiSelect(on); });
  listView_->showSelection();
  commands_->updateStates();
}

void CMainFrame::checkAllRows(bool checked) {
  if (checked) {
    list_.checkAll();
  } else {
    list_.checkNone();
  }
  if (list_.rowCount() > 0)
    emit tableModel_->dataChanged(tableModel_->index(0, 0), tableModel_->index(list_.rowCount() - 1, 0),
                                  {Qt::CheckStateRole});
  commands_->updateStates();
}

void CMainFrame::setTreeShown(bool shown) {
  if (shown == treeShown_) return;
  if (!shown && treeWidthApplied_ && !splitter_->sizes().isEmpty()) treeWidth_ = splitter_->sizes().front();
  treeShown_ = shown;
  tree_->setVisible(shown);
  if (shown) {
    if (treeWidth_ < kMinShownTreeWidth) treeWidth_ = kMinShownTreeWidth;
    applyTreeWidth();
  }
  commands_->updateStates();
}

bool CMainFrame::refreshTick() {
  if (!isEnabled() || QApplication::activeModalWidget()) return false;
  // Ticks before this one × 10 + 10 seconds have passed when this tick comes.
  const int elapsed = ticks_ * 10 + 10;
  ++ticks_;
  if (view_.refreshSeconds <= 0 || elapsed < view_.refreshSeconds) return false;
  ticks_ = 0;
  if (views_) {
    refreshOpenView();
  } else {
    emit refreshRequested();
  }
  return true;
}

// --- messages ------------------------------------------------------------------------------

void CMainFrame::handleMessage(const platform::Message& m) {
  switch (m.msg) {
    case kMsgWorstStatus: setWorstLevel(static_cast<int>(m.wParam)); break;
    case kMsgSelectOpenView:
      if (views_) rebuildViewLists(views_->openNode());
      break;
    case kMsgSelectOpenViewInTree:
      if (views_) tree_->selectNode(views_->openNode());
      break;
    case kMsgTreeToggle: setTreeShown(m.wParam != 0); break;
    case kMsgViewSetChanged:
      // The node pointer may be stale by now (a later change removed it): only the tree itself
      // is trusted to find it.
      rebuildViewLists(m.lParam ? reinterpret_cast<const app::CViewNode*>(m.lParam)
                                : (views_ ? views_->openNode() : nullptr));
      // The open view may have been renamed.
      if (views_ && views_->openNode() && views_->openNode()->name() != view_.name) {
        view_.name = views_->openNode()->name();
        list_.setViewName(view_.name);
        updateStatusPanes();
      }
      break;
    case devices::kMsgDeviceFound: deviceFound(m); break;
    case devices::kMsgProgressText: {
      const char* text = devices::searchText(static_cast<std::uint32_t>(m.wParam));
      panes_[0]->setText(QString::fromUtf8(text ? text : platform::loadString(static_cast<std::uint32_t>(m.wParam))));
      break;
    }
    case kMsgSearchStarts: searchStarted(); break;
    case devices::kMsgSearchDone:
      if (discovery_ && !discovery_->isCurrent(m)) break;
      searchEnded();
      break;
    case kMsgViewByPrinterOn:
      if (!list_.byPrinter()) setByPrinter(true);
      break;
    default: break;
  }
}

void CMainFrame::searchStarted() {
  if (!searching_) QApplication::setOverrideCursor(Qt::BusyCursor);
  searching_ = true;
  animation_->play();
  listView_->takeSelection();
  list_.rememberSelection();
  // Rows still queued belong to the search that ends here; its devices are about to go.
  tableModel_->dropQueued();
  tableModel_->change([&] {
    list_.clearRows();
    list_.setViewColumns(view_.columns);
  });
  updateStatusPanes();
  commands_->updateStates();
}

void CMainFrame::deviceFound(const platform::Message& m) {
  // Only while a search of the open view is marked running; otherwise the discovery keeps the
  // device until its next search, so nothing leaks.
  if (!searching_ || !discovery_ || !discovery_->isCurrent(m)) return;
  // Accepted later, in slices: a burst of replies does not hold the window up.
  tableModel_->queueFound(m);
}

void CMainFrame::searchEnded() {
  if (!searching_) return;
  tableModel_->flushQueued();  // the search's last devices join the list before it is sorted
  searching_ = false;
  tableModel_->change([&] {
    list_.sort();
    list_.restoreSelection();
  });
  listView_->showSelection();
  animation_->stopAndRewind();
  QApplication::restoreOverrideCursor();
  panes_[0]->clear();
  setWorstLevel(list_.worstLevel());
  updateStatusPanes();
  commands_->updateStates();
}

void CMainFrame::setWorstLevel(int level) {
  iconLevel_ = level;
  if (!appIconFollowsStatus_) {
    setWindowIcon(applicationIcon());
    return;
  }
  // Warning for 2 and 4, error for 3, good otherwise; the device-row images serve as icons.
  int image = 6;
  if (level == devices::kLevelWarning || level == devices::kLevelFirmwareUpdate) image = 7;
  if (level == devices::kLevelError) image = 8;
  setWindowIcon(statusRowIcon(image));
}

void CMainFrame::updateStatusPanes() {
  panes_[1]->setText(QStringLiteral("Count: %1").arg(list_.rowCount()));
  static const char* const kKnown[] = {"TCP/IP", "NetWare", "Serial", "IPX"};
  bool known = false;
  for (const char* k : kKnown) known = known || view_.protocolName == k;
  panes_[2]->setText(known ? QStringLiteral("Protocol: ") + QString::fromStdString(view_.protocolName)
                           : QStringLiteral("Protocol:  Unknown"));
  panes_[3]->setText(QStringLiteral("View: ") + QString::fromStdString(view_.name));
  panes_[4]->setText(list_.hasFilter() ? QStringLiteral("FILT") : QString());
}

QString CMainFrame::statusPaneText(int pane) const {
  return (pane >= 0 && pane < 5) ? panes_[pane]->text() : QString();
}

// --- the open view -------------------------------------------------------------------------

namespace {

std::string protocolNameOf(int type) {
  switch (type) {
    case 6: return "TCP/IP";
    case 7: return "NetWare";
    case 8: return "Serial";
    case 9: return "IPX";
    default: return {};
  }
}

}  // namespace

void CMainFrame::applyOpenViewSettings() {
  if (!views_ || !views_->openNode()) return;
  const app::CViewNode* node = views_->openNode();
  const app::CViewDef& def = views_->viewDef();
  OpenViewSettings v;
  v.name = node->name();
  v.protocol = node->type();
  v.protocolName = protocolNameOf(node->type());
  v.columns = def.columns();
  v.sortColumn = def.sortColumn();
  v.sortDescending = def.sortDescending();
  if (!app::isSpecialView(node->name())) v.filter = def.displayFilter();
  v.refreshSeconds = def.refresh();
  v.autoWidths = def.autoWidths();
  if (!v.autoWidths) {
    v.widths.assign(devices::kColumnCount, 0);
    for (int c = 0; c < devices::kColumnCount; ++c) v.widths[static_cast<std::size_t>(c)] = def.widths().width(c);
  }
  auto* found = dynamic_cast<app::DeviceViewDiscovery*>(node->discovery());
  setOpenView(v, found ? found->search() : nullptr);
  // The Search tool asks with these too, before any search ran.
  if (discovery_) discovery_->setSettings(app::discoverySettingsFrom(reg_));
}

bool CMainFrame::openViewNode(app::CViewNode* node, bool search, bool force) {
  if (!views_ || !node || !node->isView()) return false;
  const bool wasOpen = node == views_->openNode() && discovery_ != nullptr;
  const app::CViewManager::OpenResult r = views_->openView(node, force);
  if (node != views_->openNode()) return false;
  if (!wasOpen || r.changed || force) applyOpenViewSettings();
  // The view's communities and discovery port come with it, not only with Refresh.
  if (application_) application_->loadAccessList(node->type(), false);
  if (search) {
    const bool searchedBefore = discovery_ && discovery_->searchNumber() > 0;
    if (searchedBefore && !force) {
      stopSearch();
      tableModel_->change([&] { list_.setViewColumns(view_.columns); });
      redisplay();
    } else {
      refreshOpenView();
    }
  }
  target_.post(kMsgSelectOpenView, 0, 0);
  return true;
}

void CMainFrame::refreshOpenView() {
  emit refreshRequested();
  if (!views_ || !views_->openNode()) return;
  if (!discovery_) applyOpenViewSettings();
  if (discovery_) discovery_->setSettings(app::discoverySettingsFrom(reg_));
  startSearch(app::searchRequestFor(views_->viewDef(), views_->openNode()->name()));
}

app::CViewNode* CMainFrame::chosenNode() const {
  if (chosen_) return chosen_;
  return const_cast<app::CViewNode*>(tree_->selectedNode());
}

void CMainFrame::onViewSelected(const app::CViewNode* node) {
  if (!node || !node->isView()) return;
  chosen_ = const_cast<app::CViewNode*>(node);
  const bool always = reg_.getDword(app::kGeneralKey, "RefreshAlways", 0) == 1;
  // Posted by the selection itself: "Open" on a view never searched searches it, whatever the
  // pop-up menu's rule for its item says.
  commands_->router().execute(always ? app::cmd::kTreeOpenRefresh : app::cmd::kTreeOpen);
  chosen_ = nullptr;
}

void CMainFrame::onTreeCommand(std::uint32_t id, const app::CViewNode* node) {
  chosen_ = const_cast<app::CViewNode*>(node);
  // The tree's pop-up offered only what its rules enable.
  commands_->router().execute(id);
  chosen_ = nullptr;
}

void CMainFrame::onColumnLayoutChanged(const std::vector<int>& columns, const std::vector<int>& widths) {
  if (!views_) return;
  views_->saveColumnLayout(columns, widths.empty() ? nullptr : &widths);
  view_.columns = views_->viewDef().columns();
  // The shown order becomes the model's order; rows again from the devices found.
  QHeaderView* header = listView_->header();
  QSignalBlocker block(header);
  header->reset();
  listView_->takeSelection();
  tableModel_->change([&] { list_.setViewColumns(view_.columns); });
  redisplay();
}

// --- bars ----------------------------------------------------------------------------------

void CMainFrame::setBarVisible(Bar bar, bool visible) {
  switch (bar) {
    case Bar::Tools: toolBar_->setVisible(visible); break;
    case Bar::ViewSelect: viewBar_->setVisible(visible); break;
    case Bar::Status: statusBar()->setVisible(visible); break;
  }
  commands_->updateStates();
}

bool CMainFrame::barVisible(Bar bar) const {
  switch (bar) {
    case Bar::Tools: return !toolBar_->isHidden();
    case Bar::ViewSelect: return !viewBar_->isHidden();
    case Bar::Status: return !statusBar()->isHidden();
  }
  return false;
}

void CMainFrame::restoreBars() {
  // Bands Bar0..Bar3 in their stored order; a stored id that is no band, or one given twice,
  // makes the whole record untrusted and the default order stays.
  std::vector<std::uint32_t> order;
  std::vector<std::uint32_t> styles;
  for (int i = 0; i < 4; ++i) {
    const std::string key = std::string(kControlBarsKey) + "\\Bar" + std::to_string(i);
    const auto id = reg_.getDword(key, "ID");
    if (!id) break;
    order.push_back(*id);
    styles.push_back(reg_.getDword(key, "Style", 0));
  }
  const std::vector<std::uint32_t> known{kBandMenu, kBandAnimation, kBandViewSelect, kBandTools};
  auto valid = order.size() == 4;
  for (std::size_t i = 0; valid && i < order.size(); ++i)
    valid = std::count(order.begin(), order.end(), order[i]) == 1 &&
            std::find(known.begin(), known.end(), order[i]) != known.end();
  if (!valid) return;
  auto barOf = [&](std::uint32_t id) -> QToolBar* {
    if (id == kBandAnimation) return animationBar_;
    if (id == kBandViewSelect) return viewBar_;
    if (id == kBandTools) return toolBar_;
    return nullptr;
  };
  for (QToolBar* b : {animationBar_, viewBar_, toolBar_}) removeToolBar(b);
  for (std::size_t i = 0; i < order.size(); ++i) {
    QToolBar* b = barOf(order[i]);
    if (!b) continue;
    if ((styles[i] & kBandBreak) != 0) addToolBarBreak();
    addToolBar(b);
    b->setVisible((styles[i] & kBandHidden) == 0);
  }
}

void CMainFrame::saveBars() {
  struct Band {
    std::uint32_t id;
    QWidget* widget;
  };
  std::vector<Band> bands{{kBandMenu, menuBar()}};
  std::vector<QToolBar*> bars{animationBar_, viewBar_, toolBar_};
  // In the order they stand: by row, then left to right.
  std::sort(bars.begin(), bars.end(), [](QToolBar* a, QToolBar* b) {
    if (a->y() != b->y()) return a->y() < b->y();
    return a->x() < b->x();
  });
  for (QToolBar* b : bars)
    bands.push_back({b == animationBar_ ? kBandAnimation : b == viewBar_ ? kBandViewSelect : kBandTools, b});
  reg_.transaction([&](platform::Registry& tx) {
    for (std::size_t i = 0; i < bands.size(); ++i) {
      const std::string key = std::string(kControlBarsKey) + "\\Bar" + std::to_string(i);
      auto* bar = qobject_cast<QToolBar*>(bands[i].widget);
      std::uint32_t style = 0;
      if (bar && bar->isHidden()) style |= kBandHidden;
      if (bar && toolBarBreak(bar)) style |= kBandBreak;
      // The band's own width, not what the layout stretched it to: stored and restored without
      // any allowance, so it cannot grow from one start to the next.
      const int w = bands[i].widget->sizeHint().width();
      const std::uint32_t width = w > 0 ? static_cast<std::uint32_t>(w) : kDefaultBandWidth;
      if (!tx.setDword(key, "ID", bands[i].id) || !tx.setDword(key, "Width", width) || !tx.setDword(key, "Style", style))
        return false;
    }
    return true;
  });
}

// --- the device the commands act on --------------------------------------------------------

app::CommandState CMainFrame::commandState() const {
  app::CommandState s;
  s.viewProtocol = view_.protocol;
  s.searching = searching_;
  QAbstractItemView* active = activeListView();
  s.listHasFocus = active->hasFocus() || QApplication::focusWidget() == active;
  s.listStyle = listStyle_;
  const QModelIndex current = listView_->currentIndex();
  s.selectedCount = current.isValid() ? 1 : 0;
  s.checkedCount = static_cast<int>(list_.checkedDevices().size());
  if (const devices::CDevice* d = focusedDevice()) {
    s.focusedSecondFamily = d->kind == devices::kKindSecondFamily;
    s.focusedAnswered = d->answered;
    s.focusedConfigured = d->configured;
    s.focusedReplyFormat = d->replyFormat;
  }
  s.multiSelect = list_.multiSelect();
  s.viewByPrinter = list_.byPrinter();
  s.treeShown = treeShown_;
  s.toolBarVisible = !toolBar_->isHidden();
  s.viewSelectBarVisible = !viewBar_->isHidden();
  s.statusBarVisible = !statusBar()->isHidden();
  s.refreshAlways = reg_.getDword(app::kGeneralKey, "RefreshAlways", 0) == 1;
  s.networkFlags = views_ ? views_->protocolFlags() : 0;
  if (const app::CViewNode* n = tree_->selectedNode()) {
    s.treeNode.present = true;
    s.treeNode.isView = n->isView() && !n->isRoot();
    s.treeNode.hasChildren = !n->children().empty();
    const auto* found = dynamic_cast<const app::DeviceViewDiscovery*>(n->discovery());
    s.treeNode.searched = found && found->search() && found->search()->searchNumber() > 0;
  }
  return s;
}

devices::CDevice* CMainFrame::focusedDevice() const {
  const QModelIndex current = listView_->currentIndex();
  return current.isValid() ? list_.rowDevice(current.row()) : nullptr;
}

void CMainFrame::setStatusMessage(const QString& text) { panes_[0]->setText(text); }

int CMainFrame::indexOf(const devices::CDevice& device) const {
  if (!discovery_) return -1;
  const auto& all = discovery_->devices();
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i].get() == &device) return static_cast<int>(i);
  return -1;
}

void CMainFrame::reinsertRows(int deviceIndex) {
  if (deviceIndex < 0) return;
  listView_->takeSelection();
  list_.rememberSelection();
  tableModel_->change([&] {
    list_.reinsertDevice(deviceIndex);
    list_.sort();
    list_.restoreSelection();
  });
  listView_->showSelection();
  updateStatusPanes();
}

namespace {

// Runs `fn` with the device waiting in the "Please Wait" window, on this thread's GUI watch.
template <typename Fn>
int withForegroundWait(devices::CDevice& device, gui::CProgressDlg& progress, platform::SocketWatch& watch, Fn fn) {
  snmp::ScopedThreadSocketWatch scope(&watch);
  snmpaccess::ProgressWindow* saved = device.progress;
  device.progress = &progress;
  progress.begin();
  const int result = fn();
  progress.end();
  device.progress = saved;
  return result;
}

}  // namespace

int CMainFrame::requeryDevice(devices::CDevice& device) {
  stopSearch();
  list_.freezeDevice(indexOf(device));
  const int result = withForegroundWait(device, *progress_, socketWatch_, [&] {
    progress_->setText(platform::loadString(platform::ids::kRebuildingConfiguration));
    return device.query();
  });
  list_.thawDevice();
  reinsertRows(indexOf(device));
  return result;
}

void CMainFrame::refreshSelected() {
  if (devices::CDevice* device = focusedDevice()) requeryDevice(*device);
  refreshOpenView();
}

int CMainFrame::readStatusText(devices::CDevice& device, std::string& out) {
  stopSearch();
  // The row keeps its name and address while the status is read; the requery that follows
  // shows the answer.
  list_.freezeDevice(indexOf(device));
  const int result = withForegroundWait(device, *progress_, socketWatch_, [&] {
    if (auto* ip = dynamic_cast<devices::CIpDevice*>(&device)) return ip->statusText(out, 255);
    const int result = device.query();
    if (result != 0) {
      if (result != 2) out = devices::kTextCannotCommunicate;
      return result;
    }
    return device.composeStatusText(out, 255);
  });
  list_.thawDevice();
  return result;
}

bool CMainFrame::prepareTarget(const devices::CDevice& device, snmpaccess::SnmpTarget& target) {
  std::string address;
  if (const auto* ipx = dynamic_cast<const devices::CIpxDevice*>(&device)) {
    target.family = snmpaccess::kFamilyIpx;
    address = std::string(ipx->ipxAddressText().view());
  } else if (const auto* ip = dynamic_cast<const devices::CIpDevice*>(&device)) {
    target.family = ip->snmpProtocol() == devices::kSnmpProtocolSerial ? snmpaccess::kFamilySerial
                                                                       : snmpaccess::kFamilyIpv4;
    address = ip->snmpAddress();
  } else {
    return false;
  }
  if (address.empty()) return false;
  target.setAddress(address);
  const char* key = target.family == snmpaccess::kFamilyIpx      ? app::kAccessNwKey
                    : target.family == snmpaccess::kFamilySerial ? app::kAccessComKey
                                                                 : app::kAccessIpKey;
  app::CAccessList local;
  app::CAccessList* list = &local;
  if (application_) {
    application_->loadAccessList(view_.protocol, false);
    list = &application_->accessList();
  } else {
    local.load(reg_, key, true);
  }
  const app::CAccessEntry& entry = list->lookup(address);
  target.setGetCommunity(entry.getCommunity);
  target.setSetCommunity(entry.setCommunity);
  target.progress = progress_;
  return true;
}

bool CMainFrame::findOrAdd(const std::string& text) {
  if (!discovery_) return false;
  stopSearch();
  const std::size_t before = discovery_->deviceCount();
  // A unit added here reads the extra columns the view shows, as a search does.
  if (views_ && views_->openNode())
    discovery_->setShownColumns(app::searchRequestFor(views_->viewDef(), views_->openNode()->name()).columnBits);
  int index = -1;
  {
    snmp::ScopedThreadSocketWatch scope(&socketWatch_);
    progress_->begin();
    index = discovery_->findOrAdd(text);
    progress_->end();
  }
  if (index < 0) return false;
  listView_->takeSelection();
  tableModel_->change([&] {
    // A device the Search tool added is shown whatever the filter says.
    if (static_cast<std::size_t>(index) >= before) list_.addDevice(index, true);
    list_.sort();
    for (int r = 0; r < list_.rowCount(); ++r) {
      const auto* row = list_.row(r);
      if (row && row->device == index) {
        list_.setSelectedRow(r);
        break;
      }
    }
  });
  listView_->showSelection();
  updateStatusPanes();
  return true;
}

void CMainFrame::showListPopup(QAbstractItemView* view, const QPoint& pos) {
  const QModelIndex index = view->indexAt(pos);
  if (index.isValid()) view->setCurrentIndex(index);
  view->setFocus();
  QMenu* menu = commands_->buildListPopup();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(view->viewport()->mapToGlobal(pos));
}
