// trellan-sim: serves simulated print servers on loopback for tests, demos and training.
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "sim/fleet_file.h"
#include "sim/ftp_receiver.h"
#include "sim/options.h"
#include "sim/pjl_printer.h"
#include "sim/serial_pty.h"
#include "sim/server.h"
#include "sim/wireless_unit.h"

namespace {

sim::Server* g_server = nullptr;

void onSignal(int) {
  if (g_server) g_server->stop();
}

// One socket per unit: a large fleet needs more descriptors than the usual soft limit.
void raiseDescriptorLimit(std::size_t needed) {
  rlimit rl{};
  if (getrlimit(RLIMIT_NOFILE, &rl) != 0) return;
  if (rl.rlim_cur >= needed + 64) return;
  rl.rlim_cur = rl.rlim_max == RLIM_INFINITY ? needed + 64 : std::min<rlim_t>(rl.rlim_max, needed + 64);
  setrlimit(RLIMIT_NOFILE, &rl);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  sim::CliOptions options;
  std::string error;
  if (!sim::parseCommandLine(args, options, error)) {
    std::cerr << "trellan-sim: " << error << "\nTry 'trellan-sim --help'.\n";
    return 2;
  }
  if (options.help) {
    sim::printUsage(std::cout);
    return 0;
  }
  if (options.version) {
    std::cout << "trellan-sim 0.1.0\n";
    return 0;
  }
  if (options.exitWithParent) {
    // The parent may already be gone between fork and here: then stop at once.
    const pid_t parent = getppid();
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || parent == 1) return 1;
  }
  std::uint16_t port = 161;
  if (!sim::resolvePort(options, std::getenv("TRELLAN_SNMP_PORT"), port, error)) {
    std::cerr << "trellan-sim: " << error << "\n";
    return 2;
  }
  sim::ListenerPorts listeners;
  if (!sim::resolveListenerPorts(options, std::getenv("TRELLAN_SECOND_FAMILY_PORT"), listeners, error)) {
    std::cerr << "trellan-sim: " << error << "\n";
    return 2;
  }
  std::vector<sim::DeviceModel> devices;
  if (!sim::loadFleet(options.fleet, devices, error)) {
    std::cerr << "trellan-sim: " << error << "\n";
    return 2;
  }
  if (options.check) {
    std::cout << devices.size() << " print servers\n";
    return 0;
  }
  std::optional<std::uint16_t> ftpPort;
  if (!sim::resolveFtpPort(options, std::getenv("TRELLAN_FTP_PORT"), ftpPort, error)) {
    std::cerr << "trellan-sim: " << error << "\n";
    return 2;
  }
  std::vector<sim::FtpUnit> ftpUnits;
  for (const sim::DeviceModel& d : devices)
    if (ftpPort && sim::acceptsCertificates(d)) ftpUnits.push_back({d.address, d.wireless.ftpPassword});
  raiseDescriptorLimit(devices.size() + ftpUnits.size());
  std::unique_ptr<sim::SerialPtyUnit> pty;
  if (options.serialPty) {
    // Its own copy of the first unit: the pty and the network are two ways to one kind of unit.
    pty = std::make_unique<sim::SerialPtyUnit>(devices.front(), nullptr);
    if (!pty->open(&error)) {
      std::cerr << "trellan-sim: " << error << "\n";
      return 1;
    }
  }

  std::unique_ptr<sim::PjlPrinters> pjl;
  if (options.pjlPort && *options.pjlPort) {
    sim::advertiseRawPorts(devices, *options.pjlPort);
    pjl = std::make_unique<sim::PjlPrinters>(devices, *options.pjlPort);
    if (!pjl->open(&error)) {
      std::cerr << "trellan-sim: " << error << "\n";
      return 1;
    }
  }

  sim::Server server(std::move(devices), {port, options.logPath, options.readyFile, listeners.discovery,
                                          listeners.ipxDiscovery, listeners.ipxSnmp, listeners.secondFamily,
                                          listeners.sap});
  g_server = &server;
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  if (!server.open(&error)) {
    std::cerr << "trellan-sim: " << error << "\n";
    g_server = nullptr;
    return 1;
  }
  // Certificate uploads to the wireless units; a port that is taken leaves that unit without.
  sim::FtpReceiver ftp(std::move(ftpUnits), ftpPort.value_or(0), options.ftpDir);
  std::vector<std::string> ftpWarnings;
  if (ftpPort && ftp.open(ftpWarnings) > 0) ftp.start();
  for (const std::string& w : ftpWarnings) std::cerr << "trellan-sim: warning: " << w << "\n";
  std::atomic<bool> ptyStop{false};
  std::thread ptyThread;
  if (pty) {
    std::cout << "serial-pty: " << pty->path() << std::endl;
    ptyThread = std::thread([&] { pty->run(ptyStop); });
  }
  std::atomic<bool> pjlStop{false};
  std::thread pjlThread;
  if (pjl) pjlThread = std::thread([&] { pjl->run(pjlStop); });
  int rc = server.run();
  ftp.stop();
  ptyStop.store(true);
  if (ptyThread.joinable()) ptyThread.join();
  pjlStop.store(true);
  if (pjlThread.joinable()) pjlThread.join();
  g_server = nullptr;
  if (!options.readyFile.empty()) std::remove(options.readyFile.c_str());  // a stale file would mislead a waiter
  return rc;
}
