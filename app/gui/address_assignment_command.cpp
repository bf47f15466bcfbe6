#include "app/gui/address_assignment_command.h"

#include <memory>

#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/progress_dlg.h"
#include "app/gui/unlisted_ip_dialog.h"
#include "app/ip_assignment.h"
#include "app/settings.h"
#include "app/unlisted_ip_setup.h"
#include "app/view_search.h"
#include "devices/device.h"
#include "devices/second_family_setup.h"
#include "platform/net_config.h"
#include "platform/report_error.h"
#include "platform/string_table.h"
#include "snmp/engine_watch.h"

namespace {

app::InitSendServices sendServices() {
  app::InitSendServices s;
  s.discoveryPort =
      platform::portFromSetting(app::globalSettings().discoveryPort.load(), platform::kDefaultDiscoveryPort);
  s.report = [](std::uint32_t id) { platform::ReportError(id, platform::kErrorProgram); };
  return s;
}

int resetTimeout() { return static_cast<int>(app::globalSettings().resetTimeout.load()); }

std::string settingIpText() {
  const char* t = platform::loadString(app::kTextSettingIpAddress);
  return t ? t : "";
}

}  // namespace

int CMainFrame::waitForDeviceAt(devices::CIpDevice& device, int seconds, const std::string& address,
                                const std::string& text) {
  stopSearch();
  const devices::DiscoverySettings s = app::discoverySettingsFrom(reg_);
  device.querySettings.discoveryPort = s.discoveryPort;
  device.querySettings.replyTimeoutMs = s.broadcastTimeoutMs;
  device.querySettings.secondFamilyPort = s.secondFamilyPort;
  device.querySettings.masks = s.masks;
  snmp::ScopedThreadSocketWatch scope(&socketWatch_);
  snmpaccess::ProgressWindow* saved = device.progress;
  device.progress = progress_;
  progress_->begin();
  progress_->setText(text);
  const int result = device.waitForAnswer(seconds, address.c_str());
  progress_->end();
  device.progress = saved;
  return result;
}

void runUnlistedIpSetupFromMainWindow(CMainFrame& frame) {
  // The dialog keeps its contents across the retries of one command.
  app::CUnlistedIpSetup model;
  app::UnlistedIpServices s;
  s.send = sendServices();
  s.showDialog = [&frame, &s](app::CUnlistedIpSetup& m) {
    gui::CUnlistedIpDialog dialog(m, s.send, &frame);
    return dialog.exec() == QDialog::Accepted;
  };
  s.waitForUnit = [&frame](const std::string& address) {
    devices::CIpDevice unit;
    return frame.waitForDeviceAt(unit, resetTimeout(), address, settingIpText()) == 0;
  };
  s.addToView = [&frame](const std::string& address) { return frame.findOrAdd(address); };
  app::runUnlistedIpSetup(model, s);
}

bool runIpAssignmentFromMainWindow(CMainFrame& frame, MainFrameCommands& commands, devices::CDevice& device) {
  auto* ip = dynamic_cast<devices::CIpDevice*>(&device);
  app::IpAssignmentServices s;
  s.send = sendServices();
  s.viewProtocol = frame.viewProtocol();
  s.resetTimeoutSeconds = resetTimeout();
  s.messageBox = [&commands](std::uint32_t id) {
    const char* t = platform::loadString(id);
    commands.showMessage(t ? t : "");
  };
  s.information = [&commands](const std::string& text, const std::string& title) { commands.inform(title, text); };
  s.askAddress = [&frame](std::string& address, const std::function<bool(const std::string&)>& onOk) {
    gui::CEnterIpDialog dialog(onOk, &frame);
    if (dialog.exec() != QDialog::Accepted) return false;
    address = dialog.address();
    return true;
  };
  s.assignSecondFamily = [](const devices::CIpDevice& d, const std::string& address) {
    return devices::assignSecondFamilyAddress(d, address, {platform::netConfig().secondFamilyPort, 100});
  };
  s.waitForDevice = [&frame](devices::CIpDevice& d, int seconds, const std::string& address) {
    return frame.waitForDeviceAt(d, seconds, address, settingIpText());
  };
  s.refreshList = [&frame] { frame.refreshOpenView(); };
  if (!ip) {
    // Only units with an IP side can take an address; the view check still speaks first.
    if (s.viewProtocol != app::kViewProtocolTcpIp) s.messageBox(app::kTextNoTcpIpView);
    return false;
  }
  return app::runIpAssignment(*ip, s) == app::AssignmentOutcome::Answered;
}
