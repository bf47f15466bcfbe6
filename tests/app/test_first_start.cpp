// The first start with an empty settings file: no view is made behind the user's back; the view
// editor runs from its welcome page, and the view it creates searches and lists the fleet.
#include <gtest/gtest.h>

#include <set>

#include "app/device_list_model.h"
#include "app/settings.h"
#include "app/view_editor.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "devices/discovery_headless.h"
#include "sim_child.h"
#include "view_test_support.h"

namespace {

// The editor as a user fills it in: welcome page, "New View" with the default-settings box.
struct EditorUi final : app::ViewTreeUi {
  int editorCalls = 0;
  int firstMode = -1;
  app::CViewNode* createFirstView(app::CViewManager& views) override {
    ++editorCalls;
    app::CCustomizeViewPropSheet sheet(views, app::kEditorFirstRun);
    firstMode = sheet.mode();
    EXPECT_EQ(sheet.firstPage(), app::CCustomizeViewPropSheet::Page::Welcome);
    sheet.newView().name = "My Printers";
    sheet.newView().defaults = true;
    if (sheet.finishWithDefaults() != 0) return nullptr;
    return sheet.editedNode();
  }
  bool askYesNo(const std::string&) override { return false; }
};

}  // namespace

TEST(FirstStart, TheEditorCreatesAViewThatFindsTheFleet) {
  SimChild sim(5, "127.0.95.1", 0);
  ASSERT_TRUE(sim.running()) << "trellan-sim is missing or did not start (" << SimChild::binDir() << ")";

  ViewStore store;
  app::DeviceViewDiscoveryFactory factory;
  app::CViewManager views(store.reg, factory);
  EditorUi ui;
  ASSERT_EQ(views.start(ui, app::kProbeTcpIp), 0);
  EXPECT_EQ(ui.editorCalls, 1);
  ASSERT_NE(views.openNode(), nullptr);
  EXPECT_EQ(views.openNode()->name(), "My Printers");
  EXPECT_FALSE(views.find(app::kAllViewName)) << "no view is made on the user's behalf";
  EXPECT_EQ(store.reg.getString("Views\\TCP/IP\\My Printers", "Columns", ""),
            "System Name,IP Address,H/W Address,Port Status");

  // The view's own search, as Refresh runs it.
  auto* discovery = static_cast<app::DeviceViewDiscovery*>(views.openNode()->discovery());
  ASSERT_NE(discovery, nullptr);
  ASSERT_NE(discovery->search(), nullptr);
  devices::DiscoverySettings settings = app::discoverySettingsFrom(store.reg);
  settings.discoveryPort = sim.discoveryPort;
  settings.broadcastTimeoutMs = 800;
  app::addProgramSettings(settings);
  discovery->search()->setSettings(settings);
  devices::HeadlessDiscoveryRun run(*discovery->search());
  ASSERT_EQ(run.run(app::searchRequestFor(views.viewDef(), views.openNode()->name()), nullptr, 60000), 0);

  app::DeviceListModel list;
  list.setDevices(&discovery->search()->devices());
  list.setViewColumns(views.viewDef().columns());
  list.setSort(views.viewDef().sortColumn(), false);
  for (int i = 0; i < static_cast<int>(discovery->search()->devices().size()); ++i) list.addDevice(i);
  list.sort();
  std::set<std::string> addresses;
  for (int r = 0; r < list.rowCount(); ++r) addresses.insert(list.text(r, 1));
  EXPECT_EQ(addresses, (std::set<std::string>{"127.0.95.1", "127.0.95.2", "127.0.95.3", "127.0.95.4", "127.0.95.5"}));
}
