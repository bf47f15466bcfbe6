#include "app/gui/status_command.h"

#include "access/mib_group.h"
#include "app/command_ids.h"
#include "app/gui/community_dialog.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/progress_dlg.h"
#include "app/oem_family_table.h"
#include "platform/report_error.h"
#include "snmp/engine_watch.h"
#include "status/gui/diagnostics_sheet_dialog.h"
#include "status/status_command.h"

namespace {

class MainWindowStatusHost final : public status::StatusCommandHost {
 public:
  MainWindowStatusHost(CMainFrame& frame, MainFrameCommands& commands) : frame_(frame), commands_(commands) {}

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
  void report(const std::string& text, int errorClass) override {
    platform::ReportError(status::texts::textId(text), errorClass);
  }
  void postConfiguration() override { commands_.router().execute(app::cmd::kConfiguration); }
  void runHttpSession() override { commands_.router().execute(app::cmd::kHttp); }
  void postTelnet() override { commands_.router().execute(app::cmd::kTelnet); }
  status::StatusServices services() override {
    status::StatusServices s;
    s.report = [](const std::string& text, int errorClass, int code, int codeKind) {
      platform::ReportError(status::texts::textId(text), errorClass, static_cast<std::uint32_t>(code), codeKind);
    };
    return s;
  }
  void showProgress(bool on) override {
    if (on)
      frame_.progressDialog().begin();
    else
      frame_.progressDialog().end();
  }
  void showSheet(status::CDiagnosticsPropSheet& sheet, const std::string& title) override {
    statusgui::CDiagnosticsSheetDialog dialog(sheet, QString::fromStdString(title), &frame_);
    gui::CProgressDlg* progress = &frame_.progressDialog();
    dialog.setBusy([progress](bool on) {
      if (on)
        progress->begin();
      else
        progress->end();
    });
    status::PjlLimits limits;
    limits.replySeconds = status::pjlReplySeconds(snmpaccess::groupGetTimeout());
    sheet.pjlPage().setLimits(limits);
    dialog.exec();
  }

 private:
  CMainFrame& frame_;
  MainFrameCommands& commands_;
};

}  // namespace

void runStatusFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowStatusHost host(frame, commands);
  status::runStatusCommand(host);
}
