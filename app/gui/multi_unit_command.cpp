#include "app/gui/multi_unit_command.h"

#include <QAbstractItemView>
#include <QTimer>
#include <QUrl>

#include "access/mib_group.h"
#include "access/snmp_session.h"
#include "app/command_ids.h"
#include "app/gui/main_frame.h"
#include "app/gui/main_frame_commands.h"
#include "app/oem_family_table.h"
#include "config/gui/wireless_tab.h"
#include "devices/device.h"
#include "multi/gui/multi_config_dialog_widget.h"
#include "multi/gui/multi_run_progress.h"
#include "multi/multi_command.h"

namespace {

constexpr int kViewTcpIp = 6;

class MainWindowMultiHost final : public multi::MultiCommandHost {
 public:
  MainWindowMultiHost(CMainFrame& frame, MainFrameCommands& commands, app::cmd::CommandId standard)
      : frame_(frame), commands_(commands), standard_(standard) {}

  std::vector<multi::MultiUnit> checkedUnits() override { return checkedUnitsOf(frame_); }

  void useStandardCommand() override {
    const app::DeviceListModel& list = frame_.deviceList();
    int row = -1;
    for (int r = 0; r < list.rowCount() && row < 0; ++r)
      if (list.row(r) && list.row(r)->checked) row = r;
    frame_.setMultiSelect(false);
    if (row >= 0) {
      QAbstractItemView* view = frame_.activeListView();
      view->setCurrentIndex(view->model()->index(row, 0));
      view->setFocus();
    }
    // Posted: the single-unit command runs once this one has returned.
    MainFrameCommands* commands = &commands_;
    const app::cmd::CommandId id = standard_;
    QTimer::singleShot(0, &frame_, [commands, id] { commands->router().execute(id); });
  }

  int viewProtocol() override { return frame_.viewProtocol(); }
  void message(const std::string& text) override { commands_.showMessage(text); }
  bool askYesNo(const std::string& text) override { return commands_.askYesNo(text); }

  bool showDialog(multi::CMultiConfigDlg& model) override {
    multigui::CMultiConfigDialog dialog(model, &frame_);
    return dialog.exec() == QDialog::Accepted;
  }

  std::optional<std::string> askPassword() override { return configgui::askDevicePassword(&frame_); }

  multi::MultiRunReport run(const std::vector<multi::MultiUnit>& units, const multi::CMultiConfigSettings& settings,
                            multi::MultiRunOptions options) override {
    multi::MultiRunReport report;
    const int passes = options.resetPass ? 2 : 1;
    multigui::CMultiRunProgressDlg progress(QString(), static_cast<int>(units.size()) * passes, &frame_);
    progress.run([&](const std::atomic<bool>& stop, const std::function<void(const std::string&)>& say) {
      options.stop = &stop;
      options.progress = [&say](std::size_t, const std::string& text) { say(text); };
      report = multi::runMultiConfig(units, settings, options);
    });
    return report;
  }

  multi::MultiResetCounts runReset(const std::vector<multi::MultiUnit>& units, multi::MultiRunOptions options) override {
    multi::MultiResetCounts counts;
    multigui::CMultiRunProgressDlg progress(QStringLiteral("Resetting Server"), static_cast<int>(units.size()), &frame_);
    progress.run([&](const std::atomic<bool>& stop, const std::function<void(const std::string&)>& say) {
      options.stop = &stop;
      options.progress = [&say](std::size_t, const std::string& text) { say(text); };
      counts = multi::runMultiReset(units, options);
    });
    return counts;
  }

  multi::MultiRunOptions runOptions() override {
    multi::MultiRunOptions o;
    o.getTimeout = snmpaccess::groupGetTimeout();
    o.setTimeout = snmpaccess::groupSetTimeout();
    return o;
  }

  bool openFile(const std::string& path) override {
    return commands_.openUrl(QUrl::fromLocalFile(QString::fromStdString(path)).toString().toStdString());
  }

 private:
  CMainFrame& frame_;
  MainFrameCommands& commands_;
  app::cmd::CommandId standard_;
};

}  // namespace

std::vector<multi::MultiUnit> checkedUnitsOf(CMainFrame& frame) {
  std::vector<multi::MultiUnit> units;
  const app::DeviceListModel& list = frame.deviceList();
  const bool tcpip = frame.viewProtocol() == kViewTcpIp;
  for (int r = 0; r < list.rowCount(); ++r) {
    const app::DeviceListModel::Row* row = list.row(r);
    if (!row || !row->checked) continue;
    multi::MultiUnit u;
    devices::CDevice* device = list.rowDevice(r);
    snmpaccess::SnmpTarget target;
    // A row without a print server, or one without an address to reach it by, is passed over.
    if (!device || !frame.prepareTarget(*device, target)) {
      u.present = false;
      units.push_back(std::move(u));
      continue;
    }
    u.name = std::string(device->systemName.view());
    u.address = target.address;
    u.family = target.family;
    u.getCommunity = target.getCommunity;
    u.setCommunity = target.setCommunity;
    u.reportedGet = std::string(device->getCommunity.view());
    u.reportedSet = std::string(device->setCommunity.view());
    u.noSnmp = tcpip && device->replyFormat == 2;
    u.port = list.byPrinter() && row->port >= 0 ? row->port + 1 : 0;
    app::selectFamily(device->familyCode.view());
    u.prefix = app::currentEnterprisePrefix();
    units.push_back(std::move(u));
  }
  return units;
}

void runMultiConfigFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  MainWindowMultiHost host(frame, commands, app::cmd::kConfiguration);
  multi::runMultiConfigCommand(host);
}

void runMultiResetFromMainWindow(CMainFrame& frame, MainFrameCommands& commands) {
  MainWindowMultiHost host(frame, commands, app::cmd::kReset);
  multi::runMultiResetCommand(host);
}
