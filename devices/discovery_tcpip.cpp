#include "devices/discovery_tcpip.h"

#include "snmp/engine_watch.h"

#include <poll.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <deque>
#include <unordered_set>
#include <vector>

#include "devices/device_snmp_reads.h"
#include "devices/discovery_entry.h"
#include "devices/discovery_socket.h"
#include "devices/ipv4_text.h"
#include "devices/printer_probe_batch.h"
#include "platform/net_config.h"
#include "platform/report_error.h"

namespace devices {
namespace {

constexpr int kMaxSendFailures = 20;
constexpr std::uint32_t kErrNeedsUpdate = 5306;
// Upper bound of datagrams looked at in one drain, so that a flood cannot hold the worker.
constexpr int kMaxDrain = 4096;
// Replies read ahead of their probes; the simulator's largest fleet fits several times over.
constexpr std::size_t kMaxQueued = 65536;
// A burst of replies is read whole before its probes: it has ended after this long without a
// datagram, or after kBurstLimit at most (a flood cannot hold the probes back for longer).
constexpr auto kBurstQuiet = std::chrono::milliseconds(20);
constexpr auto kBurstLimit = std::chrono::milliseconds(2000);
constexpr int kMaxSecondFamilyReplies = 4096;
// Longest wait between two looks at the stop flag while probes are outstanding.
constexpr int kProbeSliceMs = 10;
constexpr std::size_t kFamilyOffset = 49;
constexpr std::size_t kFamilyField = 5;

using Clock = std::chrono::steady_clock;

// The family code of a native reply, read straight from the datagram so that replies of a format
// this program does not parse are still told apart by family.
std::string replyFamily(const std::uint8_t* data, std::size_t length) {
  if (length < kFamilyOffset + kFamilyField) return {};
  const char* f = reinterpret_cast<const char*>(data + kFamilyOffset);
  std::size_t n = 0;
  while (n < kFamilyField && f[n] != '\0') ++n;
  return std::string(f, n);
}

bool hasReplyMagic(const std::uint8_t* data, std::size_t length) {
  return length >= 3 && std::memcmp(data, kReplyMagic, 3) == 0;
}

}  // namespace

// Turns replies of one search step into devices. Replies are read off the socket before any
// printer probe runs, and again while probes run: a fleet's burst of replies left waiting in the
// socket during thousands of probes would overflow its buffer. The probes of a step run many at
// once on one socket of their own (PrinterProbeBatch) when the installed reads offer it, else one
// after the other; either way each device is handed over as soon as its own probe has ended.
class CTcpIpDiscovery::ReplyTaker {
 public:
  ReplyTaker(CTcpIpDiscovery& owner, bool extraColumns) : owner_(owner), extra_(extraColumns), settings_(owner.settings()) {
    if (DeviceSnmpReads* reads = deviceSnmpReads()) batch_ = reads->newProbeBatch();
    finished_ = [this](std::unique_ptr<CIpDevice> device) { hand(std::move(device)); };
  }

  // Reads what is pending and turns the new replies into devices; returns once every reply read
  // has been probed and handed over. With a seen list, known responders are skipped and new ones
  // are remembered (setting `anotherRound`). Senders found in `awaited` are taken out of it.
  // Returns 2 when stopped.
  int drain(DiscoverySocket& socket, std::vector<std::uint32_t>* seen, bool& anotherRound,
            std::unordered_set<std::uint32_t>* awaited = nullptr) {
    for (;;) {
      // Broadcast rounds draw bursts; a scan's batches of five do not.
      const bool burstStart = seen && queue_.empty() && probesIdle();
      pull(socket, seen, anotherRound, awaited);
      if (owner_.stopRequested()) return stopped();
      if (queue_.empty() && probesIdle()) return 0;
      if (burstStart) {
        // The first replies of a burst: take the rest of it before the first probe, since any
        // stall of a few milliseconds loses replies once the socket's buffer is full.
        const auto until = Clock::now() + kBurstLimit;
        while (Clock::now() < until && queue_.size() < kMaxQueued && socket.udp().waitReadable(kBurstQuiet) == 0) {
          pull(socket, seen, anotherRound, awaited);
          if (owner_.stopRequested()) return stopped();
        }
      }
      if (!batch_) {
        const Reply reply = queue_.front();
        queue_.pop_front();
        take(reply.bytes.data(), reply.length);
        continue;
      }
      while (!queue_.empty()) {
        take(queue_.front().bytes.data(), queue_.front().length);
        queue_.pop_front();
      }
      batch_->service(finished_);
      if (batch_->idle()) continue;
      waitForEither(socket);
    }
  }

  // Responders taken into this step so far.
  std::size_t taken() const noexcept { return taken_.size(); }

 private:
  struct Reply {
    std::array<std::uint8_t, kMaxReplySize> bytes;
    std::size_t length;
  };

  bool probesIdle() const noexcept { return !batch_ || batch_->idle(); }

  // A Stop ends the probes under way as a Stop ends a probe asked alone; their devices are
  // handed over with what their replies said.
  int stopped() {
    if (batch_) batch_->stopAll(finished_);
    return 2;
  }

  // Until a reply or a discovery reply arrives, the next probe times out, or a stop is due.
  void waitForEither(DiscoverySocket& socket) {
    int ms = batch_->msUntilNextTimeout();
    if (ms < 0 || ms > kProbeSliceMs) ms = kProbeSliceMs;
    pollfd fds[2] = {{socket.udp().fd(), POLLIN, 0}, {batch_->fd(), POLLIN, 0}};
    ::poll(fds, 2, ms);
  }

  // Moves every pending datagram off the socket; the new replies of known families queue up.
  void pull(DiscoverySocket& socket, std::vector<std::uint32_t>* seen, bool& anotherRound,
            std::unordered_set<std::uint32_t>* awaited) {
    Reply reply;
    DiscoverySocket::Datagram dg;
    for (int i = 0; i < kMaxDrain && queue_.size() < kMaxQueued && socket.receive(reply.bytes.data(), reply.bytes.size(), dg); ++i) {
      if (dg.truncated || !hasReplyMagic(reply.bytes.data(), dg.length)) continue;
      if (awaited) awaited->erase(dg.sender);
      std::uint32_t id = 0;
      const bool hasId = replyResponderId(reply.bytes.data(), dg.length, id);
      if (seen && hasId && std::find(seen->begin(), seen->end(), id) != seen->end()) continue;
      // Beyond 179 responders the request cannot list them all, and those left out answer again
      // in later rounds: they are taken once per step, and only a responder new to the step
      // earns another round (else the rounds would alternate between the two halves for ever).
      const bool isNew = !seen || !hasId || taken_.insert(id).second;
      if (isNew && isKnownFamily(replyFamily(reply.bytes.data(), dg.length), settings_.oemFamilies)) {
        reply.length = dg.length;
        queue_.push_back(reply);
      }
      if (seen && hasId && seen->size() < kMaxSeenResponders) {
        seen->push_back(id);
        if (isNew) anotherRound = true;
      }
    }
  }

  void take(const std::uint8_t* data, std::size_t length) {
    auto device = std::make_unique<CIpDevice>();
    owner_.prepare(*device, extra_);
    const ReplyStatus status = device->parseReply(data, length, settings_.masks);
    if (status == ReplyStatus::UnknownFormat) {
      // Listed as "Bad Format"; the update notice once per step, not once per print server.
      if (!reportedFormat_) platform::ReportError(kErrNeedsUpdate, platform::kErrorProgram);
      reportedFormat_ = true;
    } else if (status != ReplyStatus::Ok) {
      return;
    } else if (batch_) {
      batch_->add(std::move(device));
      return;
    } else {
      completeReply(*device);
    }
    owner_.post(std::move(device));
  }

  // A device whose printer probe ended in the batch: what completeReply does after the probe.
  void hand(std::unique_ptr<CIpDevice> device) {
    if (device->querySettings.extraColumns)
      if (DeviceSnmpReads* reads = deviceSnmpReads()) reads->readExtraColumns(*device);
    device->updateStatusTexts(device->querySettings.masks);
    owner_.post(std::move(device));
  }

  CTcpIpDiscovery& owner_;
  bool extra_;
  DiscoverySettings settings_;
  bool reportedFormat_ = false;
  std::unordered_set<std::uint32_t> taken_;  // responders of this step
  std::deque<Reply> queue_;                    // read, not yet probed and posted
  std::unique_ptr<PrinterProbeBatch> batch_;   // null: probes one after the other
  PrinterProbeBatch::Finished finished_;
};

CTcpIpDiscovery::CTcpIpDiscovery(platform::MessageTarget* owner, std::unique_ptr<snmpaccess::ProgressWindow> progress)
    : CDiscovery(kProtocolTcpIp, owner, std::move(progress)) {}

// The worker calls this class's steps: it must end before this part of the object goes.
CTcpIpDiscovery::~CTcpIpDiscovery() { stopAndWait(); }

int CTcpIpDiscovery::broadcastSearch(std::uint32_t destination, int ttl, bool extraColumns) {
  const DiscoverySettings s = settings();
  int result = 0;
  {
    DiscoverySocket socket;
    if (!socket.open(&progress())) return -1;
    if (ttl >= 0) socket.udp().setMulticastTtl(ttl);
    ReplyTaker taker(*this, extraColumns);
    std::vector<std::uint32_t> seen;
    seen.reserve(kMaxSeenResponders);
    bool round = true;
    while (round && result == 0) {
      round = false;
      const std::vector<std::uint8_t> request = buildDiscoveryRequest(seen);
      int failures = 0;
      while (socket.sendTo(destination, s.discoveryPort, request.data(), request.size()) != 0) {
        if (++failures >= kMaxSendFailures) break;
      }
      if (failures >= kMaxSendFailures) {
        platform::ReportError(kErrSendDiscovery, platform::kErrorProgram);
        break;
      }
      // A full list has gone out once; responders beyond it get their turn in the next round.
      if (seen.size() >= kMaxSeenResponders) seen.clear();
      bool another = false;
      auto lastNew = Clock::now();
      for (;;) {
        const std::size_t takenBefore = taker.taken();
        if (taker.drain(socket, &seen, another) == 2) {
          result = 2;
          break;
        }
        int waitMs = s.broadcastTimeoutMs;
        if (s.quickQuietMs > 0) {
          if (taker.taken() != takenBefore) lastNew = Clock::now();
          const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 lastNew + std::chrono::milliseconds(s.quickQuietMs) - Clock::now()).count();
          if (quiet <= 0) {
            round = another;
            break;
          }
          waitMs = std::min<int>(waitMs, static_cast<int>(quiet));
        }
        const WaitOutcome w = socket.wait(waitMs);
        if (w == WaitOutcome::Stopped || stopRequested()) {
          result = 2;
          break;
        }
        if (w == WaitOutcome::TimedOut) {
          round = another;
          break;
        }
      }
    }
  }
  if (result == 2) return 2;
  return secondFamilyProbe(extraColumns) == 2 ? 2 : 0;
}

int CTcpIpDiscovery::secondFamilyProbe(bool extraColumns) {
  const DiscoverySettings s = settings();
  DiscoverySocket socket;
  // Its own socket with short receive waits; a socket that cannot be set up skips the probe.
  if (!socket.open(nullptr, false)) return 0;
  const auto probe = devices::secondFamilyProbe();
  if (socket.sendTo(platform::kLimitedBroadcast, s.secondFamilyPort, probe.data(), probe.size()) != 0) return 0;
  std::uint8_t buffer[kSecondFamilyLongReply];
  for (int i = 0; i < kMaxSecondFamilyReplies; ++i) {
    if (stopRequested()) return 2;
    DiscoverySocket::Datagram dg;
    if (!socket.receive(buffer, sizeof buffer, dg)) {
      if (socket.wait(s.secondFamilyWaitMs) != WaitOutcome::Ready) break;
      continue;
    }
    if (dg.truncated) continue;
    auto device = std::make_unique<CIpDevice>();
    device->kind = kKindSecondFamily;
    prepare(*device, extraColumns);
    // Length and magic are checked: 72 or 166 bytes that start like the probe.
    if (device->parseReply(buffer, dg.length, s.masks) != ReplyStatus::Ok) continue;
    completeReply(*device);
    post(std::move(device));
  }
  return stopRequested() ? 2 : 0;
}

int CTcpIpDiscovery::subnetScan(std::string_view prefix, bool extraColumns) {
  const DiscoverySettings s = settings();
  DiscoverySocket socket;
  if (!socket.open(&progress())) return 2;
  ReplyTaker taker(*this, extraColumns);
  const std::vector<std::uint8_t> request = buildDiscoveryRequest({});
  bool unused = false;
  // Addresses asked that have not answered yet. On loopback a batch's replies are often in by
  // the drain after its send, and no readiness would then end the next wait: a batch whose every
  // address has answered (or no batch yet) needs no wait, and the final wait ends once every
  // address asked has answered.
  std::unordered_set<std::uint32_t> awaited;
  std::vector<std::uint32_t> batch;
  auto batchAnswered = [&] {
    return std::none_of(batch.begin(), batch.end(), [&](std::uint32_t a) { return awaited.count(a) != 0; });
  };
  for (int host = 1; host < 255;) {
    if (taker.drain(socket, nullptr, unused, &awaited) == 2) return 2;
    if (stopRequested()) return 2;
    if (!batchAnswered() && (socket.wait(s.scanBatchWaitMs) == WaitOutcome::Stopped || stopRequested())) return 2;
    batch.clear();
    for (int k = 0; k < 5 && host <= 255; ++k, ++host) {
      const std::string text = std::string(prefix) + std::to_string(host);
      const auto address = parseIpv4(text);
      if (!address) continue;
      socket.sendTo(*address, s.discoveryPort, request.data(), request.size());
      awaited.insert(*address);
      batch.push_back(*address);
    }
    if (host - 1 >= 254) {
      // The last batch: give the stragglers their time, taking replies as they come.
      const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(s.scanFinalWaitMs, 0));
      for (;;) {
        if (taker.drain(socket, nullptr, unused, &awaited) == 2) return 2;
        if (awaited.empty()) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        if (socket.wait(static_cast<int>(left)) == WaitOutcome::Stopped || stopRequested()) return 2;
      }
    }
    if (taker.drain(socket, nullptr, unused, &awaited) == 2) return 2;
  }
  return 0;
}

int CTcpIpDiscovery::singleAddressSearch(std::string_view address, bool keep, bool extraColumns) {
  auto device = std::make_unique<CIpDevice>(address);
  prepare(*device, extraColumns);
  const int result = device->query();
  if (result == 0 || keep) post(std::move(device));
  return result;
}

int CTcpIpDiscovery::addressFileSearch(const std::string& path, bool extraColumns) {
  for (const std::string& address : readAddressFile(path)) {
    if (stopRequested()) return 2;
    if (singleAddressSearch(address, true, extraColumns) == 2) return 2;
  }
  return stopRequested() ? 2 : 0;
}

int CTcpIpDiscovery::runSearch(const SearchRequest& request, bool extraColumns) {
  postText(kTextSearchingLocal);
  if (request.localSearch) {
    if (broadcastSearch(platform::kLimitedBroadcast, -1, extraColumns) == 2) return 2;
  }
  if (stopRequested()) return 2;
  if (!request.listSearch) return 0;
  postText(kTextSearchingSpecific);
  for (const std::string& text : request.entries) {
    if (stopRequested()) return 2;
    const SearchEntry entry = classifyEntry(text);
    if (!entry.valid) continue;
    int r = 0;
    switch (entry.kind) {
      case EntryKind::Scan:
        if (subnetScan(entry.text, extraColumns) == 2) return 2;
        break;
      case EntryKind::DirectedBroadcast:
        r = broadcastSearch(*parseIpv4(entry.text), -1, extraColumns);
        if (r == 2 || r == -1) return r == 2 ? 2 : 0;
        break;
      case EntryKind::Multicast:
        r = broadcastSearch(platform::kDiscoveryMulticastGroup, entry.ttl, extraColumns);
        if (r == 2 || r == -1) return r == 2 ? 2 : 0;
        break;
      case EntryKind::File:
        if (addressFileSearch(entry.text, extraColumns) == 2) return 2;
        break;
      case EntryKind::Single:
        if (singleAddressSearch(entry.text, true, extraColumns) == 2) return 2;
        break;
    }
  }
  return stopRequested() ? 2 : 0;
}

int CTcpIpDiscovery::findOrAdd(std::string_view text) {
  const int found = CDiscovery::findOrAdd(text);
  if (found >= 0 || !parseIpv4(text) || busy()) return found;
  snmpaccess::ProgressWindow* waitIn = foregroundProgress() ? foregroundProgress() : &progress();
  waitIn->setText(std::string(searchText(kTextSearchingLocal)));
  auto device = std::make_unique<CIpDevice>(text);
  SearchRequest shown;
  shown.columnBits = shownColumns();
  prepare(*device, wantsExtraColumns(shown, true));
  int result = 0;
  if (foregroundProgress()) {
    device->progress = foregroundProgress();
    result = device->query();
  } else {
    snmp::ScopedThreadSocketWatch watch(headlessProgress() ? &snmp::headlessWatch() : nullptr);
    result = device->query();
  }
  device->progress = &progress();
  if (result != 0) return -1;
  return addDevice(std::move(device));
}

}  // namespace devices
