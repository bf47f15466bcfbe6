#include "app/gui/configuration_command.h"

#include "app/command_ids.h"
#include "app/gui/address_assignment_command.h"
#include "app/gui/community_dialog.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/progress_dlg.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "config/config_command.h"
#include "config/gui/config_sheet_dialog.h"
#include "platform/report_error.h"
#include "snmp/engine_watch.h"

namespace {

// A message nothing posts: the pause is a plain wait in the progress window.
constexpr std::uint32_t kNeverPosted = 0x7FFF;

class MainWindowConfigHost final : public config::ConfigCommandHost {
 public:
  MainWindowConfigHost(CMainFrame& frame, MainFrameCommands& commands) : frame_(frame), commands_(commands) {}

  devices::CDevice* selectedDevice() override { return frame_.focusedDevice(); }
  int viewTransport() override { return frame_.viewProtocol(); }
  int refreshRow(devices::CDevice& device) override { return frame_.requeryDevice(device); }
  std::string selectFamily(const devices::CDevice& device) override {
    app::selectFamily(device.familyCode.view());
    return app::currentEnterprisePrefix();
  }
  bool prepareTarget(const devices::CDevice& device, snmpaccess::SnmpTarget& target) override {
    querySettings_ = device.querySettings;
    return frame_.prepareTarget(device, target);
  }
  snmpaccess::CommunityAsk communityAsk() override { return gui::communityDialogAsk(&frame_); }
  void report(std::uint32_t textId, int errorClass) override { platform::ReportError(textId, errorClass); }
  void message(const std::string& text) override { commands_.showMessage(text); }
  bool assignAddress(devices::CDevice& device) override {
    return runIpAssignmentFromMainWindow(frame_, commands_, device);
  }
  void postTelnet() override { commands_.router().execute(app::cmd::kTelnet); }
  void runPrintConfigurationSheet() override { commands_.router().execute(app::cmd::kPrintConfigSheet); }
  config::SheetServices sheetServices() override {
    config::SheetServices s;
    s.report = [](std::uint32_t text, int errorClass, int code, int codeKind) {
      platform::ReportError(text, errorClass, static_cast<std::uint32_t>(code), codeKind);
    };
    gui::CProgressDlg* progress = &frame_.progressDialog();
    s.pause = [progress](int ms) {
      progress->begin();
      const auto r = progress->waitFor(kNeverPosted, ms);
      progress->end();
      return r.status != snmpaccess::WaitStatus::Stopped;
    };
    const devices::QuerySettings settings = querySettings_;
    s.identify = [settings](snmpaccess::SnmpTarget& target, int seconds) {
      return config::identifyDevice(target, seconds, settings);
    };
    s.resetTimeoutSeconds = static_cast<int>(app::globalSettings().resetTimeout.load());
    return s;
  }
  bool showSheet(config::CConfigPropSheet& sheet, const std::string& title) override {
    configgui::CConfigSheetDialog dialog(sheet, QString::fromStdString(title), &frame_);
    return dialog.exec() == QDialog::Accepted;
  }
  void showProgress(bool on) override {
    if (on)
      frame_.progressDialog().begin();
    else
      frame_.progressDialog().end();
  }

 private:
  CMainFrame& frame_;
  MainFrameCommands& commands_;
  devices::QuerySettings querySettings_;
};

}  // namespace

void runConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowConfigHost host(frame, commands);
  config::runConfigurationCommand(host);
}
