#include "app/gui/configuration_command.h"

#include "app/command_ids.h"
#include "app/gui/address_assignment_command.h"
#include "app/gui/community_dialog.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/gui/main_window_device_host.h"
#include "app/gui/multi_unit_command.h"
#include "app/gui/progress_dlg.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include <QFileDialog>
#include <QMessageBox>

#include "config/backup_command.h"
#include "config/backup_texts.h"
#include "config/config_command.h"
#include "config/gui/config_sheet_dialog.h"
#include "config/port_pages.h"
#include "vines/vines_page.h"
#include "config/gui/reset_server_dialog.h"
#include "config/gui/write_only_dialog.h"
#include "config/reset_command.h"
#include "platform/string_table.h"
#include "platform/report_error.h"
#include "snmp/engine_watch.h"
#include "tools/net_environment.h"
#include "wizard/gui/wizard_sheet_dialog.h"
#include "wizard/wizard_command.h"

namespace {

// A message nothing posts: the pause is a plain wait in the progress window.
constexpr std::uint32_t kNeverPosted = 0x7FFF;

class MainWindowConfigHost final : public MainWindowDeviceHost<config::ConfigCommandHost> {
 public:
  using MainWindowDeviceHost::MainWindowDeviceHost;

  bool prepareTarget(const devices::CDevice& device, snmpaccess::SnmpTarget& target) override {
    querySettings_ = device.querySettings;
    return MainWindowDeviceHost::prepareTarget(device, target);
  }
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
  void installPages(config::CConfigPropSheet& sheet) override {
    config::installPortPages(sheet, app::currentEnterprisePrefix());
    sheet.setPage(config::PageSlot::Vines, std::make_unique<vines::CVinesPage>(app::currentEnterprisePrefix()));
  }
  bool showSheet(config::CConfigPropSheet& sheet, const std::string& title) override {
    configgui::CConfigSheetDialog dialog(sheet, QString::fromStdString(title), &frame_);
    return dialog.exec() == QDialog::Accepted;
  }
  std::string backupFileAddress(const std::string& file) override {
    return config::backupFileAddress(file, app::currentEnterprisePrefix());
  }
  void askWriteOnly(config::WriteOnlyInfoModel& model) override {
    configgui::CWriteOnlyInfoDlg dialog(model, &frame_);
    dialog.exec();
  }

 private:
  devices::QuerySettings querySettings_;
};


QString stringText(std::uint32_t id) {
  const char* t = platform::loadString(id);
  return QString::fromUtf8(t ? t : "");
}

QString backupFilter() {
  return stringText(config::texts::kFilterConfiguration) + QStringLiteral(" (*.cfg);;") +
         stringText(config::texts::kFilterAll) + QStringLiteral(" (*)");
}

class MainWindowBackupFiles final : public config::BackupFileHost {
 public:
  explicit MainWindowBackupFiles(QWidget* parent) : parent_(parent) {}
  std::string askSaveFile(const std::string& proposed) override {
    // The overwrite question is asked by the command, with the program's own text.
    return QFileDialog::getSaveFileName(parent_, stringText(config::texts::kSaveFileTitle),
                                        QString::fromStdString(proposed), backupFilter(), nullptr,
                                        QFileDialog::DontConfirmOverwrite)
        .toStdString();
  }
  std::string askOpenFile() override {
    return QFileDialog::getOpenFileName(parent_, stringText(config::texts::kRestoreFileTitle), QString(),
                                        backupFilter())
        .toStdString();
  }
  bool askOverwrite(const std::string& question) override {
    return QMessageBox::question(parent_, stringText(config::texts::kSaveFileTitle), QString::fromStdString(question),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  }

 private:
  QWidget* parent_;
};

class MainWindowResetUi final : public config::ResetUi {
 public:
  MainWindowResetUi(CMainFrame& frame, MainFrameCommands& commands) : frame_(frame), commands_(commands) {}
  void showDialog(config::CResetServer& reset) override {
    configgui::CResetServerDlg dialog(reset, &frame_);
    dialog.exec();
  }
  bool resetSecondFamily(devices::CDevice&) override {
    // The text-command reset is part of the second family's tools.
    commands_.router().execute(app::cmd::kPrintConfigSheet);
    return false;
  }
  void showSecondFamilyResult(bool ok) override {
    const QString title = stringText(config::texts::kSecondFamilyResetTitle);
    if (ok)
      QMessageBox::information(&frame_, title, stringText(config::texts::kSecondFamilyResetDone));
    else
      QMessageBox::critical(&frame_, title, stringText(config::texts::kSecondFamilyResetFailed));
  }

 private:
  CMainFrame& frame_;
  MainFrameCommands& commands_;
};

}  // namespace

void runSaveConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowConfigHost host(frame, commands);
  MainWindowBackupFiles files(&frame);
  config::runSaveConfigurationCommand(host, files);
}

void runRestoreConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowConfigHost host(frame, commands);
  MainWindowBackupFiles files(&frame);
  config::runRestoreConfigurationCommand(host, files);
}

void runResetFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  if (frame.multiSelect()) {
    runMultiResetFromMainWindow(frame, commands);
    return;
  }
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowConfigHost host(frame, commands);
  MainWindowResetUi ui(frame, commands);
  config::runResetCommand(host, ui);
}

void runConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowConfigHost host(frame, commands);
  config::runConfigurationCommand(host);
}

namespace {

class MainWindowWizardUi final : public wizard::WizardUi {
 public:
  MainWindowWizardUi(CMainFrame& frame, MainFrameCommands& commands) : frame_(frame), commands_(commands) {}
  bool show(wizard::WizardFlow& flow, const std::string& title) override {
    wizardgui::CWzWizardSheet sheet(flow, QString::fromStdString(title), &frame_);
    return sheet.exec() == QDialog::Accepted;
  }
  void openWebPage(const std::string&) override { commands_.router().execute(app::cmd::kHttp); }

 private:
  CMainFrame& frame_;
  MainFrameCommands& commands_;
};

}  // namespace

void runWizardFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  snmp::ScopedThreadSocketWatch watch(&frame.guiSocketWatch());
  MainWindowConfigHost host(frame, commands);
  MainWindowWizardUi ui(frame, commands);
  const bool netware = (netEnvironment().flags() & CNetEnvironment::kNetWareClient) != 0;
  wizard::runWizardCommand(host, ui, netware);
}
