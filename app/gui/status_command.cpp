#include "app/gui/status_command.h"

#include "access/mib_group.h"
#include "app/command_ids.h"
#include "app/gui/community_dialog.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/main_window_device_host.h"
#include "app/gui/progress_dlg.h"
#include "app/oem_family_table.h"
#include "platform/report_error.h"
#include "snmp/engine_watch.h"
#include "status/gui/diagnostics_sheet_dialog.h"
#include "status/status_command.h"

namespace {

class MainWindowStatusHost final : public MainWindowDeviceHost<status::StatusCommandHost> {
 public:
  using MainWindowDeviceHost::MainWindowDeviceHost;

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
};

}  // namespace

void runStatusFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowStatusHost host(frame, commands);
  status::runStatusCommand(host);
}
