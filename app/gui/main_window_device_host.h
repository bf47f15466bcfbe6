#pragma once
// What every server command's host answers the same way from the main window: the focused row,
// the view's transport, a re-read of the row, the family's enterprise prefix, the target and the
// community prompt. `Host` is the command's own host interface, which declares these.
#include <string>

#include "access/mib_group.h"
#include "app/gui/community_dialog.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/progress_dlg.h"
#include "app/oem_family_table.h"
#include "devices/device.h"

template <class Host>
class MainWindowDeviceHost : public Host {
 public:
  MainWindowDeviceHost(CMainFrame& frame, MainFrameCommands& commands) : frame_(frame), commands_(commands) {}

  devices::CDevice* selectedDevice() override { return frame_.focusedDevice(); }
  int viewTransport() override { return frame_.viewProtocol(); }
  int refreshRow(devices::CDevice& device) override { return frame_.requeryDevice(device); }
  std::string selectFamily(const devices::CDevice& device) override {
    app::selectFamily(device.familyCode.view());
    return app::currentEnterprisePrefix();
  }
  bool prepareTarget(const devices::CDevice& device, snmpaccess::SnmpTarget& target) override {
    return frame_.prepareTarget(device, target);
  }
  snmpaccess::CommunityAsk communityAsk() override { return gui::communityDialogAsk(&frame_); }
  void showProgress(bool on) override {
    if (on)
      frame_.progressDialog().begin();
    else
      frame_.progressDialog().end();
  }

 protected:
  CMainFrame& frame_;
  MainFrameCommands& commands_;
};
