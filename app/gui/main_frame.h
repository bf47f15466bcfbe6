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
#include "app/settings.h"
#include "devices/discovery.h"
#include "platform/qt/qt_message_target.h"

class QComboBox;
class QLabel;
class QSplitter;
class QTimer;
class DeviceListTableModel;
class DeviceListView;
class ViewTreePane;

namespace platform {
class Registry;
}
namespace app {
class CViewManager;
class CViewNode;
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
  std::string protocolName;  // "TCP/IP", "NetWare", "Serial", "IPX", else unknown
  std::vector<int> columns;
  int sortColumn = 0;
  bool sortDescending = false;
  devices::DisplayFilter filter;
  int refreshSeconds = 0;
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
  bool appIconFollowsStatus() const { return appIconFollowsStatus_; }

  // --- panes and state ---
  app::DeviceListModel& deviceList() { return list_; }
  DeviceListView* listView() const { return listView_; }
  ViewTreePane* treePane() const { return tree_; }
  QSplitter* splitter() const { return splitter_; }
  QComboBox* viewSelect() const { return viewSelect_; }
  platform::qt::QtMessageTarget& messageTarget() { return target_; }
  QString statusPaneText(int pane) const;  // 0-4
  bool searching() const { return searching_; }
  int iconLevel() const { return iconLevel_; }

  // The view tree and its names (null: none yet).
  void setViewManager(app::CViewManager* views);
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

  // One tick of the refresh timer (public for tests); returns whether it refreshed.
  bool refreshTick();

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

  platform::Registry& reg_;
  bool saved_ = false;
  bool appIconFollowsStatus_ = false;

  platform::qt::QtMessageTarget target_;
  app::DeviceListModel list_;
  std::unique_ptr<DeviceListTableModel> tableModel_;
  DeviceListView* listView_ = nullptr;
  ViewTreePane* tree_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QComboBox* viewSelect_ = nullptr;
  QLabel* animation_ = nullptr;
  QLabel* panes_[5] = {};
  QTimer* refreshTimer_ = nullptr;

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
