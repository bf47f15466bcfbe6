#pragma once
// trellan-sim as a child process of a Qt test or benchmark: started on free loopback ports, ready
// once its ready file exists, stopped with SIGTERM. Its request log is read line by line as JSON.
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QThread>
#include <cstdint>
#include <string>
#include <vector>

extern char** environ;

namespace simtest {

// A free UDP port on this host at the moment (the simulator binds it a moment later).
inline std::uint16_t freeUdpPort() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return 0;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  socklen_t len = sizeof a;
  std::uint16_t port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

class SimProcess {
 public:
  // Starts the simulator on `dataFile` with free discovery, SNMP and second-family ports (IPX
  // off); with `ownSnmpPorts` every unit gets a port of its own instead of one shared SNMP port.
  bool start(const QString& dir, const QString& dataFile, bool ownSnmpPorts = false) {
    return startWith(dir, {"--data", dataFile.toStdString()}, ownSnmpPorts);
  }

  // The same with the fleet given by `fleetArgs` ("--count", "N", "--first", "A" ...). A port
  // taken between look-up and bind makes the simulator exit: tried three times.
  bool startWith(const QString& dir, const std::vector<std::string>& fleetArgs, bool ownSnmpPorts) {
    stop();
    QString bin = binary;
    if (bin.isEmpty()) {
      bin = qEnvironmentVariable("TRELLAN_BIN_DIR");
      if (bin.isEmpty()) bin = QCoreApplication::applicationDirPath();
      bin += "/trellan-sim";
    }
    if (::access(bin.toLocal8Bit().constData(), X_OK) != 0) {
      error = "trellan-sim not found at " + bin;
      return false;
    }
    ready_ = dir + "/ready.json";
    log = dir + "/requests.jsonl";
    for (int attempt = 0; attempt < 3; ++attempt) {
      discoveryPort = freeUdpPort();
      snmpPort = ownSnmpPorts ? 0 : freeUdpPort();
      secondFamilyPort = freeUdpPort();
      if (!discoveryPort || (!snmpPort && !ownSnmpPorts) || !secondFamilyPort || discoveryPort == snmpPort ||
          discoveryPort == secondFamilyPort || snmpPort == secondFamilyPort)
        continue;
      std::vector<std::string> args = {bin.toStdString()};
      args.insert(args.end(), fleetArgs.begin(), fleetArgs.end());
      const std::vector<std::string> serving = {"--exit-with-parent", "--snmp-port",
                                       std::to_string(snmpPort),  "--discovery-port",
                                       std::to_string(discoveryPort), "--ipx-discovery-port",
                                       "0",                       "--ipx-snmp-port",
                                       "0",                       "--second-family-port",
                                       std::to_string(secondFamilyPort), "--reset-silence-ms",
                                       "200",                     "--ready-file",
                                       ready_.toStdString(),      "--log",
                                       log.toStdString()};
      args.insert(args.end(), serving.begin(), serving.end());
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      QFile::remove(ready_);
      QFile::remove(log);
      if (posix_spawn(&pid_, args[0].c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        pid_ = 0;
        error = "cannot start trellan-sim";
        return false;
      }
      QElapsedTimer waited;
      waited.start();
      while (waited.elapsed() < 10000) {
        if (QFile::exists(ready_)) return true;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
          pid_ = 0;
          break;
        }
        QThread::msleep(20);
      }
      stop();
    }
    error = "trellan-sim did not become ready";
    return false;
  }

  void stop() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    pid_ = 0;
  }
  ~SimProcess() { stop(); }

  // The request log's lines so far.
  std::vector<QJsonObject> logLines() const {
    std::vector<QJsonObject> out;
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly)) return out;
    while (!f.atEnd()) {
      const QByteArray line = f.readLine().trimmed();
      if (line.isEmpty()) continue;
      const QJsonDocument doc = QJsonDocument::fromJson(line);
      if (doc.isObject()) out.push_back(doc.object());
    }
    return out;
  }

  QString binary;  // empty: trellan-sim in TRELLAN_BIN_DIR, else beside this program
  std::uint16_t discoveryPort = 0;
  std::uint16_t snmpPort = 0;
  std::uint16_t secondFamilyPort = 0;
  QString log;
  QString error;

 private:
  pid_t pid_ = 0;
  QString ready_;
};

}  // namespace simtest
