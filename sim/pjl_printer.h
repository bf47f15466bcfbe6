#pragma once
// The printers behind the simulated print servers' output ports, as a PJL client meets them on
// the raw printing ports: port n of a unit listens on TCP base + n - 1 (or the port's own
// raw_port) at the unit's address, and answers "@PJL INFO ..." requests the way its mode says
// (Port::pjl): at once, never, slowly in pieces, forever in small pieces, or by closing at once.
// One thread serves every listener and connection with poll().
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/device_model.h"

namespace sim {

// What a printer answers to one INFO request ("STATUS", "CONFIG", ...), ending in a form feed.
std::string pjlReply(const std::string& word, const std::string& unitName, int port, const std::string& display);

// Units whose TCP/IP level reports the first raw printing port (5 and above, or 0) report `base`
// there, unless the data file set it.
void advertiseRawPorts(std::vector<DeviceModel>& units, std::uint16_t base);

class PjlPrinters {
 public:
  // Takes what it needs from the units; `base` is the first raw printing port.
  PjlPrinters(const std::vector<DeviceModel>& units, std::uint16_t base);
  ~PjlPrinters();
  PjlPrinters(const PjlPrinters&) = delete;
  PjlPrinters& operator=(const PjlPrinters&) = delete;

  // Binds every listener. False with the reason.
  bool open(std::string* error);
  // Serves until `stop` is set (checked every 100 ms).
  void run(const std::atomic<bool>& stop);
  std::size_t listenerCount() const { return printers_.size(); }

 private:
  using Clock = std::chrono::steady_clock;
  struct Printer {
    std::uint32_t address;
    std::uint16_t port;
    int portIndex;
    PjlMode mode;
    std::string unitName;
    std::string display;
    int fd = -1;
  };
  struct Connection {
    int fd = -1;
    const Printer* printer = nullptr;
    std::string input;
    std::vector<std::string> pieces;  // still to send
    Clock::time_point due{};
    bool answered = false;
  };

  void accept(const Printer& p);
  void readFrom(Connection& c);
  void sendDue(Connection& c, Clock::time_point now);
  void close(Connection& c);

  std::vector<Printer> printers_;
  std::vector<Connection> connections_;
};

}  // namespace sim
