// trellan: the Qt Widgets program.
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "app/command_line.h"
#include "app/gui/gui_startup_ui.h"
#include "app/gui/main_frame.h"
#include "app/gui/message_box_presenter.h"
#include "app/gui/termination_signals.h"
#include "app/network_layer.h"
#include "app/startup.h"
#include "app/device_reads_install.h"
#include "app/view_manager.h"
#include "app/view_search.h"
#include "app/view_startup.h"
#include "platform/qt/qt_socket_watch.h"
#include "platform/registry.h"
#include "snmp/engine_watch.h"
#include "snmp/winsnmp.h"

namespace {

constexpr int kExitStartUpFailed = 1;

// The SNMP engine for the program's lifetime.
class SnmpEngineScope {
 public:
  SnmpEngineScope() { started_ = SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_FAILURE; }
  ~SnmpEngineScope() {
    if (started_) SnmpCleanup();
  }
  SnmpEngineScope(const SnmpEngineScope&) = delete;
  SnmpEngineScope& operator=(const SnmpEngineScope&) = delete;

 private:
  bool started_ = false;
};
constexpr int kExitUsage = 2;

std::vector<std::string> argsOf(const QStringList& list) {
  std::vector<std::string> out;
  for (qsizetype i = 1; i < list.size(); ++i) out.push_back(list[i].toStdString());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  // --help, --version and usage errors need no display.
  {
    const auto early = app::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!early.ok) {
      std::cerr << "trellan: " << early.error << "\nTry 'trellan --help'.\n";
      return kExitUsage;
    }
    if (early.commandLine.helpRequested()) {
      std::cout << app::usageText("trellan");
      return 0;
    }
    if (early.commandLine.versionRequested()) {
      std::cout << app::versionText("trellan");
      return 0;
    }
  }

  QApplication qapp(argc, argv);
  QApplication::setApplicationName("Trellan");
  QApplication::setOrganizationName("Quorvel");
  QApplication::setApplicationVersion(QString::fromUtf8(app::programVersion()));
  // Qt has taken its own options (-platform, -style, ...) out; the rest are ours.
  const auto parsed = app::parseCommandLine(argsOf(QApplication::arguments()));

  gui::installMessageBoxPresenter();
  platform::Registry reg(platform::Registry::defaultPath(), [](const std::string& m) { gui::showWarning(m); });
  TerminationSignals termination;
  // Sessions opened on this thread announce their datagrams through the event loop.
  platform::qt::QtSocketWatch socketWatch;
  snmp::setSocketWatch(&socketWatch);
  SnmpEngineScope engine;
  app::DeviceViewDiscoveryFactory discoveries;
  app::CViewManager views(reg, discoveries);
  GuiStartupUi ui(reg);
  ui.setViews(&views);
  app::NetworkLayer& net = app::systemNetworkLayer();
  app::CAmbra32App application(reg, ui, net);
  app::installViewTreeHook(application, views, net, ui);

  if (!application.startUp(parsed.commandLine)) {
    const auto failure = application.failure();
    application.shutDown();
    // Handing over to a running instance, or declining to create a first view, is no error.
    return failure == app::CAmbra32App::Failure::SecondInstance || failure == app::CAmbra32App::Failure::NoView
               ? 0
               : kExitStartUpFailed;
  }

  CMainFrame* frame = ui.mainFrame();
  frame->setApplication(&application);
  // Printer status, the extra columns and the second family's reads follow every reply; installed
  // before the first search, which start-up has only posted.
  const app::DeviceReadsInstall deviceReads(reg, false);
  QObject::connect(&termination, &TerminationSignals::terminationRequested, frame, [frame](int) { frame->close(); });
  QObject::connect(frame, &CMainFrame::raisedByAnotherInstance, frame,
                   [] { std::cerr << "trellan: brought to the front by another instance\n"; });
  const int rc = QApplication::exec();
  const int code = application.shutDown();
  snmp::setSocketWatch(nullptr);
  return rc != 0 ? rc : code;
}
