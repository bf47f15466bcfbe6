#include "app/gui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QShowEvent>
#include <algorithm>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/gui/device_list_view.h"
#include "app/gui/view_tree_pane.h"
#include "app/view_manager.h"
#include "app/view_node.h"
#include "platform/registry.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace {

QString stringOf(std::uint32_t id) { return QString::fromUtf8(platform::loadString(id)); }

constexpr int kRefreshPeriodMs = 10000;  // timer 26
constexpr int kMinShownTreeWidth = 140;
constexpr int kDefaultTreeWidth = 150;

}  // namespace

CMainFrame::CMainFrame(platform::Registry& reg, QWidget* parent) : QMainWindow(parent), reg_(reg) {
  setWindowTitle(stringOf(platform::ids::kMainWindowTitle));
  setObjectName("CMainFrame");
  QMenu* file = menuBar()->addMenu(stringOf(platform::ids::kMenuFile));
  QAction* exit = file->addAction(stringOf(platform::ids::kCommandExit));
  exit->setObjectName("actionExit");
  exit->setShortcut(QKeySequence::Quit);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  target_.setHandler([this](const platform::Message& m) { handleMessage(m); });

  // Tool bars: search animation, view-select drop-down.
  QToolBar* animationBar = addToolBar("Search");
  animationBar->setObjectName("searchAnimationBar");
  animation_ = new QLabel(animationBar);
  animation_->setObjectName("searchAnimation");
  animation_->setFixedSize(157, 25);
  animationBar->addWidget(animation_);
  QToolBar* viewBar = addToolBar("Views");
  viewBar->setObjectName("viewSelectBar");
  viewSelect_ = new QComboBox(viewBar);
  viewSelect_->setObjectName("viewSelect");
  viewSelect_->setFixedWidth(150);
  viewBar->addWidget(viewSelect_);
  connect(viewSelect_, &QComboBox::activated, this, [this](int index) {
    const QString text = viewSelect_->itemText(index);
    if (text == QLatin1String(kCreateNewViewEntry)) {
      emit createViewRequested();
      return;
    }
    if (views_) emit viewChosen(views_->find(text.toStdString()));
  });

  // Panes.
  tableModel_ = std::make_unique<DeviceListTableModel>(list_);
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName("mainSplitter");
  tree_ = new ViewTreePane(splitter_);
  listView_ = new DeviceListView(*tableModel_, splitter_);
  splitter_->addWidget(tree_);
  splitter_->addWidget(listView_);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  setCentralWidget(splitter_);
  connect(tree_, &ViewTreePane::nodeChosen, this, [this](const app::CViewNode* node) {
    if (node && node->isView()) emit viewChosen(node);
  });
  connect(listView_, &DeviceListView::sortChanged, this, [this](int column, bool descending) {
    view_.sortColumn = column;
    view_.sortDescending = descending;
    emit sortChanged(column, descending);
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

  refreshTimer_ = new QTimer(this);
  refreshTimer_->setInterval(kRefreshPeriodMs);
  connect(refreshTimer_, &QTimer::timeout, this, &CMainFrame::refreshTick);

  restoreFlags();
  rebuildViewLists(nullptr);
  updateStatusPanes();
}

CMainFrame::~CMainFrame() {
  // The worker must not post into a window being torn down.
  if (discovery_) {
    discovery_->stopAndWait();
    discovery_->setOwner(nullptr);
  }
  if (searching_) QApplication::restoreOverrideCursor();
}

void CMainFrame::restoreFlags() {
  const std::uint32_t f = reg_.getDword(app::kGeneralKey, "Flags", 0);
  treeShown_ = (f & kFlagTreeHidden) == 0;
  list_.setByPrinter((f & kFlagByPrinter) != 0);
  std::uint32_t width = reg_.getDword(app::kGeneralKey, "Splitter", kDefaultTreeWidth);
  if (width > 4000) width = kDefaultTreeWidth;
  treeWidth_ = static_cast<int>(width);
  tree_->setVisible(treeShown_);
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
  std::uint32_t f = kFlagDetails;
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

void CMainFrame::onRefresh() { emit refreshRequested(); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  saveState();
  event->accept();
}

// --- views ---------------------------------------------------------------------------------

void CMainFrame::setViewManager(app::CViewManager* views) {
  views_ = views;
  rebuildViewLists(views ? views->openNode() : nullptr);
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
  }
  searching_ = false;
  view_ = view;
  discovery_ = discovery;
  if (discovery_) discovery_->setOwner(&target_);
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
  if (discovery_) discovery_->startSearch(request);
  refreshTimer_->stop();
  ticks_ = 0;
  if (view_.refreshSeconds > 0) refreshTimer_->start();
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
  tableModel_->change([&] {
    list_.setByPrinter(on);
    list_.sort();
  });
  listView_->showSelection();
  updateStatusPanes();
}

void CMainFrame::setMultiSelect(bool on) {
  tableModel_->change([&] { list_.setMultiSelect(on); });
  listView_->showSelection();
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
}

bool CMainFrame::refreshTick() {
  if (!isEnabled() || QApplication::activeModalWidget()) return false;
  // Ticks before this one × 10 + 10 seconds have passed when this tick comes.
  const int elapsed = ticks_ * 10 + 10;
  ++ticks_;
  if (view_.refreshSeconds <= 0 || elapsed < view_.refreshSeconds) return false;
  ticks_ = 0;
  emit refreshRequested();
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
      rebuildViewLists(m.lParam ? reinterpret_cast<const app::CViewNode*>(m.lParam)
                                : (views_ ? views_->openNode() : nullptr));
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
  listView_->takeSelection();
  list_.rememberSelection();
  tableModel_->change([&] {
    list_.clearRows();
    list_.setViewColumns(view_.columns);
  });
  animation_->setText(QStringLiteral("Searching..."));
  updateStatusPanes();
}

void CMainFrame::deviceFound(const platform::Message& m) {
  // Only while a search of the open view is marked running; otherwise the discovery keeps the
  // device until its next search, so nothing leaks.
  if (!searching_ || !discovery_ || !discovery_->isCurrent(m)) return;
  const int index = discovery_->acceptFound(m);
  if (index < 0) return;
  tableModel_->append([&] { list_.addDevice(index); });
  updateStatusPanes();
}

void CMainFrame::searchEnded() {
  if (!searching_) return;
  searching_ = false;
  tableModel_->change([&] {
    list_.sort();
    list_.restoreSelection();
  });
  listView_->showSelection();
  animation_->clear();
  QApplication::restoreOverrideCursor();
  panes_[0]->clear();
  setWorstLevel(list_.worstLevel());
  updateStatusPanes();
}

void CMainFrame::setWorstLevel(int level) {
  iconLevel_ = level;
  if (!appIconFollowsStatus_) {
    setWindowIcon(QIcon());
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
