#pragma once
// One simulated print server on a pseudo-terminal, for trying a serial view by hand: the program
// opens the pty's path as its serial port and speaks the serial frame protocol (identification
// frames, SNMP frames, disconnect frames) to it. A pty carries no break condition, so there is no
// wake-up handshake: the unit answers frames from the moment the pty exists.
#include <atomic>
#include <string>

#include "sim/request_log.h"
#include "sim/snmp_agent.h"

namespace sim {

class SerialPtyUnit {
 public:
  SerialPtyUnit(DeviceModel device, RequestLog* log);
  ~SerialPtyUnit();
  SerialPtyUnit(const SerialPtyUnit&) = delete;
  SerialPtyUnit& operator=(const SerialPtyUnit&) = delete;

  // Creates the pty (raw, so no byte is echoed or translated). False with the reason.
  bool open(std::string* error);
  // The path the program opens, e.g. /dev/pts/3.
  const std::string& path() const { return path_; }
  // Serves frames until `stop` is set (checked at least every 200 ms).
  void run(const std::atomic<bool>& stop);

 private:
  void handleBytes(const std::uint8_t* data, std::size_t size);
  void handleFrame(std::uint8_t type, const std::uint8_t* payload, std::size_t length);
  void sendFrame(std::uint8_t type, const std::vector<std::uint8_t>& payload);

  SnmpAgent agent_;
  RequestLog* log_;
  int master_ = -1;
  int slave_ = -1;  // kept open so the master never sees a hang-up between two users
  std::string path_;
  std::vector<std::uint8_t> pending_;
};

}  // namespace sim
