// JSON-lines request log of the simulator.
#include "sim/request_log.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include <nlohmann/json.hpp>

#include "snmp/winsnmp.h"

namespace sim {

using nlohmann::json;

namespace {

std::string nowText() {
  auto now = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  std::time_t secs = std::time_t(ms / 1000);
  std::tm tm{};
  gmtime_r(&secs, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms % 1000));
  return buf;
}

json base(const char* kind, std::uint32_t device, const Endpoint* peer) {
  json j;
  j["time"] = nowText();
  j["kind"] = kind;
  j["device"] = formatIpv4(device);
  if (peer) j["peer"] = formatIpv4(peer->address) + ":" + std::to_string(peer->port);
  return j;
}

json bindingJson(const Binding& b) {
  json j;
  j["oid"] = formatOid(b.oid);
  j["syntax"] = syntaxName(b.value.syntax);
  const Value& v = b.value;
  switch (v.syntax) {
    case Syntax::Integer: case Syntax::Counter: case Syntax::Gauge: case Syntax::TimeTicks:
    case Syntax::Unsigned32:
      j["value"] = v.number;
      break;
    case Syntax::Counter64: j["value"] = std::uint64_t(v.number); break;
    case Syntax::Octets: case Syntax::Opaque:
      if (isPrintable(v.bytes)) j["value"] = v.bytes;
      j["hex"] = toHex(v.bytes);
      break;
    case Syntax::IpAddress:
      if (v.bytes.size() == 4) {
        auto u = [&](int i) { return std::uint32_t(static_cast<unsigned char>(v.bytes[std::size_t(i)])); };
        j["value"] = formatIpv4((u(0) << 24) | (u(1) << 16) | (u(2) << 8) | u(3));
      }
      j["hex"] = toHex(v.bytes);
      break;
    case Syntax::ObjectId: j["value"] = formatOid(v.oid); break;
    case Syntax::Null: j["value"] = nullptr; break;
  }
  return j;
}

json bindingsJson(const std::vector<Binding>& bs) {
  json a = json::array();
  for (const auto& b : bs) a.push_back(bindingJson(b));
  return a;
}

std::string communityText(const std::string& c) { return isPrintable(c) ? c : "hex:" + toHex(c); }

std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

const char* pduName(int type) {
  switch (type) {
    case SNMP_PDU_GET: return "get";
    case SNMP_PDU_GETNEXT: return "getnext";
    case SNMP_PDU_RESPONSE: return "response";
    case SNMP_PDU_SET: return "set";
    case SNMP_PDU_V1TRAP: return "trap";
    case SNMP_PDU_GETBULK: return "getbulk";
    case SNMP_PDU_INFORM: return "inform";
    case SNMP_PDU_TRAP: return "trap2";
    default: return "unknown";
  }
}

RequestLog::~RequestLog() {
  if (file_) std::fclose(file_);
}

bool RequestLog::open(const std::string& path, std::string* error) {
  file_ = std::fopen(path.c_str(), "a");
  if (!file_) {
    if (error) *error = "cannot open log file '" + path + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

void RequestLog::write(const std::string& line) {
  if (!file_) return;
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

std::string RequestLog::requestLine(std::uint32_t device, const Endpoint& peer, const Request& r) {
  json j = base("request", device, &peer);
  j["community"] = communityText(r.community);
  j["pdu"] = pduName(r.pduType);
  j["request_id"] = r.requestId;
  j["bindings"] = bindingsJson(r.bindings);
  return dump(j);
}

std::string RequestLog::replyLine(std::uint32_t device, const Endpoint& peer, const Request& r, const Decision& d,
                                  std::size_t length) {
  json j = base("reply", device, &peer);
  j["community"] = communityText(r.community);
  j["pdu"] = "response";
  j["request_id"] = r.requestId;
  j["error_status"] = d.errorStatus;
  j["error_index"] = d.errorIndex;
  j["bindings"] = bindingsJson(d.bindings);
  j["length"] = length;
  if (d.fault == ReplyFault::Short) j["fault"] = "short";
  if (d.fault == ReplyFault::Malformed) j["fault"] = "malformed";
  if (d.delayMs) j["delay_ms"] = d.delayMs;
  if (!d.event.empty()) j["event"] = d.event;
  return dump(j);
}

void RequestLog::request(std::uint32_t device, const Endpoint& peer, const Request& r) {
  if (file_) write(requestLine(device, peer, r));
}

void RequestLog::undecodable(std::uint32_t device, const Endpoint& peer, std::size_t length, std::uint32_t code) {
  if (!file_) return;
  json j = base("request", device, &peer);
  j["length"] = length;
  j["error"] = "undecodable";
  j["codec_error"] = code;
  write(dump(j));
}

void RequestLog::reply(std::uint32_t device, const Endpoint& peer, const Request& r, const Decision& d,
                       std::size_t length) {
  if (file_) write(replyLine(device, peer, r, d, length));
}

void RequestLog::silent(std::uint32_t device, const Endpoint& peer, std::int32_t requestId, const std::string& reason,
                        const std::string& event) {
  if (!file_) return;
  json j = base("silent", device, &peer);
  j["request_id"] = requestId;
  j["reason"] = reason;
  if (!event.empty()) j["event"] = event;
  write(dump(j));
}

void RequestLog::event(std::uint32_t device, const std::string& what, const std::string& detail) {
  if (!file_) return;
  json j = base("event", device, nullptr);
  j["event"] = what;
  if (!detail.empty()) j["detail"] = detail;
  write(dump(j));
}

std::string RequestLog::discoveryLine(std::uint32_t device, const Endpoint* peer, const DiscoveryLogEntry& e) {
  json j = base("discovery", device, peer);
  j["transport"] = e.transport;
  j["event"] = e.event;
  if (e.destination) j["destination"] = formatIpv4(e.destination);
  j["length"] = e.length;
  if (e.seen >= 0) j["seen"] = e.seen;
  if (e.format >= 0) j["format"] = e.format;
  if (e.from) j["from"] = formatIpv4(e.from);
  if (!e.reason.empty()) j["reason"] = e.reason;
  return dump(j);
}

void RequestLog::discovery(std::uint32_t device, const Endpoint* peer, const DiscoveryLogEntry& e) {
  if (file_) write(discoveryLine(device, peer, e));
}

}  // namespace sim
