// Firmware behaviour of a simulated print server. The unit walks the request's bindings in order,
// the way a unit with a fixed reply buffer does: the first binding it cannot serve decides the
// error, and the binding just past its buffer gives tooBig with that binding's index.
#include "sim/snmp_agent.h"

#include "sim/status_objects.h"
#include "sim/wireless_unit.h"

namespace sim {

SnmpAgent::SnmpAgent(DeviceModel device, Clock::time_point now) : device_(std::move(device)), bootTime_(now) {}

std::uint32_t SnmpAgent::uptimeTicks(Clock::time_point now) const {
  auto cs = std::chrono::duration_cast<std::chrono::milliseconds>(now - bootTime_).count() / 10;
  return cs < 0 ? 0u : std::uint32_t(std::uint64_t(cs) & 0xFFFFFFFFu);
}

bool SnmpAgent::tick(Clock::time_point now) {
  if (!restartEnds_ || now < *restartEnds_) return false;
  bootTime_ = *restartEnds_;  // up since the moment it came back, however late we notice
  restartEnds_.reset();
  const MibEntry* addr = device_.agent.addressOid ? device_.store.find(*device_.agent.addressOid) : nullptr;
  const Value before = addr ? addr->value : Value{};
  const std::vector<Oid> watched = device_.syncOids();
  std::vector<std::optional<Value>> was;
  for (const auto& oid : watched) {
    const MibEntry* e = device_.store.find(oid);
    was.push_back(e ? std::optional<Value>(e->value) : std::nullopt);
  }
  if (!restoreOnRestart_.empty()) device_.store.restoreDefaults(restoreOnRestart_);
  restoreOnRestart_.clear();
  device_.store.applyPending();
  applyWirelessState(device_);
  std::vector<Oid> changed;
  for (std::size_t i = 0; i < watched.size(); ++i) {
    const MibEntry* e = device_.store.find(watched[i]);
    if (e && (!was[i] || *was[i] != e->value)) changed.push_back(watched[i]);
  }
  const std::string getBefore = device_.getCommunity, setBefore = device_.setCommunity;
  device_.syncFromStore(changed);
  if (device_.getCommunity != getBefore) events_.push_back({"community", "get"});
  if (device_.setCommunity != setBefore) events_.push_back({"community", "set"});
  if (addr && addr->value != before && addr->value.syntax == Syntax::IpAddress && addr->value.bytes.size() == 4) {
    auto b = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(addr->value.bytes[i])); };
    const std::uint32_t to = (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
    if (to != device_.address) move_ = to;
  }
  return true;
}

std::vector<std::pair<std::string, std::string>> SnmpAgent::takeEvents() {
  auto e = std::move(events_);
  events_.clear();
  return e;
}

std::optional<std::uint32_t> SnmpAgent::takeMove() {
  auto m = move_;
  move_.reset();
  return m;
}

Decision SnmpAgent::silent(std::string reason) const {
  Decision d;
  d.reason = std::move(reason);
  return d;
}

int SnmpAgent::tooBigIndex(std::size_t fitted) const {
  switch (device_.agent.tooBigIndex) {
    case TooBigIndex::Zero: return 0;
    case TooBigIndex::One: return 1;
    case TooBigIndex::PlusOne: break;
  }
  return int(fitted + 1);
}

Decision SnmpAgent::errorReply(const Request& r, int status, int index) const {
  Decision d;
  d.answer = true;
  d.errorStatus = status;
  d.errorIndex = index;
  d.bindings = r.bindings;  // an error reply echoes the request
  return d;
}

Decision SnmpAgent::tooBigFor(const Request& request, std::size_t fitted) const {
  return errorReply(request, kTooBig, tooBigIndex(fitted));
}

Value SnmpAgent::readValue(const MibEntry& e, Clock::time_point now) const {
  if (e.uptime) return Value::unsignedOf(Syntax::TimeTicks, uptimeTicks(now));
  if (e.step && e.value.syntax == Syntax::Integer) return movingCounter(e);
  return e.value;
}

Decision SnmpAgent::handle(const Request& r, Clock::time_point now) {
  device_.ensureCatalogue();
  tick(now);
  ++requests_;
  const auto& f = device_.faults;
  if (f.silent) return silent("fault: silent");
  if (restartEnds_) return silent("restarting");
  if (r.pduType != kPduGet && r.pduType != kPduGetNext && r.pduType != kPduSet)
    return silent("not a request PDU");

  const bool isSet = r.pduType == kPduSet;
  const bool setOk = r.community == device_.setCommunity;
  const bool getOk = r.community == device_.getCommunity;
  if (!setOk && !getOk) return silent("wrong community");
  if (f.dropEvery && requests_ % f.dropEvery == 0) return silent("fault: drop every " + std::to_string(f.dropEvery));

  Decision d;
  if (isSet && !setOk) {
    if (device_.agent.setWithGetCommunity == ReadOnlyCommunity::Silence) return silent("set with the get community");
    d = errorReply(r, kReadOnly, r.bindings.empty() ? 0 : 1);
  } else if (r.pduType == kPduGet) {
    d = get(r, now);
  } else if (r.pduType == kPduGetNext) {
    d = getNext(r, now);
  } else {
    d = set(r, now);
    if (!d.answer) return d;
  }
  applyReplyFaults(d);
  return d;
}

void SnmpAgent::applyReplyFaults(Decision& d) {
  const auto& f = device_.faults;
  ++replies_;
  if (f.missingBindingEvery && replies_ % f.missingBindingEvery == 0 && !d.bindings.empty()) d.bindings.pop_back();
  if (f.shortEvery && replies_ % f.shortEvery == 0) d.fault = ReplyFault::Short;
  else if (f.malformedEvery && replies_ % f.malformedEvery == 0) d.fault = ReplyFault::Malformed;
  d.delayMs = f.delayMs;
}

Decision SnmpAgent::get(const Request& r, Clock::time_point now) {
  const std::uint32_t limit = device_.agent.maxVarsPerReply;
  Decision d;
  d.answer = true;
  for (std::size_t i = 0; i < r.bindings.size(); ++i) {
    if (limit && i >= limit) return errorReply(r, kTooBig, tooBigIndex(i));
    const MibEntry* e = device_.store.find(r.bindings[i].oid);
    if (!e) return errorReply(r, kNoSuchName, int(i + 1));
    d.bindings.push_back({r.bindings[i].oid, readValue(*e, now)});
  }
  return d;
}

Decision SnmpAgent::getNext(const Request& r, Clock::time_point now) {
  const std::uint32_t limit = device_.agent.maxVarsPerReply;
  Decision d;
  d.answer = true;
  for (std::size_t i = 0; i < r.bindings.size(); ++i) {
    if (limit && i >= limit) return errorReply(r, kTooBig, tooBigIndex(i));
    const auto* n = device_.store.next(r.bindings[i].oid);
    if (const auto* again = loopingNext(device_, r.bindings[i].oid)) n = again;
    if (!n) return errorReply(r, kNoSuchName, int(i + 1));  // end of the MIB view
    d.bindings.push_back({n->first, readValue(n->second, now)});
  }
  return d;
}

namespace {

bool valueFits(const MibEntry& e, const Value& v) {
  if (v.syntax != e.value.syntax) return false;
  switch (v.syntax) {
    case Syntax::IpAddress: return v.bytes.size() == 4;
    case Syntax::Octets:
    case Syntax::Opaque: return v.bytes.size() <= e.maxLength;
    case Syntax::Integer:
      if (e.minimum && v.number < *e.minimum) return false;
      if (e.maximum && v.number > *e.maximum) return false;
      return true;
    default: return true;
  }
}

}  // namespace

Decision SnmpAgent::set(const Request& r, Clock::time_point now) {
  const std::uint32_t limit = device_.agent.maxVarsPerReply;
  // Validate everything first: a SET takes effect whole or not at all.
  for (std::size_t i = 0; i < r.bindings.size(); ++i) {
    if (limit && i >= limit) return errorReply(r, kTooBig, tooBigIndex(i));
    const MibEntry* e = device_.store.find(r.bindings[i].oid);
    if (!e) return errorReply(r, kNoSuchName, int(i + 1));
    if (!e->writable) return errorReply(r, kReadOnly, int(i + 1));
    if (!valueFits(*e, r.bindings[i].value)) return errorReply(r, kBadValue, int(i + 1));
  }

  const Trigger* fired = nullptr;
  for (const auto& b : r.bindings) {
    const Trigger* trigger = nullptr;
    for (const auto& t : device_.agent.triggers)
      if (t.oid == b.oid && b.value.syntax == Syntax::Integer && b.value.number == t.value) trigger = &t;
    if (trigger) {
      // A restore outranks a plain reset in the same request; action variables keep reading 1.
      if (!fired || (trigger->restore && !fired->restore)) fired = trigger;
      if (trigger->restore)
        restoreOnRestart_.insert(restoreOnRestart_.end(), trigger->scope.begin(), trigger->scope.end());
      continue;
    }
    MibEntry* e = device_.store.find(b.oid);
    if (device_.agent.setMode == SetMode::Immediate) {
      e->value = b.value;
      e->pending.reset();
    } else {
      e->pending = b.value;
    }
  }

  Decision d = errorReply(r, kNoError, 0);
  if (fired) {
    d.event = fired->restore ? "restore" : "reset";
    restartEnds_ = now + std::chrono::milliseconds(device_.agent.resetSilenceMs);
    if (!fired->answer) {
      Decision s = silent("restarting before the answer");
      s.event = d.event;
      return s;
    }
  }
  return d;
}

}  // namespace sim
