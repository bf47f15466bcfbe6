// The serial print server of the simulator.
#include "sim/serial_unit.h"

#include <algorithm>

#include "sim/discovery_reply_builder.h"
#include "sim/serial_frames.h"
#include "sim/wire.h"
#include "snmp/serial_frame.h"

namespace sim {

namespace ser = snmp::serial;

SerialUnit::SerialUnit(std::shared_ptr<ser::SerialCable> cable, DeviceModel device, SerialUnitOptions options)
    : cable_(std::move(cable)), agent_(std::move(device), SnmpAgent::Clock::now()), options_(options) {
  cable_->setListener([this](ser::SerialCable& c) { onHostAction(c); });
}

SerialUnit::~SerialUnit() { cable_->setListener({}); }

int SerialUnit::breaksAnswered() const {
  std::lock_guard lock(mutex_);
  return breaksAnswered_;
}
int SerialUnit::identifications() const {
  std::lock_guard lock(mutex_);
  return identifications_;
}
int SerialUnit::snmpFrames() const {
  std::lock_guard lock(mutex_);
  return snmpFrames_;
}
int SerialUnit::disconnects() const {
  std::lock_guard lock(mutex_);
  return disconnects_;
}

void SerialUnit::onHostAction(ser::SerialCable& cable) {
  std::lock_guard lock(mutex_);
  const DeviceModel& d = agent_.device();
  // The wake-up: once per opening, when the host's series of breaks is complete.
  if (options_.answerBreak && !d.faults.silent && cable.hostOpen() && cable.hostMode() == ser::OpenMode::Events &&
      cable.breaksFromHost() >= std::max(1, ser::timings().wakeBreaks) && !cable.hostBreakOn() &&
      answeredOpen_ != cable.hostOpens()) {
    answeredOpen_ = cable.hostOpens();
    ++breaksAnswered_;
    cable.sendBreak();
  }
  auto bytes = cable.takeFromHost();
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  takeSerialFrames(pending_, [this, &cable](std::uint8_t type, const std::uint8_t* bytes, std::size_t n) {
    handleFrame(cable, type, bytes, n);
  });
}

void SerialUnit::sendFrame(ser::SerialCable& cable, std::uint8_t type, const std::vector<std::uint8_t>& payload) {
  std::uint8_t header[ser::kFrameHeaderSize];
  ser::encodeFrameHeader(type, std::uint16_t(payload.size()), header);
  std::vector<std::uint8_t> frame(header, header + sizeof header);
  frame.insert(frame.end(), payload.begin(), payload.end());
  cable.sendToHost(frame);
}

void SerialUnit::handleFrame(ser::SerialCable& cable, std::uint8_t type, const std::uint8_t* payload,
                             std::size_t length) {
  DeviceModel& d = agent_.device();
  const Endpoint peer{0, 0};
  if (type == ser::kFrameDisconnect) {
    ++disconnects_;
    return;
  }
  if (options_.errorFrames) {
    sendFrame(cable, ser::kFrameError, {});
    return;
  }
  if (type == ser::kFrameIdentification) {
    if (options_.log) options_.log->discovery(d.address, &peer, {"serial", "request", 0, length, -1, -1, 0, {}});
    if (d.faults.silent || !d.discovery.answer) {
      if (options_.log) options_.log->discovery(d.address, &peer, {"serial", "silent", 0, 0, -1, -1, 0, "answer off"});
      return;
    }
    ++identifications_;
    const auto reply = buildDiscoveryReply(d);
    sendFrame(cable, ser::kFrameIdentification, reply);
    if (options_.log)
      options_.log->discovery(d.address, &peer, {"serial", "reply", 0, reply.size(), -1, d.discovery.format, 0, {}});
    return;
  }
  if (type != ser::kFrameSnmp) {
    sendFrame(cable, ser::kFrameError, {});
    return;
  }
  ++snmpFrames_;
  std::uint32_t codecError = 0;
  auto request = decodeRequest(payload, length, &codecError);
  if (!request) {
    if (options_.log) options_.log->undecodable(d.address, peer, length, codecError);
    return;
  }
  if (options_.log) options_.log->request(d.address, peer, *request);
  const auto now = SnmpAgent::Clock::now();
  if (agent_.restartEnds()) agent_.tick(now);
  Decision decision = agent_.handle(*request, now);
  if (!decision.answer) {
    if (options_.log) options_.log->silent(d.address, peer, request->requestId, decision.reason, decision.event);
    return;
  }
  Bytes message;
  if (encodeAnswer(agent_, *request, decision, message) != 0) return;
  if (options_.log) options_.log->reply(d.address, peer, *request, decision, message.size());
  sendFrame(cable, ser::kFrameSnmp, message);
}

}  // namespace sim
