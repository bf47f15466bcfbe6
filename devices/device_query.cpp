// The queries of the device kinds: ask one print server for its discovery reply over UDP, IPX or
// a serial port, and the operations built on a query (waitForAnswer, attachTarget, statusText).
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>

#include "access/progress.h"
#include "access/snmp_target.h"
#include "devices/device.h"
#include "devices/device_snmp_reads.h"
#include "devices/discovery_socket.h"
#include "platform/report_error.h"
#include "snmp/winsnmp.h"

namespace devices {
namespace {

std::atomic<DeviceSnmpReads*> gReads{nullptr};

constexpr int kStopCheckMs = 200;  // before sending: a Stop pressed meanwhile ends the query
constexpr std::uint32_t kErrNeedsUpdate = 5306;
constexpr const char* kTextReadingStatus = "Reading Status Information";

using Clock = std::chrono::steady_clock;

// Gives a pressed Stop the chance to end the query before anything is sent.
bool stoppedBeforeSend(snmpaccess::ProgressWindow* progress, int ms) {
  if (!progress) return false;
  return progress->waitFor(kSocketNotifyMessage, ms).status == snmpaccess::WaitStatus::Stopped;
}

}  // namespace

void completeReply(CIpDevice& device) {
  if (DeviceSnmpReads* reads = gReads.load()) {
    if (device.kind == kKindSecondFamily) {
      reads->readSecondFamily(device);
    } else {
      device.printerMibAnswered = reads->probePrinterMib(device);
      if (device.querySettings.extraColumns) reads->readExtraColumns(device);
    }
  }
  device.updateStatusTexts(device.querySettings.masks);
}

namespace {

// Reads datagrams until `accept` takes one or the reply time is up. `accept` sees the datagram and
// returns true when it filled the device from it. The socket is closed on every path.
int awaitReply(CIpDevice& device, DiscoverySocket& socket, std::size_t capacity,
               const std::function<bool(const std::uint8_t*, const DiscoverySocket::Datagram&)>& accept,
               ReplyBuffer* replyOut) {
  std::uint8_t buffer[kMaxReplySize];
  if (capacity > sizeof buffer) capacity = sizeof buffer;
  // One deadline for the whole wait: a stream of foreign datagrams cannot keep the query alive.
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(device.querySettings.replyTimeoutMs, 0));
  for (;;) {
    DiscoverySocket::Datagram dg;
    while (socket.receive(buffer, capacity, dg)) {
      if (dg.truncated || !accept(buffer, dg)) continue;
      socket.close();
      if (replyOut) replyOut->assign(buffer, buffer + dg.length);
      if (device.kind == kKindNative && !device.answered) {
        // Reply of a format this program does not know.
        platform::ReportError(kErrNeedsUpdate, platform::kErrorProgram);
        return -1;
      }
      completeReply(device);
      return 0;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return -1;
    switch (socket.wait(static_cast<int>(left))) {
      case WaitOutcome::Stopped:
        return 2;
      case WaitOutcome::TimedOut:
        if (Clock::now() >= deadline) return -1;
        break;
      case WaitOutcome::Ready:
        break;
    }
  }
}

// A datagram that is a reply of the device's protocol fills the device.
bool acceptReply(CIpDevice& device, const std::uint8_t* data, std::size_t length) {
  if (device.kind == kKindNative && (length < 3 || std::memcmp(data, kReplyMagic, 3) != 0)) return false;
  const ReplyStatus status = device.parseReply(data, length, device.querySettings.masks);
  return status == ReplyStatus::Ok || status == ReplyStatus::UnknownFormat;
}

// A device that did not answer shows "No Response" under the current masks ("Bad Format" stays).
int settleQuery(CDevice& device, int result) {
  if (result != 0 && !(device.statusWordText == kTextBadFormat)) device.updateStatusTexts(device.querySettings.masks);
  return result;
}

}  // namespace

void setDeviceSnmpReads(DeviceSnmpReads* reads) noexcept { gReads.store(reads); }
DeviceSnmpReads* deviceSnmpReads() noexcept { return gReads.load(); }

int CIpDevice::query(ReplyBuffer* reply) {
  return settleQuery(*this, [&]() -> int {
    clear();
    const auto address = parseIpv4(ipAddress.view());
    if (!address) return -1;
    DiscoverySocket socket;
    if (!socket.open(progress)) return -1;
    if (stoppedBeforeSend(progress, kStopCheckMs)) return 2;
    if (kind == kKindSecondFamily) {
      // The second family answers its probe, sent here to the one address.
      const auto probe = secondFamilyProbe();
      if (socket.sendTo(*address, querySettings.secondFamilyPort, probe.data(), probe.size()) != 0) return -1;
      return awaitReply(
          *this, socket, kSecondFamilyLongReply,
          [&](const std::uint8_t* data, const DiscoverySocket::Datagram& dg) {
            return dg.sender == *address && acceptReply(*this, data, dg.length);
          },
          reply);
    }
    const auto request = buildDiscoveryRequest({});
    if (socket.sendTo(*address, querySettings.discoveryPort, request.data(), request.size()) != 0) return -1;
    return awaitReply(
        *this, socket, kMaxReplySize,
        [&](const std::uint8_t* data, const DiscoverySocket::Datagram& dg) {
          // The sender is compared as a number: "010.1.2.3" is 10.1.2.3.
          return dg.sender == *address && acceptReply(*this, data, dg.length);
        },
        reply);

  }());
}

int CIpxDevice::query(ReplyBuffer* reply) {
  return settleQuery(*this, [&]() -> int {
    clear();
    DiscoverySocket socket(DiscoverySocket::Family::Ipx);
    if (!socket.open(progress)) return -1;
    if (stoppedBeforeSend(progress, kStopCheckMs)) return 2;
    snmp::ipx::Address to;
    std::memcpy(to.network, network.data(), 4);
    std::memcpy(to.node, node.data(), 6);
    to.socket = querySettings.ipxDiscoverySocket;
    const auto request = buildDiscoveryRequest({});
    if (socket.sendIpx(to, request.data(), request.size()) != 0) return -1;
    const auto wantNetwork = network;
    const auto wantNode = node;
    const int result = awaitReply(
        *this, socket, kMaxReplySize,
        [&](const std::uint8_t* data, const DiscoverySocket::Datagram& dg) {
          if (std::memcmp(dg.ipxSender.node, wantNode.data(), 6) != 0) return false;
          if (std::memcmp(dg.ipxSender.network, wantNetwork.data(), 4) != 0) return false;
          return acceptReply(*this, data, dg.length);
        },
        reply);
    return result;

  }());
}

int CSerialDevice::query(ReplyBuffer* reply) {
  return settleQuery(*this, [&]() -> int {
    clear();
    platform::MessageTarget* target = progress ? progress->target() : nullptr;
    const HSNMP_SESSION session = SnmpOpen(target, snmpaccess::kSnmpNotifyMessage);
    if (session == SNMPAPI_FAILURE) return -1;
    struct SessionGuard {
      HSNMP_SESSION s;
      HSNMP_ENTITY e = SNMPAPI_FAILURE;
      ~SessionGuard() {
        if (e != SNMPAPI_FAILURE) SnmpFreeEntity(e);
        SnmpClose(s);
      }
    } guard{session};
    if (stoppedBeforeSend(progress, 10)) return 2;
    guard.e = SnmpStrToEntity(session, portName.c_str());
    if (guard.e == SNMPAPI_FAILURE) return -1;
    std::uint8_t buffer[kMaxReplySize] = {};
    if (SnmpSerialExchange(session, guard.e, sizeof buffer, buffer) != SNMPAPI_SUCCESS) {
      if (progress && progress->isStopped()) return 2;
      std::memset(buffer, 0, sizeof buffer);
      if (SnmpSerialExchange(session, guard.e, sizeof buffer, buffer) != SNMPAPI_SUCCESS) return -1;
    }
    if (stoppedBeforeSend(progress, 100)) return 2;
    // The exchange fills a fixed buffer; the status block says how much of it the reply uses.
    if (!acceptReply(*this, buffer, sizeof buffer)) return -1;
    if (reply) reply->assign(buffer, buffer + sizeof buffer);
    if (!answered) {
      platform::ReportError(kErrNeedsUpdate, platform::kErrorProgram);
      return -1;
    }
    completeReply(*this);
    return 0;

  }());
}

int CIpDevice::waitForAnswer(int seconds, const char* address) {
  const auto start = Clock::now();
  int result = -1;
  if (address) {
    ipAddress.assign(address);
    result = query();
  }
  while (result != 0 && result != 2) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
    if (elapsed >= seconds) break;
    result = query();
  }
  return result;
}

int CIpDevice::attachTarget(int seconds, snmpaccess::SnmpTarget& target) {
  if (!target.progress) target.progress = progress;
  ipAddress.assign(target.address);
  const int first = query();
  if (first == 0 || first == 2) return first;
  return waitForAnswer(seconds);
}

int CIpDevice::statusText(std::string& out, int port) {
  out.clear();
  if (progress) progress->setText(std::string(kTextReadingStatus));
  const int result = query();
  if (result == 2) return 2;
  if (result != 0) {
    if (replyFormat == 0 || replyFormat > 3) {
      // An answer in a format this program does not know.
      if (statusWordText == kTextBadFormat) {
        out = kTextUnknownFormat;
        return -1;
      }
    }
    out = kTextCannotCommunicate;
    return result;
  }
  return composeStatusText(out, port);
}

}  // namespace devices
