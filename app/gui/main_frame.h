#pragma once
// The main window: the view tree and the device list of the open view side by side, the tool
// bars above, the five-pane status bar below. It runs the refresh cycle: starts a search on the
// view's discovery worker, lists the devices as they arrive, sorts at the end, keeps the
// selection, refreshes on a timer and shows the worst status in the window icon.
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "app/device_list_model.h"
#include "app/list_style.h"
#include "app/settings.h"
#include "devices/discovery.h"
#include "platform/qt/qt_message_target.h"
#include "platform/qt/qt_socket_watch.h"

class QAbstractItemView;
class QComboBox;
class QListView;
class QStackedWidget;
class QLabel;
class QSplitter;
class QToolBar;
class DeviceListTableModel;
class DeviceListView;
class MainFrameCommands;
class SearchAnimation;
class ViewTreePane;

namespace gui {
class CProgressDlg;
}
namespace snmpaccess {
struct SnmpTarget;
}

namespace platform {
class Registry;
}
namespace app {
class CAmbra32App;
class CViewManager;
class CViewNode;
struct CommandState;
}

// Private messages of the main window.
inline constexpr std::uint32_t kMsgWorstStatus = 0x8002;
inline constexpr std::uint32_t kMsgSelectOpenView = 0x800A;
inline constexpr std::uint32_t kMsgSelectOpenViewInTree = 0x800B;
inline constexpr std::uint32_t kMsgTreeToggle = 0x800C;
inline constexpr std::uint32_t kMsgViewSetChanged = 0x800D;
inline constexpr std::uint32_t kMsgSearchStarts = 0x8011;
inline constexpr std::uint32_t kMsgInstanceTest = 0x8013;
inline constexpr std::uint32_t kMsgViewByPrinterOn = 0x8015;
inline constexpr std::uint32_t kInstanceTestAnswer = 123456789;

// General\Flags bits.
inline constexpr std::uint32_t kFlagTreeHidden = 0x1;
inline constexpr std::uint32_t kFlagByPrinter = 0x2;
inline constexpr std::uint32_t kFlagMultiSelect = 0x4;
inline constexpr std::uint32_t kFlagDetails = 0x40;

inline constexpr const char* kCreateNewViewEntry = "<<Create New View>>";

// What the window shows of the open view.
struct OpenViewSettings {
  std::string name;
  int protocol = 0;          // view type: 6 TCP/IP, 7 NetWare, 8 serial, 9 IPX
  std::string protocolName;  // "TCP/IP", "NetWare", "Serial", "IPX", else unknown
  std::vector<int> columns;
  int sortColumn = 0;
  bool sortDescending = false;
  devices::DisplayFilter filter;
  int refreshSeconds = 0;
  bool autoWidths = true;
  std::vector<int> widths;   // by catalogue column, when not automatic
};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(platform::Registry& reg, QWidget* parent = nullptr);
  ~CMainFrame() override;

  void setStoredRect(const app::WindowRect& rect);
  // The rectangle to store: the normal (not maximised or minimised) geometry.
  app::WindowRect currentRect() const;
  // Writes the window state to the store; done once, when the window closes.
  void saveState();
  void setAppIconFollowsStatus(bool on) { appIconFollowsStatus_ = on; }
  platform::Registry& registry() { return reg_; }
  MainFrameCommands& commands() { return *commands_; }
  gui::CProgressDlg& progressDialog() { return *progress_; }
  // The watch of sockets whose waits run in the "Please Wait" window on this thread.
  platform::SocketWatch& guiSocketWatch() { return socketWatch_; }
  // Start-up's protocol check and access lists for Refresh and Options.
  void setApplication(app::CAmbra32App* application);
  bool appIconFollowsStatus() const { return appIconFollowsStatus_; }

  // --- panes and state ---
  app::DeviceListModel& deviceList() { return list_; }
  DeviceListView* listView() const { return listView_; }
  // The icon view of the same rows, shown in the large icons, small icons and list styles.
  QListView* iconView() const { return iconView_; }
  // The view of the list that shows now: the icon view or the details view.
  QAbstractItemView* activeListView() const;
  ViewTreePane* treePane() const { return tree_; }
  QSplitter* splitter() const { return splitter_; }
  QComboBox* viewSelect() const { return viewSelect_; }
  SearchAnimation* searchAnimation() const { return animation_; }
  platform::qt::QtMessageTarget& messageTarget() { return target_; }
  QString statusPaneText(int pane) const;  // 0-4
  bool searching() const { return searching_; }
  int iconLevel() const { return iconLevel_; }

  // The view tree and its names (null: none yet). Its open view is shown, not yet searched.
  void setViewManager(app::CViewManager* views);
  app::CViewManager* viewManager() const { return views_; }
  // Opens a view of the tree: with `search`, a view searched before shows its devices again
  // unless `force`, otherwise it is searched. False when the view cannot be opened.
  bool openViewNode(app::CViewNode* node, bool search, bool force);
  // A full refresh of the open view with its settings and the stored search settings.
  void refreshOpenView();
  // The node a tree command or the view-select list is about: the tree's selection.
  app::CViewNode* chosenNode() const;
  int viewProtocol() const { return view_.protocol; }
  bool viewHasPortColumn() const;
  // The open view's settings and its discovery (owned by the view, which outlives the window or
  // sets another discovery first; may be null).
  void setOpenView(const OpenViewSettings& view, devices::CDiscovery* discovery);
  // A full refresh: 0x8011, new columns, empty list, the discovery's search, the timer.
  void startSearch(const devices::SearchRequest& request);
  // Stops the search and waits for its worker; the rows found so far stay.
  void stopSearch();
  // Rows again from the devices already found.
  void redisplay();

  void setByPrinter(bool on);
  bool byPrinter() const { return list_.byPrinter(); }
  void setMultiSelect(bool on);
  bool multiSelect() const { return list_.multiSelect(); }
  void setTreeShown(bool shown);
  bool treeShown() const { return treeShown_; }
  std::uint32_t flags() const;
  void setListStyle(app::ListStyle style);
  app::ListStyle listStyle() const { return listStyle_; }
  enum class Bar { Tools, ViewSelect, Status };
  void setBarVisible(Bar bar, bool visible);
  bool barVisible(Bar bar) const;
  void checkAllRows(bool checked);

  // --- the device the commands act on ---
  // The state the enabling rules read.
  app::CommandState commandState() const;
  // The device of the focused row, or null.
  devices::CDevice* focusedDevice() const;
  void setStatusMessage(const QString& text);
  // Queries the device again with the "Please Wait" window and re-inserts its rows in place.
  int requeryDevice(devices::CDevice& device);
  // The focused device asked again ("Rebuilding configuration"), its rows in place and sorted,
  // then a full refresh: what the configuration dialogs do after they wrote to a unit.
  void refreshSelected();
  // The What's Wrong text for every port, read with the "Please Wait" window. 0, 2 stopped, or
  // the failed query's result (the text says so).
  int readStatusText(devices::CDevice& device, std::string& out);
  // Fills the SNMP target of the device: address, communities of the access list, this
  // window's progress. False when the device has no SNMP address.
  bool prepareTarget(const devices::CDevice& device, snmpaccess::SnmpTarget& target);
  // The Search tool: a listed device with that text is selected, else the address is asked
  // and added (shown even when the display filter would hide it). False when nothing answered.
  bool findOrAdd(const std::string& text);
  // Address assignment: `device` asked at `address` with the "Please Wait" window showing `text`
  // until it answers, Stop, or `seconds` pass (address_assignment_command.cpp). 0 answered, 2
  // stopped, -1 no answer.
  int waitForDeviceAt(devices::CIpDevice& device, int seconds, const std::string& address, const std::string& text);

  // One tick of the refresh timer (public for tests); returns whether it refreshed.
  bool refreshTick();
  bool refreshTimerRunning() const { return refreshTimerId_ != 0; }

 public slots:
  // Another instance asked this one to come to the front.
  void raiseFromAnotherInstance();
  // Command 32789 (Refresh).
  void onRefresh();

 signals:
  void raisedByAnotherInstance();
  void refreshRequested();
  // A view chosen in the tree or the view-select list; "<<Create New View>>" asks for 32801.
  void viewChosen(const app::CViewNode* node);
  void createViewRequested();
  // The user's header click: the view stores the new sort.
  void sortChanged(int column, bool descending);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void handleMessage(const platform::Message& message);
  void searchStarted();
  void searchEnded();
  void deviceFound(const platform::Message& message);
  void setWorstLevel(int level);
  void updateStatusPanes();
  void rebuildViewLists(const app::CViewNode* select);
  void restoreFlags();
  void applyTreeWidth();
  void restoreBars();
  void saveBars();
  void startRefreshTimer();
  void applyOpenViewSettings();
  void showListPopup(QAbstractItemView* view, const QPoint& pos);
  void connectListSignals(QAbstractItemView* view);
  void onColumnLayoutChanged(const std::vector<int>& columns, const std::vector<int>& widths);
  void onViewSelected(const app::CViewNode* node);
  void onTreeCommand(std::uint32_t id, const app::CViewNode* node);
  void reinsertRows(int deviceIndex);
  int indexOf(const devices::CDevice& device) const;

  platform::Registry& reg_;
  bool saved_ = false;
  bool appIconFollowsStatus_ = false;

  platform::qt::QtMessageTarget target_;
  // Sockets of waits on this thread (a device asked again, an SNMP request) notify through it.
  platform::qt::QtSocketWatch socketWatch_;
  app::DeviceListModel list_;
  std::unique_ptr<DeviceListTableModel> tableModel_;
  DeviceListView* listView_ = nullptr;
  QListView* iconView_ = nullptr;
  QStackedWidget* listStack_ = nullptr;
  app::ListStyle listStyle_ = app::ListStyle::Details;
  ViewTreePane* tree_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QComboBox* viewSelect_ = nullptr;
  SearchAnimation* animation_ = nullptr;
  QToolBar* animationBar_ = nullptr;
  QToolBar* viewBar_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QLabel* panes_[5] = {};
  int refreshTimerId_ = 0;
  gui::CProgressDlg* progress_ = nullptr;
  MainFrameCommands* commands_ = nullptr;
  const app::CViewNode* toldUnavailable_ = nullptr;  // the view last told it has no search here
  app::CAmbra32App* application_ = nullptr;
  app::CViewNode* chosen_ = nullptr;
  QMetaObject::Connection focusConnection_;

  app::CViewManager* views_ = nullptr;
  devices::CDiscovery* discovery_ = nullptr;
  OpenViewSettings view_;
  bool searching_ = false;
  bool treeShown_ = true;
  int treeWidth_ = 150;
  bool treeWidthApplied_ = false;
  int ticks_ = 0;
  int iconLevel_ = devices::kLevelGood;
};
