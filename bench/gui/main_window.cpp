// The main window against a simulated fleet, offscreen: how long a CMainFrame takes to list 50
// print servers found by local broadcast (first row, search end) next to the search's own waits,
// and with a large fleet (--large-units, 10,000 by default) found by one broadcast: how the list fills
// (first and last row, the number of insertions, the longest stall of the event loop while it fills,
// seen by a 5 ms heartbeat timer), the time of a sort and of a display filter per kind of column as
// the window runs them, and the process's peak resident memory.
//
// Usage: bench_main_window [--part startup|large|all] [--repeat N] [--broadcast-ms MS]
//                          [--large-broadcast-ms MS] [--large-units N] [--sim PATH]
// Everything stays on loopback: the units live on 127.0.x.y and the broadcast goes to
// 127.255.255.255.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/gui/device_list_view.h"
#include "app/gui/main_frame.h"
#include "app/settings.h"
#include "devices/device_column.h"
#include "devices/discovery_tcpip.h"
#include "devices/mib_device_reads.h"
#include "platform/net_config.h"
#include "platform/registry.h"
#include "tests/support/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

std::uint32_t ipValue(const char* text) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (std::sscanf(text, "%u.%u.%u.%u", &a, &b, &c, &d) != 4) return 0;
  return (a << 24) | (b << 16) | (c << 8) | d;
}

// kB value of one line of /proc/self/status ("VmHWM", "VmRSS"); -1 when absent.
long procStatusKb(const char* field) {
  std::ifstream f("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(field);
  for (int i = 0; i < 200 && std::getline(f, line); ++i) {
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':') return std::atol(line.c_str() + n + 1);
  }
  return -1;
}

class Simulator : public simtest::SimProcess {
 public:
  Simulator(std::string bin, std::string dir) : dir_(QString::fromStdString(std::move(dir))) {
    binary = QString::fromStdString(std::move(bin));
  }

  // sharedSnmpPort: every unit answers SNMP on one port of its own address (snmpPort), as in the
  // field; otherwise each unit gets a free port of its own (nobody asks them over SNMP).
  bool start(int count, const char* first, bool sharedSnmpPort = false) {
    return startWith(dir_, {"--count", std::to_string(count), "--first", first}, !sharedSnmpPort);
  }
  // From the log so far: native discovery requests (the search's broadcast rounds) and SNMP requests.
  std::pair<int, int> requestCounts() const {
    std::ifstream f(log.toStdString());
    std::string line;
    int rounds = 0, snmp = 0;
    for (int i = 0; i < 1000000 && std::getline(f, line); ++i) {
      const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
      const QString kind = o["kind"].toString();
      if (kind == "discovery" && o["event"].toString() == "request" && o["transport"].toString() == "udp") ++rounds;
      if (kind == "request") ++snmp;
    }
    return {rounds, snmp};
  }
  void clearLog() const { std::ofstream(log.toStdString(), std::ios::trunc); }

 private:
  QString dir_;
};

devices::DiscoverySettings searchSettings(const Simulator& sim, int broadcastMs) {
  devices::DiscoverySettings s;
  s.broadcastTimeoutMs = broadcastMs;
  s.discoveryPort = sim.discoveryPort;
  s.secondFamilyPort = sim.secondFamilyPort;
  return s;
}

OpenViewSettings allPrintServers() {
  OpenViewSettings v;
  v.name = "All Print Servers";
  v.protocolName = "TCP/IP";
  v.columns = {devices::kColSystemName, devices::kColIpAddress, devices::kColHwAddress, devices::kColStatus,
               devices::kColProductType};
  v.sortColumn = devices::kColSystemName;
  return v;
}

struct SearchTiming {
  double windowMs = 0;    // window built and shown
  double firstRowMs = -1;
  double lastRowMs = -1;  // the last insertion into the list widget's model
  double endMs = -1;
  int rows = 0;
  int insertions = 0;     // rowsInserted signals: one per batch of found devices
  double maxGapMs = 0;    // longest gap between two heartbeats while the search ran
  int gapsOver50 = 0;     // heartbeat gaps longer than 50 ms
  int rounds = 0;
  int snmpRequests = 0;
};

// Builds and shows a window, runs one search, waits for its end (bounded).
SearchTiming timedSearch(platform::Registry& reg, Simulator& sim, int broadcastMs, int limitMs,
                         CMainFrame** keep = nullptr, devices::CTcpIpDiscovery* discovery = nullptr) {
  SearchTiming t;
  sim.clearLog();
  const auto t0 = Clock::now();
  auto* frame = new CMainFrame(reg);
  frame->resize(900, 600);
  frame->show();
  QCoreApplication::processEvents();
  t.windowMs = msSince(t0);
  devices::CTcpIpDiscovery local;
  devices::CTcpIpDiscovery& d = discovery ? *discovery : local;
  d.setSettings(searchSettings(sim, broadcastMs));
  const QMetaObject::Connection firstRow =
      QObject::connect(frame->listView()->model(), &QAbstractItemModel::rowsInserted, frame, [&t, t0] {
        if (t.firstRowMs < 0) t.firstRowMs = msSince(t0);
        t.lastRowMs = msSince(t0);
        ++t.insertions;
      });
  // A heartbeat on the window's thread: every gap between two beats is time the window could not
  // answer (paint, input). The timer's own period is the smallest gap it can see.
  QTimer heartbeat;
  heartbeat.setTimerType(Qt::PreciseTimer);
  heartbeat.setInterval(5);
  Clock::time_point lastBeat = Clock::now();
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    const double gap = std::chrono::duration<double, std::milli>(now - lastBeat).count();
    lastBeat = now;
    t.maxGapMs = std::max(t.maxGapMs, gap);
    if (gap > 50) ++t.gapsOver50;
  });
  frame->setOpenView(allPrintServers(), &d);
  lastBeat = Clock::now();
  heartbeat.start();
  frame->startSearch({});
  while (frame->searching() && msSince(t0) < limitMs) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  t.endMs = frame->searching() ? -1 : msSince(t0);
  heartbeat.stop();
  QObject::disconnect(firstRow);
  t.rows = frame->deviceList().rowCount();
  std::tie(t.rounds, t.snmpRequests) = sim.requestCounts();
  QCoreApplication::processEvents();
  if (keep && discovery) {
    *keep = frame;
  } else {
    frame->stopSearch();
    delete frame;
  }
  return t;
}

struct Stats {
  double min = 0, median = 0, max = 0;
};
Stats stats(std::vector<double> v) {
  Stats s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.min = v.front();
  s.median = v[v.size() / 2];
  s.max = v.back();
  return s;
}

Stats timeIt(int repeat, const std::function<void()>& fn) {
  std::vector<double> v;
  for (int i = 0; i < repeat; ++i) {
    const auto t0 = Clock::now();
    fn();
    v.push_back(msSince(t0));
  }
  return stats(v);
}

int runStartup(Simulator& sim, const std::string& regPath, int repeat, int broadcastMs, bool reads) {
  constexpr int kUnits = 50;
  // With the reads, every unit answers SNMP on one port of its own address, as in the field.
  if (!sim.start(kUnits, "127.0.66.1", reads)) {
    std::fprintf(stderr, "trellan-sim did not start\n");
    return 1;
  }
  if (reads) {
    platform::NetConfig net = platform::netConfig();
    net.snmpPort = sim.snmpPort;
    platform::setNetConfig(net);
    devices::MibReadSettings s;
    s.startEngine = true;  // the program starts the engine at start-up; here the reads do
    devices::installMibDeviceReads(s);
  }
  std::printf("== Start-up to a complete list: %d units, local broadcast, Broadcast %d ms, %s ==\n", kUnits,
              broadcastMs, reads ? "with the printer-status reads after each reply" : "the search alone");
  std::printf("%-4s %10s %12s %12s %6s %7s %6s %10s %10s\n", "run", "window ms", "first row ms", "complete ms",
              "rows", "rounds", "snmp", "floor ms", "over ms");
  const int probeMs = devices::DiscoverySettings{}.secondFamilyWaitMs;
  int failures = 0;
  for (int i = 0; i < repeat; ++i) {
    platform::Registry reg(regPath);
    const SearchTiming t = timedSearch(reg, sim, broadcastMs, 4 * broadcastMs + 30000);
    // The search's own waits: every round ends on one full Broadcast wait, then the probe's wait.
    const double floorMs = t.rounds * broadcastMs + probeMs;
    std::printf("%-4d %10.1f %12.1f %12.1f %6d %7d %6d %10.0f %10.1f\n", i + 1, t.windowMs, t.firstRowMs, t.endMs,
                t.rows, t.rounds, t.snmpRequests, floorMs, t.endMs - floorMs);
    if (t.rows != kUnits || t.endMs < 0) ++failures;
  }
  std::printf("(times from the window's construction; floor = rounds x Broadcast + %d ms probe wait)\n\n", probeMs);
  if (reads) devices::uninstallMibDeviceReads();
  return failures ? 1 : 0;
}

int runLarge(Simulator& sim, const std::string& regPath, int repeat, int broadcastMs, int kUnits) {
  const long hwmBefore = procStatusKb("VmHWM");
  // Every unit answers SNMP on one port of its own address: a fleet of thousands needs no port each.
  if (!sim.start(kUnits, "127.0.1.1", true)) {
    std::fprintf(stderr, "trellan-sim did not start\n");
    return 1;
  }
  platform::Registry reg(regPath);
  devices::CTcpIpDiscovery discovery;
  CMainFrame* frame = nullptr;
  const SearchTiming t = timedSearch(reg, sim, broadcastMs, 4 * broadcastMs + 60000, &frame, &discovery);
  std::printf("== %d units listed in a CMainFrame (search: %d rows, %.0f ms, %d rounds of %d ms) ==\n", kUnits,
              t.rows, t.endMs, t.rounds, broadcastMs);
  std::printf("fill: first row %.1f ms, last row %.1f ms, %d insertions into the list, longest event-loop gap "
              "%.1f ms (5 ms heartbeat), %d gaps over 50 ms\n",
              t.firstRowMs, t.lastRowMs, t.insertions, t.maxGapMs, t.gapsOver50);
  if (!frame || t.rows != kUnits) {
    std::fprintf(stderr, "expected %d rows, got %d\n", kUnits, t.rows);
    delete frame;
    return 1;
  }
  auto* table = static_cast<DeviceListTableModel*>(frame->listView()->model());
  app::DeviceListModel& list = frame->deviceList();
  QHeaderView* header = frame->listView()->header();
  auto shown = [&](int column) {
    for (int i = 0; i < list.columnCount(); ++i)
      if (list.catalogueColumn(i) == column) return i;
    return 0;
  };

  std::printf("operation (%d units)\n", kUnits);
  std::printf("%-52s %6s %8s %11s %8s\n", "", "rows", "min ms", "median ms", "max ms");
  auto row = [&](const char* what, const Stats& s) {
    std::printf("%-52s %6d %8.2f %11.2f %8.2f\n", what, list.rowCount(), s.min, s.median, s.max);
  };

  // The list alone inside the table model's reset: what every sort and filter change costs at least.
  struct SortCase {
    const char* what;
    int column;
  };
  for (const SortCase c : {SortCase{"sort, model + reset: System Name", devices::kColSystemName},
                           SortCase{"sort, model + reset: IP Address", devices::kColIpAddress},
                           SortCase{"sort, model + reset: H/W Address", devices::kColHwAddress},
                           SortCase{"sort, model + reset: Status (all equal)", devices::kColStatus},
                           SortCase{"sort, model + reset: Product Type (all equal)", devices::kColProductType}}) {
    bool descending = false;
    row(c.what, timeIt(repeat, [&] {
          descending = !descending;
          table->change([&] {
            list.setSort(c.column, descending);
            list.sort();
          });
        }));
  }
  // The window's path: a header click (sort, indicator, column widths, selection) and the repaint.
  for (const SortCase c : {SortCase{"header click + repaint: IP Address", devices::kColIpAddress},
                           SortCase{"header click + repaint: System Name", devices::kColSystemName},
                           SortCase{"header click + repaint: H/W Address", devices::kColHwAddress},
                           SortCase{"header click + repaint: Status", devices::kColStatus}}) {
    const int section = shown(c.column);
    row(c.what, timeIt(repeat, [&] {
          emit header->sectionClicked(section);
          frame->listView()->viewport()->repaint();
          QCoreApplication::processEvents();
        }));
  }

  // The two halves of the window's path: the click's own work, then painting the visible rows.
  {
    const int section = shown(devices::kColIpAddress);
    row("header click alone: IP Address", timeIt(repeat, [&] { emit header->sectionClicked(section); }));
    row("column widths to contents alone", timeIt(repeat, [&] {
          for (int i = 0; i < list.columnCount(); ++i) frame->listView()->resizeColumnToContents(i);
        }));
    row("repaint alone (no change)", timeIt(repeat, [&] {
          frame->listView()->viewport()->repaint();
          QCoreApplication::processEvents();
        }));
  }

  struct FilterCase {
    const char* what;
    devices::DisplayFilter filter;
  };
  const FilterCase filters[] = {
      {"filter + redisplay: Status = Error (none)", {devices::kColStatus, {"Error"}}},
      {"filter + redisplay: Status = Good (all)", {devices::kColStatus, {"Good"}}},
      {"filter + redisplay: System Name = SIM001*", {devices::kColSystemName, {"SIM001*"}}},
      {"filter + redisplay: IP Address = 127.0.1*", {devices::kColIpAddress, {"127.0.1*"}}},
      {"filter + redisplay: none", {}},
  };
  for (const FilterCase& c : filters) {
    row(c.what, timeIt(repeat, [&] {
          table->change([&] {
            list.setFilter(c.filter);
            list.redisplay();
            list.sort();
          });
        }));
  }
  // The window's path: redisplay (rows, sort, selection, widths, status panes) and the repaint.
  for (const FilterCase& c : filters) {
    std::string what = c.what;
    what.replace(0, std::strlen("filter + redisplay"), "window redisplay + repaint");
    row(what.c_str(), timeIt(repeat, [&] {
          list.setFilter(c.filter);
          frame->redisplay();
          frame->listView()->viewport()->repaint();
          QCoreApplication::processEvents();
        }));
  }

  frame->repaint();
  QCoreApplication::processEvents();
  const long hwm = procStatusKb("VmHWM");
  const long rss = procStatusKb("VmRSS");
  std::printf("\nresident memory: peak (VmHWM) %.1f MiB with %d units listed (%.1f MiB before the search), "
              "now (VmRSS) %.1f MiB\n\n",
              hwm / 1024.0, list.rowCount() > 0 ? kUnits : 0, hwmBefore / 1024.0, rss / 1024.0);
  frame->stopSearch();
  delete frame;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto start = Clock::now();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string part = "all";
  std::string simPath;
  int repeat = 3;
  int broadcastMs = 6000;
  int largeBroadcastMs = 2000;
  int largeUnits = 10000;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--part" && more) {
      part = argv[++i];
    } else if (a == "--repeat" && more) {
      repeat = std::clamp(std::atoi(argv[++i]), 1, 1000);
    } else if (a == "--broadcast-ms" && more) {
      broadcastMs = std::clamp(std::atoi(argv[++i]), 50, 60000);
    } else if (a == "--large-broadcast-ms" && more) {
      largeBroadcastMs = std::clamp(std::atoi(argv[++i]), 50, 60000);
    } else if (a == "--large-units" && more) {
      largeUnits = std::clamp(std::atoi(argv[++i]), 1, 16384);
    } else if (a == "--sim" && more) {
      simPath = argv[++i];
    } else {
      std::fprintf(stderr,
                   "usage: %s [--part startup|large|all] [--repeat N] [--broadcast-ms MS] "
                   "[--large-broadcast-ms MS] [--large-units N] [--sim PATH]\n",
                   argv[0]);
      return 2;
    }
  }
  QApplication app(argc, argv);
  // The broadcast stays on loopback whatever the environment says.
  platform::NetConfig net = platform::netConfig();
  net.loopbackOnly = true;
  net.broadcastAddress = ipValue("127.255.255.255");
  net.multicastInterface = ipValue("127.0.0.1");
  platform::setNetConfig(net);

  if (simPath.empty()) simPath = QCoreApplication::applicationDirPath().toStdString() + "/trellan-sim";
  if (::access(simPath.c_str(), X_OK) != 0) {
    std::fprintf(stderr, "missing %s (build trellan-sim, or give --sim)\n", simPath.c_str());
    return 2;
  }
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  Simulator sim(simPath, dir.path().toStdString());
  const std::string regPath = dir.filePath("Trellan.reg").toStdString();
  std::printf("QApplication up %.1f ms after main; platform %s\n\n", msSince(start),
              qPrintable(QGuiApplication::platformName()));
  int rc = 0;
  if (part == "startup" || part == "all") {
    rc |= runStartup(sim, regPath, repeat, broadcastMs, false);
    rc |= runStartup(sim, regPath, repeat, broadcastMs, true);
  }
  if (part == "large" || part == "all") rc |= runLarge(sim, regPath, std::max(repeat, 10), largeBroadcastMs, largeUnits);
  return rc;
}
