// The main window of the GUI tests: the program's view tree and discoveries on a test's settings
// file, "All Print Servers" open, the window active (the server commands want the list focused).
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>
#include <initializer_list>
#include <string>

#include "app/gui/device_list_view.h"
#include "app/gui/main_frame.h"
#include "app/gui/view_tree_pane.h"
#include "app/settings.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "devices/device.h"
#include "devices/device_column.h"
#include "platform/registry.h"

namespace guitest {

inline constexpr int kSearchDeadlineMs = 30000;

// A settings file whose current view is "All Print Servers" (plus any further TCP/IP views), with a
// short broadcast wait and the simulator's discovery port. False when a view cannot be created.
inline bool seedAllView(const std::string& path, int discoveryPort,
                        std::initializer_list<const char*> moreViews = {}) {
  platform::Registry reg(path);
  reg.setDword(app::kTimeoutsKey, "Broadcast", 400);
  if (discoveryPort) reg.setDword(app::kAccessIpKey, "DiscoveryPort", discoveryPort);
  app::IdleViewDiscoveryFactory idle;
  app::CViewManager views(reg, idle);
  views.loadTree();
  if (!views.createDefaultView(app::kAllViewName, 6).node) return false;
  for (const char* name : moreViews)
    if (!views.createDefaultView(name, 6).node) return false;
  reg.setString(app::kGeneralKey, "CurrentView", app::kAllViewName);
  return true;
}

struct AllViewWindow {
  explicit AllViewWindow(const std::string& path) : reg(path), views(reg, discoveries), frame(reg) {
    views.loadTree();
    views.openView(views.find(app::kAllViewName), false);
    frame.setViewManager(&views);
    frame.show();
    QApplication::setActiveWindow(&frame);
    if (!QTest::qWaitForWindowActive(&frame)) qWarning("the window did not become active");
  }
  ~AllViewWindow() { frame.stopSearch(); }

  bool searchDone() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < kSearchDeadlineMs) {
      QTest::qWait(20);
      if (!frame.searching()) return true;
    }
    return false;
  }
  // Opens "All Print Servers" with a search and waits for its end.
  void searchAll() {
    QVERIFY(frame.openViewNode(views.find(app::kAllViewName), true, true));
    QVERIFY(searchDone());
    QVERIFY(frame.deviceList().rowCount() > 0);
  }
  QModelIndex selectRow(int row) {
    const QModelIndex index = frame.listView()->model()->index(row, 0);
    frame.listView()->setCurrentIndex(index);
    frame.listView()->setFocus();
    return index;
  }
  void selectDevice(const char* address) {
    for (int r = 0; r < frame.deviceList().rowCount(); ++r) {
      const char* text = frame.deviceList().rowDevice(r)->columnText(devices::kColIpAddress);
      if (text && std::string(text) == address) {
        selectRow(r);
        return;
      }
    }
    QFAIL(address);
  }
  void chooseInTree(const char* name) { frame.treePane()->selectNode(views.find(name)); }

  platform::Registry reg;
  app::DeviceViewDiscoveryFactory discoveries;
  app::CViewManager views;
  CMainFrame frame;
};

}  // namespace guitest
