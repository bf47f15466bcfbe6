#pragma once
// One simulated print server on the far end of the in-process serial cable: it answers the
// host's wake-up break with a break, the identification frame with its discovery reply, and
// SNMP frames through its agent. Engine and device tests hand it the cable whose host end they
// give the serial transport:
//
//   auto cable = snmp::serial::SerialCable::create();
//   snmp::serial::setLineFactory([cable](const char*) { return cable->hostLine(); });
//   sim::SerialUnit unit(cable, device);   // serves until destroyed
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/device_model.h"
#include "sim/request_log.h"
#include "sim/snmp_agent.h"
#include "snmp/serial_line_double.h"

namespace sim {

struct SerialUnitOptions {
  bool answerBreak = true;       // false: the unit never answers the wake-up (connect fails)
  bool errorFrames = false;      // answer every frame with an error frame (type 0xFE)
  RequestLog* log = nullptr;     // not owned; may be null
};

class SerialUnit {
 public:
  SerialUnit(std::shared_ptr<snmp::serial::SerialCable> cable, DeviceModel device, SerialUnitOptions options = {});
  ~SerialUnit();
  SerialUnit(const SerialUnit&) = delete;
  SerialUnit& operator=(const SerialUnit&) = delete;

  int breaksAnswered() const;
  int identifications() const;  // identification frames answered
  int snmpFrames() const;       // SNMP frames received
  int disconnects() const;      // disconnect frames received
  SnmpAgent& agent() { return agent_; }

 private:
  void onHostAction(snmp::serial::SerialCable& cable);
  void handleFrame(snmp::serial::SerialCable& cable, std::uint8_t type, const std::uint8_t* payload,
                   std::size_t length);
  void sendFrame(snmp::serial::SerialCable& cable, std::uint8_t type, const std::vector<std::uint8_t>& payload);

  std::shared_ptr<snmp::serial::SerialCable> cable_;
  SnmpAgent agent_;
  SerialUnitOptions options_;
  mutable std::mutex mutex_;
  std::vector<std::uint8_t> pending_;  // bytes of a frame not complete yet
  int answeredOpen_ = -1;              // host open whose wake-up was answered
  int breaksAnswered_ = 0;
  int identifications_ = 0;
  int snmpFrames_ = 0;
  int disconnects_ = 0;
};

}  // namespace sim
