#include "devices/printer_probe_batch.h"

#include <algorithm>
#include <array>

#include "access/oid.h"
#include "access/result_codes.h"
#include "devices/device.h"
#include "devices/device_snmp_reads.h"
#include "platform/socket_error.h"

namespace devices {
namespace {

namespace result = snmpaccess::result;

// Datagrams read in one pass, so that a flood cannot hold the caller.
constexpr int kMaxReadsPerPass = 4096;
// One wait is capped at a day: a settings value of any size cannot overflow the count.
constexpr std::int64_t kMaxWaitMs = 24LL * 3600 * 1000;

}  // namespace

// The reads that cannot run many at once say so by giving no batch.
std::unique_ptr<PrinterProbeBatch> DeviceSnmpReads::newProbeBatch() { return nullptr; }

PrinterProbeBatch::PrinterProbeBatch(ProbeBatchSettings settings)
    : settings_(std::move(settings)), decoded_(std::make_unique<snmp::codec::DecodeOutput>()) {
  settings_.maxOutstanding = std::clamp<std::size_t>(settings_.maxOutstanding, 1, 4096);
  settings_.transmissions = std::clamp(settings_.transmissions, 1, 16);
  slots_.resize(settings_.maxOutstanding);
  // Ids of this socket only; starting somewhere else each time keeps a late reply to an earlier
  // batch from matching by chance.
  const auto t = Clock::now().time_since_epoch().count();
  lastRequestId_ = static_cast<std::int32_t>((static_cast<std::uint64_t>(t) >> 4) & 0x3FFFFFFF);
}

PrinterProbeBatch::~PrinterProbeBatch() = default;

bool PrinterProbeBatch::open() {
  if (socket_.open() != 0) return false;
  if (socket_.bind({0, 0}) != 0) {
    socket_.close();
    return false;
  }
  socket_.setReceiveBufferSize(platform::kDiscoveryReceiveBuffer);
  return true;
}

std::int32_t PrinterProbeBatch::nextRequestId() noexcept {
  lastRequestId_ = lastRequestId_ >= 0x7FFFFFFE ? 1 : lastRequestId_ + 1;
  return lastRequestId_;
}

void PrinterProbeBatch::add(std::unique_ptr<CIpDevice> device) {
  if (device) waiting_.push_back(std::move(device));
}

void PrinterProbeBatch::start(Slot& slot, std::unique_ptr<CIpDevice> device, const Finished& finished) {
  slot.device = std::move(device);
  slot.probe = std::make_unique<PrinterProbe>(*slot.device);
  ++active_;
  if (const int rc = settings_.precheck ? settings_.precheck(*slot.device) : 0; rc != 0) {
    slot.probe->fail(rc);
    finish(slot, finished);
    return;
  }
  slot.community = settings_.community ? settings_.community(*slot.device) : std::string();
  const std::string_view text = slot.device->snmpAddress();
  const auto address = parseIpv4(text);
  if (slot.community.empty() || text.empty() || !address) {
    slot.probe->fail(slot.community.empty() || text.empty() ? result::kNoContext : result::kBadAddress);
    finish(slot, finished);
    return;
  }
  slot.address = *address;
  askNext(slot, finished);
}

void PrinterProbeBatch::askNext(Slot& slot, const Finished& finished) {
  snmpaccess::CVarBind none[2];
  for (;;) {
    if (slot.probe->nextPort() == 0) {
      finish(slot, finished);
      return;
    }
    slot.requestId = nextRequestId();
    slot.sent = 0;
    if (transmit(slot)) return;
    slot.probe->take(result::kSendFailed, none);
  }
}

bool PrinterProbeBatch::transmit(Slot& slot) {
  const int port = slot.probe->nextPort();
  const snmpaccess::COid names[2] = {snmpaccess::COid(printerStatusOid(port).c_str()),
                                     snmpaccess::COid(printerConsoleOid(port).c_str())};
  smiVALUE null{};
  null.syntax = SNMP_SYNTAX_NULL;
  const snmp::codec::BindingRef bindings[2] = {{&names[0].oid(), &null}, {&names[1].oid(), &null}};
  snmp::codec::EncodeInput in;
  in.pduType = SNMP_PDU_GET;
  in.requestId = slot.requestId;
  in.community = reinterpret_cast<const smiBYTE*>(slot.community.data());
  in.communityLength = static_cast<smiUINT32>(slot.community.size());
  in.bindings = bindings;
  in.count = 2;
  std::array<smiBYTE, snmp::codec::kMaxMessage> buffer;
  const smiBYTE* message = nullptr;
  std::size_t length = 0;
  if (snmp::codec::encodeInto(in, buffer.data(), buffer.size(), &message, &length) != 0) return false;
  const platform::IoResult r = socket_.sendTo(message, length, {slot.address, settings_.agentPort});
  // A full send queue loses this transmission like the network would: the next one follows.
  if (!r.ok() && !platform::isWouldBlock(r.error)) return false;
  ++slot.sent;
  const std::int64_t waitMs = std::min<std::int64_t>(static_cast<std::int64_t>(settings_.getTimeout) * 10, kMaxWaitMs);
  slot.deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  return true;
}

void PrinterProbeBatch::finish(Slot& slot, const Finished& finished) {
  std::unique_ptr<CIpDevice> device = std::move(slot.device);
  std::unique_ptr<PrinterProbe> probe = std::move(slot.probe);
  slot = Slot{};
  --active_;
  device->printerMibAnswered = probe->answered();
  if (settings_.probed) settings_.probed(*device, *probe);
  if (finished) finished(std::move(device));
}

void PrinterProbeBatch::handleDatagram(const std::uint8_t* data, std::size_t length, std::uint32_t sender,
                                       const Finished& finished) {
  snmp::codec::DecodeOutput& out = *decoded_;
  std::size_t consumed = 0;
  if (snmp::codec::decodeMessage(data, length, out, &consumed) != 0) {
    ++ignored_;
    return;
  }
  struct Release {
    snmp::codec::DecodeOutput& out;
    ~Release() { snmp::codec::freeDecoded(out); }
  } release{out};
  // Only one whole message from the asked address with an outstanding request's id counts.
  auto it = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) {
    return s.device && s.requestId == out.requestId && s.address == sender;
  });
  if (consumed != length || it == slots_.end()) {
    ++ignored_;
    return;
  }
  Slot& slot = *it;
  snmpaccess::CVarBind b[2];
  int rc = 0;
  if (out.pduType != SNMP_PDU_RESPONSE) {
    rc = result::kNotResponse;
  } else if (out.errorStatus != 0) {
    rc = snmpaccess::resultOfErrorStatus(out.errorStatus);
  } else if (out.count != 2) {
    rc = result::kCountMismatch;
  } else {
    for (int i = 0; i < 2; ++i) {
      b[i].setName(snmpaccess::COid(out.bindings[i].name));
      b[i].assignValue(out.bindings[i].value);
    }
  }
  slot.probe->take(rc, b);
  askNext(slot, finished);
}

void PrinterProbeBatch::receiveAll(const Finished& finished) {
  if (!socket_.isOpen()) return;
  std::array<std::uint8_t, snmp::codec::kMaxMessage> buffer;
  for (int i = 0; i < kMaxReadsPerPass; ++i) {
    platform::SocketAddress from;
    const platform::IoResult r = socket_.recvFrom(buffer.data(), buffer.size(), &from);
    if (!r.ok()) return;
    if (r.truncated) {
      ++ignored_;
      continue;
    }
    handleDatagram(buffer.data(), r.bytes, from.address, finished);
  }
}

void PrinterProbeBatch::service(const Finished& finished) {
  receiveAll(finished);
  const auto now = Clock::now();
  snmpaccess::CVarBind none[2];
  for (Slot& slot : slots_) {
    if (!slot.device || slot.deadline > now) continue;
    if (slot.sent < settings_.transmissions) {
      if (transmit(slot)) continue;
      slot.probe->take(result::kSendFailed, none);
    } else {
      slot.probe->take(result::kNoReply, none);
    }
    askNext(slot, finished);
  }
  // A probe that ends at once (nothing to ask) frees its slot for the next one.
  for (Slot& slot : slots_) {
    while (!waiting_.empty() && !slot.device) {
      std::unique_ptr<CIpDevice> device = std::move(waiting_.front());
      waiting_.pop_front();
      start(slot, std::move(device), finished);
    }
    if (waiting_.empty()) break;
  }
}

int PrinterProbeBatch::msUntilNextTimeout() const {
  if (active_ == 0) return -1;
  const auto now = Clock::now();
  std::int64_t least = kMaxWaitMs;
  for (const Slot& slot : slots_) {
    if (!slot.device) continue;
    least = std::min<std::int64_t>(least, std::chrono::ceil<std::chrono::milliseconds>(slot.deadline - now).count());
  }
  return static_cast<int>(std::max<std::int64_t>(least, 0));
}

void PrinterProbeBatch::stopAll(const Finished& finished) {
  snmpaccess::CVarBind none[2];
  for (Slot& slot : slots_) {
    if (!slot.device) continue;
    slot.probe->take(result::kStopped, none);
    finish(slot, finished);
  }
  while (!waiting_.empty()) {
    std::unique_ptr<CIpDevice> device = std::move(waiting_.front());
    waiting_.pop_front();
    PrinterProbe probe(*device);
    probe.fail(result::kStopped);
    device->printerMibAnswered = false;
    if (settings_.probed) settings_.probed(*device, probe);
    if (finished) finished(std::move(device));
  }
}

}  // namespace devices
