// Reading and checking the fleet data file.
#include "sim/fleet_file.h"
#include "sim/status_objects.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include <nlohmann/json.hpp>

#include "sim/wireless_unit.h"

namespace sim {

using nlohmann::json;

namespace {

// Error reporting with the JSON path of the value being read.
struct Ctx {
  std::string path;
  std::string* error;

  Ctx at(const std::string& key) const { return {path.empty() ? key : path + "." + key, error}; }
  Ctx at(std::size_t index) const { return {path + "[" + std::to_string(index) + "]", error}; }
  bool fail(const std::string& message) const {
    *error = (path.empty() ? std::string("data file") : path) + ": " + message;
    return false;
  }
};

bool checkKeys(const json& obj, std::initializer_list<const char*> allowed, const Ctx& c) {
  if (!obj.is_object()) return c.fail("must be an object");
  for (auto it = obj.begin(); it != obj.end(); ++it) {
    bool known = false;
    for (const char* k : allowed)
      if (it.key() == k) known = true;
    if (!known) return c.fail("unknown key '" + it.key().substr(0, 64) + "'");
  }
  return true;
}

bool readString(const json& obj, const char* key, std::size_t maxLen, std::string& out, const Ctx& c) {
  auto it = obj.find(key);
  if (it == obj.end()) return true;
  if (!it->is_string()) return c.at(key).fail("must be a string");
  const auto& s = it->get_ref<const std::string&>();
  if (s.size() > maxLen) return c.at(key).fail("longer than " + std::to_string(maxLen) + " bytes");
  out = s;
  return true;
}

template <typename T>
bool readNumber(const json& obj, const char* key, std::int64_t lo, std::int64_t hi, T& out, const Ctx& c) {
  auto it = obj.find(key);
  if (it == obj.end()) return true;
  if (!it->is_number_integer()) return c.at(key).fail("must be an integer");
  std::int64_t v;
  if (it->is_number_unsigned()) {
    auto u = it->get<std::uint64_t>();
    if (u > std::uint64_t(hi)) return c.at(key).fail("must be between " + std::to_string(lo) + " and " + std::to_string(hi));
    v = std::int64_t(u);
  } else {
    v = it->get<std::int64_t>();
  }
  if (v < lo || v > hi) return c.at(key).fail("must be between " + std::to_string(lo) + " and " + std::to_string(hi));
  out = T(v);
  return true;
}

bool readBool(const json& obj, const char* key, bool& out, const Ctx& c) {
  auto it = obj.find(key);
  if (it == obj.end()) return true;
  if (!it->is_boolean()) return c.at(key).fail("must be true or false");
  out = it->get<bool>();
  return true;
}

// Merges `over` into `base`: nested settings objects key by key, variable lists appended.
void mergeDevice(json& base, const json& over) {
  for (auto it = over.begin(); it != over.end(); ++it) {
    const std::string& k = it.key();
    if ((k == "system" || k == "agent" || k == "faults" || k == "discovery" || k == "second_family" || k == "levels" ||
         k == "status" || k == "wireless") &&
        base.contains(k) && base[k].is_object() && it->is_object()) {
      for (auto in = it->begin(); in != it->end(); ++in) base[k][in.key()] = *in;
    } else if ((k == "variables" || k == "variable_files") && base.contains(k) && base[k].is_array() &&
               it->is_array()) {
      for (const auto& v : *it) base[k].push_back(v);
    } else {
      base[k] = *it;
    }
  }
}

struct Placeholders {
  std::string index, name, address, hw;

  std::string expand(const std::string& s) const {
    if (s.find('{') == std::string::npos) return s;
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
      auto tryKey = [&](const char* key, const std::string& value) {
        std::size_t n = std::char_traits<char>::length(key);
        if (s.compare(i, n, key) == 0) {
          out += value;
          i += n;
          return true;
        }
        return false;
      };
      if (s[i] == '{' && (tryKey("{index}", index) || tryKey("{name}", name) || tryKey("{address}", address) ||
                          tryKey("{hw}", hw)))
        continue;
      out += s[i++];
    }
    return out;
  }
};

bool parseOidField(const std::string& text, const Oid& enterprise, Oid& out, const Ctx& c) {
  if (text.size() > 512) return c.fail("OID text too long");
  auto parsed = parseOid(text);
  if (!parsed) return c.fail("'" + text + "' is not an OID");
  out = (!text.empty() && text[0] == '.') ? concat(enterprise, *parsed) : *parsed;
  if (out.size() < 2 || out.size() > kMaxOidLength) return c.fail("'" + text + "' is not a usable OID");
  return true;
}

bool parseValue(const json& v, Syntax syntax, const std::string& typeName, const Oid& enterprise,
                const Placeholders& ph, Value& out, const Ctx& c) {
  out = Value{};
  out.syntax = syntax;
  switch (syntax) {
    case Syntax::Integer: {
      if (!v.is_number_integer()) return c.fail("must be an integer");
      if (v.is_number_unsigned() && v.get<std::uint64_t>() > 0x7FFFFFFFull) return c.fail("does not fit an INTEGER");
      auto n = v.get<std::int64_t>();
      if (n < INT32_MIN || n > INT32_MAX) return c.fail("does not fit an INTEGER");
      out.number = n;
      return true;
    }
    case Syntax::Counter: case Syntax::Gauge: case Syntax::TimeTicks: case Syntax::Unsigned32: {
      if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<std::int64_t>() >= 0))
        return c.fail("must be an unsigned integer");
      auto n = v.get<std::uint64_t>();
      if (n > 0xFFFFFFFFull) return c.fail("does not fit 32 bits");
      out.number = std::int64_t(n);
      return true;
    }
    case Syntax::Counter64: {
      if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<std::int64_t>() >= 0))
        return c.fail("must be an unsigned integer");
      out.number = std::int64_t(v.get<std::uint64_t>());
      return true;
    }
    case Syntax::Octets: case Syntax::Opaque: {
      if (!v.is_string()) return c.fail("must be a string");
      const auto& s = v.get_ref<const std::string&>();
      if (s.size() > 3 * kMaxValueBytes) return c.fail("too long");  // hex with separators: 3 characters a byte
      if (typeName == "hex" || typeName == "bytes" || syntax == Syntax::Opaque) {
        auto bytes = fromHex(s);
        if (!bytes) return c.fail("'" + s.substr(0, 64) + "' is not hexadecimal bytes");
        out.bytes = *bytes;
      } else {
        out.bytes = ph.expand(s);
      }
      if (out.bytes.size() > kMaxValueBytes) return c.fail("longer than " + std::to_string(kMaxValueBytes) + " bytes");
      return true;
    }
    case Syntax::IpAddress: {
      if (!v.is_string()) return c.fail("must be a dotted IPv4 address");
      auto a = parseIpv4(v.get_ref<const std::string&>());
      if (!a) return c.fail("'" + v.get<std::string>().substr(0, 64) + "' is not a dotted IPv4 address");
      out = Value::ip(std::uint8_t(*a >> 24), std::uint8_t(*a >> 16), std::uint8_t(*a >> 8), std::uint8_t(*a));
      return true;
    }
    case Syntax::ObjectId: {
      if (!v.is_string()) return c.fail("must be an OID string");
      return parseOidField(v.get<std::string>(), enterprise, out.oid, c);
    }
    case Syntax::Null:
      if (!v.is_null()) return c.fail("must be null");
      return true;
  }
  return c.fail("unsupported type");
}

bool parseVariable(const json& j, DeviceModel& d, const Placeholders& ph, const Ctx& c) {
  if (!checkKeys(j, {"oid", "type", "value", "writable", "max_length", "min", "max"}, c)) return false;
  std::string oidText, typeName;
  if (!j.contains("oid")) return c.fail("missing 'oid'");
  if (!j.contains("type")) return c.fail("missing 'type'");
  if (!readString(j, "oid", 512, oidText, c) || !readString(j, "type", 32, typeName, c)) return false;
  Oid oid;
  if (!parseOidField(oidText, d.enterprise, oid, c.at("oid"))) return false;
  auto syntax = syntaxFromName(typeName);
  if (!syntax) return c.at("type").fail("unknown type '" + typeName + "'");
  Value value;  // a null variable may leave its value out
  const bool needsValue = *syntax != Syntax::Null || j.contains("value");
  if (needsValue && !j.contains("value")) return c.fail("missing 'value'");
  if (needsValue && !parseValue(j["value"], *syntax, typeName, d.enterprise, ph, value, c.at("value"))) return false;
  const bool configSyntax = *syntax == Syntax::Integer || *syntax == Syntax::Octets || *syntax == Syntax::IpAddress;
  bool writable = configSyntax;
  if (!readBool(j, "writable", writable, c)) return false;
  d.store.define(oid, value, writable);
  MibEntry* e = d.store.find(oid);
  std::uint32_t maxLength = std::uint32_t(std::max<std::size_t>(255, value.bytes.size()));
  if (!readNumber(j, "max_length", 0, std::int64_t(kMaxValueBytes), maxLength, c)) return false;
  e->maxLength = maxLength;
  std::int64_t lo = 0, hi = 0;
  if (j.contains("min")) {
    if (!readNumber(j, "min", INT32_MIN, INT32_MAX, lo, c)) return false;
    e->minimum = lo;
  }
  if (j.contains("max")) {
    if (!readNumber(j, "max", INT32_MIN, INT32_MAX, hi, c)) return false;
    e->maximum = hi;
  }
  return true;
}

bool parseVariables(const json& list, DeviceModel& d, const Placeholders& ph, const Ctx& c) {
  if (!list.is_array()) return c.fail("must be an array");
  if (list.size() > kMaxVariablesPerDevice)
    return c.fail("more than " + std::to_string(kMaxVariablesPerDevice) + " variables");
  for (std::size_t i = 0; i < list.size(); ++i)
    if (!parseVariable(list[i], d, ph, c.at(i))) return false;
  if (d.store.size() > kMaxVariablesPerDevice)
    return c.fail("more than " + std::to_string(kMaxVariablesPerDevice) + " variables");
  return true;
}

bool parseTriggers(const json& list, const Oid& enterprise, std::vector<Trigger>& out, const Ctx& c) {
  if (!list.is_array()) return c.fail("must be an array");
  if (list.size() > 64) return c.fail("more than 64 triggers");
  out.clear();
  for (std::size_t i = 0; i < list.size(); ++i) {
    const json& t = list[i];
    Ctx tc = c.at(i);
    if (!checkKeys(t, {"oid", "value", "action", "scope", "answer"}, tc)) return false;
    Trigger trig;
    std::string oidText, action = "reset";
    if (!t.contains("oid")) return tc.fail("missing 'oid'");
    if (!readString(t, "oid", 512, oidText, tc) || !parseOidField(oidText, enterprise, trig.oid, tc.at("oid")))
      return false;
    if (!readNumber(t, "value", INT32_MIN, INT32_MAX, trig.value, tc) || !readString(t, "action", 16, action, tc) ||
        !readBool(t, "answer", trig.answer, tc))
      return false;
    if (action == "restore") trig.restore = true;
    else if (action != "reset") return tc.at("action").fail("must be \"reset\" or \"restore\"");
    if (t.contains("scope")) {
      if (!trig.restore) return tc.at("scope").fail("only a restore has a scope");
      const json& s = t["scope"];
      if (!s.is_array() || s.size() > 64) return tc.at("scope").fail("must be an array of at most 64 OIDs");
      for (std::size_t k = 0; k < s.size(); ++k) {
        if (!s[k].is_string()) return tc.at("scope").at(k).fail("must be an OID string");
        const auto& text = s[k].get_ref<const std::string&>();
        if (text == "*") {
          trig.scope.push_back({});
          continue;
        }
        Oid p;
        auto parsed = parseOid(text);
        if (!parsed) return tc.at("scope").at(k).fail("'" + text.substr(0, 64) + "' is not an OID");
        p = (text[0] == '.') ? concat(enterprise, *parsed) : *parsed;
        trig.scope.push_back(p);
      }
    } else if (trig.restore) {
      trig.scope.push_back({});  // a restore without scope restores everything
    }
    out.push_back(std::move(trig));
  }
  return true;
}

bool parseAgent(const json& j, AgentSettings& a, const Oid& enterprise, bool& triggersGiven, const Ctx& c) {
  if (!checkKeys(j, {"max_vars", "too_big_index", "set_with_get_community", "set_mode", "reset_silence_ms", "triggers",
                     "address_oid", "get_community_oid", "set_community_oid"},
                 c))
    return false;
  for (auto [key, field] : {std::pair{"get_community_oid", &a.getCommunityOid},
                            std::pair{"set_community_oid", &a.setCommunityOid}}) {
    if (!j.contains(key)) continue;
    std::string text;
    if (!readString(j, key, 512, text, c)) return false;
    Oid oid;  // empty: the community never changes
    if (!text.empty() && !parseOidField(text, enterprise, oid, c.at(key))) return false;
    *field = oid;
  }
  if (j.contains("address_oid")) {
    std::string text;
    if (!readString(j, "address_oid", 512, text, c)) return false;
    Oid oid;  // empty: the unit never moves
    if (!text.empty() && !parseOidField(text, enterprise, oid, c.at("address_oid"))) return false;
    a.addressOid = oid;
  }
  if (!readNumber(j, "max_vars", 0, 1000, a.maxVarsPerReply, c)) return false;
  std::string s;
  if (j.contains("too_big_index")) {
    if (!readString(j, "too_big_index", 16, s, c)) return false;
    if (s == "plus_one") a.tooBigIndex = TooBigIndex::PlusOne;
    else if (s == "zero") a.tooBigIndex = TooBigIndex::Zero;
    else if (s == "one") a.tooBigIndex = TooBigIndex::One;
    else return c.at("too_big_index").fail("must be \"plus_one\", \"zero\" or \"one\"");
  }
  if (j.contains("set_with_get_community")) {
    if (!readString(j, "set_with_get_community", 16, s, c)) return false;
    if (s == "read_only") a.setWithGetCommunity = ReadOnlyCommunity::ReadOnly;
    else if (s == "silence") a.setWithGetCommunity = ReadOnlyCommunity::Silence;
    else return c.at("set_with_get_community").fail("must be \"read_only\" or \"silence\"");
  }
  if (j.contains("set_mode")) {
    if (!readString(j, "set_mode", 16, s, c)) return false;
    if (s == "on_reset") a.setMode = SetMode::OnRestart;
    else if (s == "immediate") a.setMode = SetMode::Immediate;
    else return c.at("set_mode").fail("must be \"on_reset\" or \"immediate\"");
  }
  if (!readNumber(j, "reset_silence_ms", 0, kMaxSilenceMs, a.resetSilenceMs, c)) return false;
  if (j.contains("triggers")) {
    triggersGiven = true;
    if (!parseTriggers(j["triggers"], enterprise, a.triggers, c.at("triggers"))) return false;
  }
  return true;
}

bool parseFaults(const json& j, Faults& f, const Ctx& c) {
  if (!checkKeys(j, {"silent", "drop_every", "short_every", "malformed_every", "missing_binding_every", "delay_ms"}, c))
    return false;
  return readBool(j, "silent", f.silent, c) && readNumber(j, "drop_every", 0, 1000000, f.dropEvery, c) &&
         readNumber(j, "short_every", 0, 1000000, f.shortEvery, c) &&
         readNumber(j, "malformed_every", 0, 1000000, f.malformedEvery, c) &&
         readNumber(j, "missing_binding_every", 0, 1000000, f.missingBindingEvery, c) &&
         readNumber(j, "delay_ms", 0, kMaxDelayMs, f.delayMs, c);
}

bool parsePorts(const json& j, const Placeholders& ph, std::vector<Port>& out, const Ctx& c) {
  out.clear();
  if (j.is_number_integer()) {
    std::int64_t n = j.get<std::int64_t>();
    if (n < 0 || n > std::int64_t(kMaxPorts)) return c.fail("must be between 0 and " + std::to_string(kMaxPorts));
    for (std::int64_t i = 1; i <= n; ++i) out.push_back({"PORT" + std::to_string(i), 0, "READY"});
    return true;
  }
  if (!j.is_array()) return c.fail("must be a port count or an array of ports");
  if (j.size() > kMaxPorts) return c.fail("more than " + std::to_string(kMaxPorts) + " ports");
  for (std::size_t i = 0; i < j.size(); ++i) {
    Ctx pc = c.at(i);
    Port p{"PORT" + std::to_string(i + 1), 0, "READY"};
    std::string pjlError;
    if (!parsePortPjl(j[i], p, pjlError)) return pc.fail(pjlError);
    if (!checkKeys(j[i], {"name", "status", "display", "input_state", "status_code", "pjl", "raw_port"}, pc) ||
        !readString(j[i], "name", kMaxTextLength, p.name, pc) ||
        !readNumber(j[i], "status", INT32_MIN, INT32_MAX, p.mediaPathStatus, pc) ||
        !readString(j[i], "display", kMaxTextLength, p.display, pc) ||
        !readNumber(j[i], "input_state", 0, 255, p.inputState, pc) ||
        !readNumber(j[i], "status_code", 0, 255, p.statusCode, pc))
      return false;
    p.name = ph.expand(p.name);
    p.display = ph.expand(p.display);
    if (p.name.size() > kMaxTextLength || p.display.size() > kMaxTextLength) return pc.fail("text too long");
    out.push_back(std::move(p));
  }
  return true;
}

bool readAddress(const json& obj, const char* key, std::optional<std::uint32_t>& out, const Ctx& c) {
  if (!obj.contains(key)) return true;
  std::string text;
  if (!readString(obj, key, 15, text, c)) return false;
  auto a = parseIpv4(text);
  if (!a) return c.at(key).fail("'" + text + "' is not a dotted IPv4 address");
  out = *a;
  return true;
}

bool parseDiscovery(const json& j, DiscoverySettings& s, const Ctx& c) {
  if (!checkKeys(j, {"format", "product_number", "product_type", "datecode", "serial_number", "ip", "subnet_mask",
                     "gateway", "general_status", "port_count", "answer", "ignore_seen_list", "multicast", "ipx",
                     "ipx_network", "reply_from", "truncate", "bad_magic"},
                 c))
    return false;
  // Lengths are those of the reply's fields, terminator excluded.
  if (!readNumber(j, "format", 0, 255, s.format, c) || !readString(j, "product_number", 7, s.productNumber, c) ||
      !readString(j, "product_type", 19, s.productType, c) || !readString(j, "datecode", 16, s.datecode, c) ||
      !readString(j, "serial_number", 11, s.serialNumber, c) || !readString(j, "general_status", 79, s.generalStatus, c) ||
      !readAddress(j, "ip", s.ip, c) || !readBool(j, "answer", s.answer, c) ||
      !readBool(j, "ignore_seen_list", s.ignoreSeenList, c) || !readBool(j, "multicast", s.multicast, c) ||
      !readBool(j, "ipx", s.ipx, c) || !readBool(j, "bad_magic", s.badMagic, c) ||
      !readNumber(j, "truncate", 0, 548, s.truncate, c))
    return false;
  std::optional<std::uint32_t> a;
  if (!readAddress(j, "subnet_mask", a, c)) return false;
  if (a) s.subnetMask = *a;
  a.reset();
  if (!readAddress(j, "gateway", a, c)) return false;
  if (a) s.gateway = *a;
  if (j.contains("port_count")) {
    std::uint8_t n = 0;
    if (!readNumber(j, "port_count", 0, 255, n, c)) return false;
    s.portCount = n;
  }
  if (j.contains("ipx_network")) {
    std::string text;
    if (!readString(j, "ipx_network", 8, text, c)) return false;
    auto bytes = fromHex(text);
    if (text.size() != 8 || !bytes) return c.at("ipx_network").fail("must be 8 hexadecimal digits");
    s.ipxNetwork = 0;
    for (unsigned char b : *bytes) s.ipxNetwork = (s.ipxNetwork << 8) | b;
  }
  if (!readAddress(j, "reply_from", s.replyFrom, c)) return false;
  if (s.replyFrom && ((*s.replyFrom >> 24) != 127 || *s.replyFrom == 0x7FFFFFFFu))
    return c.at("reply_from").fail("must be a loopback address (the reply leaves from it)");
  return true;
}

bool parseSecondFamily(const json& j, SecondFamilySettings& s, const Ctx& c) {
  if (!checkKeys(j, {"size", "model", "firmware", "ssid", "wireless_mode", "security", "key", "reboot_ms",
                     "command_silence", "short_replies", "status", "port_status"},
                 c))
    return false;
  if (!readNumber(j, "reboot_ms", 0, kMaxDelayMs, s.rebootMs, c) ||
      !readBool(j, "command_silence", s.commandSilence, c) || !readBool(j, "short_replies", s.shortReplies, c) ||
      !readNumber(j, "status", 0, 255, s.status, c) || !readNumber(j, "port_status", 0, 255, s.portStatus, c))
    return false;
  if (!readNumber(j, "size", 0, 1000, s.size, c) || !readString(j, "model", 16, s.model, c) ||
      !readString(j, "firmware", 10, s.firmware, c) || !readString(j, "ssid", 32, s.ssid, c) ||
      !readNumber(j, "wireless_mode", 0, 2, s.wirelessMode, c) || !readNumber(j, "security", 0, 2, s.security, c) ||
      !readString(j, "key", 16, s.key, c))
    return false;
  if (s.size != 72 && s.size != 166) return c.at("size").fail("must be 72 or 166");
  return true;
}

bool parseLevels(const json& j, DeviceModel& d, const Ctx& c) {
  if (!j.is_object()) return c.fail("must be an object");
  for (auto it = j.begin(); it != j.end(); ++it) {
    const MibAreaInfo* area = nullptr;
    for (const MibAreaInfo& a : mibAreas())
      if (it.key() == a.key) area = &a;
    if (!area) {
      std::string names;
      for (const MibAreaInfo& a : mibAreas()) names += std::string(names.empty() ? "" : ", ") + a.key;
      return c.fail("unknown area '" + it.key().substr(0, 64) + "' (areas: " + names + ")");
    }
    std::int32_t level = 0;
    if (!readNumber(j, area->key, 0, 255, level, c)) return false;
    d.areaLevels[static_cast<std::size_t>(area->area)] = level;
  }
  return true;
}

bool parseProtocols(const json& j, std::vector<std::int32_t>& out, const Ctx& c) {
  if (!j.is_array()) return c.fail("must be an array of protocol numbers");
  if (j.size() > kMaxProtocols) return c.fail("more than " + std::to_string(kMaxProtocols) + " protocols");
  out.clear();
  for (std::size_t i = 0; i < j.size(); ++i) {
    if (!j[i].is_number_integer() || j[i].get<std::int64_t>() < 1 || j[i].get<std::int64_t>() > 255)
      return c.at(i).fail("must be a protocol number from 1 to 255");
    const auto id = std::int32_t(j[i].get<std::int64_t>());
    if (std::find(out.begin(), out.end(), id) != out.end()) return c.at(i).fail("protocol " + std::to_string(id) + " is listed twice");
    out.push_back(id);
  }
  return true;
}

bool parseCommunity(const json& j, const char* key, std::string& out, const Ctx& c) {
  if (!readString(j, key, kMaxCommunityLength, out, c)) return false;
  if (out.empty()) return c.at(key).fail("must not be empty");
  return true;
}

class Builder {
 public:
  Builder(std::string baseDir, std::string* error) : baseDir_(std::move(baseDir)), error_(error) {}

  bool build(const json& j, std::uint32_t index, DeviceModel& d, const Ctx& c) {
    if (!checkKeys(j, {"address", "name", "family", "enterprise", "mib_level", "levels", "protocols", "token_ring",
                       "trap_form", "catalogue", "get_community", "set_community", "hardware_address", "system",
                       "if_speed", "ports", "variables", "variable_files", "agent", "faults", "discovery",
                       "second_family", "status", "wireless"},
                   c))
      return false;
    std::string text;
    if (!j.contains("address")) return c.fail("missing 'address'");
    if (!readString(j, "address", 15, text, c)) return false;
    auto addr = parseIpv4(text);
    if (!addr) return c.at("address").fail("'" + text + "' is not a dotted IPv4 address");
    if ((*addr >> 24) != 127 || *addr == 0x7F000000u || *addr == 0x7FFFFFFFu)
      return c.at("address").fail("'" + text + "' is not a loopback unit address (127.0.0.1 to 127.255.255.254)");
    d.address = *addr;

    Placeholders ph;
    ph.index = std::to_string(index);
    ph.address = formatIpv4(d.address);
    char defName[16];
    std::snprintf(defName, sizeof defName, "SIM%05u", index);
    d.name = defName;
    if (!readString(j, "name", 64, d.name, c)) return false;
    d.name = ph.expand(d.name);
    if (d.name.size() > 64) return c.at("name").fail("longer than 64 bytes");
    ph.name = d.name;

    if (!readString(j, "family", 4, d.family, c)) return false;
    if (d.family.empty()) return c.at("family").fail("must not be empty");
    if (j.contains("enterprise")) {
      if (!readString(j, "enterprise", 256, text, c)) return false;
      auto e = parseOid(text);
      if (!e || text[0] == '.' || e->size() < 2) return c.at("enterprise").fail("'" + text + "' is not an OID");
      d.enterprise = *e;
    } else if (auto e = enterpriseOfFamily(d.family)) {
      d.enterprise = *e;
    } else {
      return c.fail("family '" + d.family + "' has no known enterprise prefix: give 'enterprise'");
    }
    if (!readNumber(j, "mib_level", 0, 255, d.mibLevel, c)) return false;
    d.catalogue = true;
    if (j.contains("levels") && !parseLevels(j["levels"], d, c.at("levels"))) return false;
    if (j.contains("protocols") && !parseProtocols(j["protocols"], d.protocols, c.at("protocols"))) return false;
    if (!readBool(j, "token_ring", d.tokenRing, c) || !readBool(j, "catalogue", d.catalogue, c) ||
        !readNumber(j, "trap_form", 1, 2, d.trapForm, c))
      return false;
    if (!parseCommunity(j, "get_community", d.getCommunity, c) || !parseCommunity(j, "set_community", d.setCommunity, c))
      return false;

    d.hardwareAddress = std::string{char(0x02), char(0x54), char(0x52), char(d.address >> 16), char(d.address >> 8),
                                    char(d.address)};
    if (j.contains("hardware_address")) {
      if (!readString(j, "hardware_address", 64, text, c)) return false;
      auto hw = fromHex(text);
      if (!hw || hw->size() != 6) return c.at("hardware_address").fail("must be 6 bytes in hexadecimal");
      d.hardwareAddress = *hw;
    }
    ph.hw = toHex(d.hardwareAddress);

    d.system = {"Trellan simulated print server " + d.name, {}, "", d.name, ""};
    if (j.contains("system")) {
      const json& s = j["system"];
      Ctx sc = c.at("system");
      if (!checkKeys(s, {"descr", "object_id", "contact", "name", "location"}, sc)) return false;
      std::string oidText;
      if (!readString(s, "descr", kMaxTextLength, d.system.descr, sc) ||
          !readString(s, "contact", kMaxTextLength, d.system.contact, sc) ||
          !readString(s, "name", kMaxTextLength, d.system.name, sc) ||
          !readString(s, "location", kMaxTextLength, d.system.location, sc) ||
          !readString(s, "object_id", 512, oidText, sc))
        return false;
      if (!oidText.empty() && !parseOidField(oidText, d.enterprise, d.system.objectId, sc.at("object_id"))) return false;
      for (std::string* f : {&d.system.descr, &d.system.contact, &d.system.name, &d.system.location}) {
        *f = ph.expand(*f);
        if (f->size() > kMaxTextLength) return sc.fail("text too long after expansion");
      }
    }
    if (!readNumber(j, "if_speed", 0, 0xFFFFFFFFll, d.ifSpeed, c)) return false;
    d.ports = {{"PORT1", 0, "READY"}};
    if (j.contains("ports") && !parsePorts(j["ports"], ph, d.ports, c.at("ports"))) return false;

    if (j.contains("variable_files")) {
      const json& files = j["variable_files"];
      Ctx fc = c.at("variable_files");
      if (!files.is_array()) return fc.fail("must be an array of file names");
      if (files.size() > kMaxVariableFiles) return fc.fail("more than " + std::to_string(kMaxVariableFiles) + " files");
      for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i].is_string()) return fc.at(i).fail("must be a file name");
        const json* vars = variableFile(files[i].get<std::string>(), fc.at(i));
        if (!vars) return false;
        if (!parseVariables(*vars, d, ph, Ctx{files[i].get<std::string>(), error_})) return false;
      }
    }
    if (j.contains("variables") && !parseVariables(j["variables"], d, ph, c.at("variables"))) return false;

    bool triggersGiven = false;
    if (j.contains("agent") && !parseAgent(j["agent"], d.agent, d.enterprise, triggersGiven, c.at("agent")))
      return false;
    if (j.contains("faults") && !parseFaults(j["faults"], d.faults, c.at("faults"))) return false;
    if (std::string statusError; j.contains("status") && !parseStatusSettings(j["status"], d.status, statusError))
      return c.at("status").fail(statusError);
    if (j.contains("discovery") && !parseDiscovery(j["discovery"], d.discovery, c.at("discovery"))) return false;
    if (j.contains("second_family")) {
      d.secondFamily = SecondFamilySettings{};
      if (!parseSecondFamily(j["second_family"], *d.secondFamily, c.at("second_family"))) return false;
    }
    if (j.contains("wireless")) {
      std::string why;
      if (!parseWirelessSettings(j["wireless"], d.wireless, why)) return c.at("wireless").fail(why);
    }
    // A unit without an SNMP agent of the family (reply format 2, the second family) carries no
    // private MIB unless the file asks for it. The catalogue itself is added by the agent at the
    // unit's first SNMP request (ensureCatalogue).
    if (!j.contains("catalogue") && (d.discovery.format == 2 || d.secondFamily)) d.catalogue = false;
    if (!triggersGiven) d.agent.triggers = d.defaultTriggers();
    d.populateDerived();
    if (d.store.size() > kMaxVariablesPerDevice)
      return c.fail("more than " + std::to_string(kMaxVariablesPerDevice) + " variables");
    return true;
  }

 private:
  const json* variableFile(const std::string& name, const Ctx& c) {
    auto it = cache_.find(name);
    if (it != cache_.end()) return &it->second;
    if (name.empty() || name.size() > 4096) return c.fail("bad file name"), nullptr;
    std::string path = (name[0] == '/' || baseDir_.empty()) ? name : baseDir_ + "/" + name;
    std::string text, err;
    if (!readBoundedFile(path, kMaxDataFileBytes, text, err)) return c.fail(err), nullptr;
    json parsed = json::parse(text, nullptr, false);
    if (parsed.is_discarded()) return c.fail("'" + path + "' is not valid JSON"), nullptr;
    if (parsed.is_object()) {
      if (!checkKeys(parsed, {"variables"}, Ctx{path, error_})) return nullptr;
      parsed = parsed.value("variables", json::array());
    }
    if (!parsed.is_array()) return c.fail("'" + path + "' holds no variable list"), nullptr;
    return &cache_.emplace(name, std::move(parsed)).first->second;
  }

  std::string baseDir_;
  std::string* error_;
  std::map<std::string, json> cache_;
};

}  // namespace

bool readBoundedFile(const std::string& path, std::size_t limit, std::string& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open '" + path + "'";
    return false;
  }
  out.clear();
  char buf[65536];
  while (in) {
    in.read(buf, sizeof buf);
    out.append(buf, std::size_t(in.gcount()));
    if (out.size() > limit) {
      error = "'" + path + "' is larger than " + std::to_string(limit) + " bytes";
      return false;
    }
  }
  return true;
}

bool parseFleetText(std::string_view text, const std::string& baseDir, const FleetRequest& request,
                    std::vector<DeviceModel>& out, std::string& error) {
  out.clear();
  json doc = json::object();
  if (!text.empty()) {
    try {
      doc = json::parse(text);
    } catch (const json::exception& e) {
      // parse_error, and out_of_range for a number too large for a double ("1e9999").
      // The parser quotes what it last read, which may be long or binary: keep the message short.
      std::string what = e.what();
      if (what.size() > 200) what = what.substr(0, 200) + "...";
      error = "data file is not valid JSON: " + what;
      return false;
    }
  }
  Ctx root{"", &error};
  if (!checkKeys(doc, {"defaults", "generate", "devices"}, root)) return false;

  json defaults = json::object();
  if (doc.contains("defaults")) {
    if (!doc["defaults"].is_object()) return root.at("defaults").fail("must be an object");
    if (doc["defaults"].contains("address")) return root.at("defaults").fail("'address' belongs to a device");
    defaults = doc["defaults"];
  }
  if (!request.overridesJson.empty()) {
    json over = json::parse(request.overridesJson, nullptr, false);
    if (!over.is_object()) {
      error = "command-line settings are not a JSON object";
      return false;
    }
    mergeDevice(defaults, over);
  }

  std::vector<std::pair<json, std::string>> specs;  // merged device objects with their error path
  if (doc.contains("devices")) {
    const json& list = doc["devices"];
    if (!list.is_array()) return root.at("devices").fail("must be an array");
    if (list.size() > kMaxDevices) return root.at("devices").fail("more than " + std::to_string(kMaxDevices) + " devices");
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (!list[i].is_object()) return root.at("devices").at(i).fail("must be an object");
      json merged = defaults;
      mergeDevice(merged, list[i]);
      specs.emplace_back(std::move(merged), "devices[" + std::to_string(i) + "]");
    }
  }

  // Generated ranges: the file's "generate" and the command line's --count/--first.
  auto generate = [&](std::uint64_t count, const std::string& firstText, const Ctx& c) {
    auto first = parseIpv4(firstText);
    if (!first || (*first >> 24) != 127) return c.fail("first address '" + firstText + "' is not in 127.0.0.0/8");
    if (count + specs.size() > kMaxDevices) return c.fail("more than " + std::to_string(kMaxDevices) + " devices");
    std::uint32_t a = *first;
    for (std::uint64_t n = 0; n < count; ++n) {
      while ((a & 0xFF) == 0 || (a & 0xFF) == 255) ++a;
      if ((a >> 24) != 127 || a == 0x7FFFFFFFu) return c.fail("the range runs past 127.255.255.254");
      json merged = defaults;
      merged["address"] = formatIpv4(a);
      specs.emplace_back(std::move(merged), "generated device " + formatIpv4(a));
      ++a;
    }
    return true;
  };
  if (doc.contains("generate")) {
    const json& g = doc["generate"];
    Ctx gc = root.at("generate");
    if (!checkKeys(g, {"count", "first"}, gc)) return false;
    std::uint32_t count = 0;
    std::string first = kDefaultFirstAddress;
    if (!readNumber(g, "count", 0, kMaxDevices, count, gc) || !readString(g, "first", 15, first, gc)) return false;
    if (!generate(count, first, gc)) return false;
  }
  if (request.generateCount) {
    if (request.generateCount > kMaxDevices) {
      error = "--count: at most " + std::to_string(kMaxDevices) + " devices";
      return false;
    }
    if (!generate(request.generateCount,
                  request.generateFirst.empty() ? std::string(kDefaultFirstAddress) : request.generateFirst,
                  Ctx{"--first", &error}))
      return false;
  }

  Builder builder(baseDir, &error);
  std::set<std::uint32_t> seen;
  out.reserve(specs.size());
  for (std::size_t i = 0; i < specs.size(); ++i) {
    DeviceModel d;
    if (!builder.build(specs[i].first, std::uint32_t(i + 1), d, Ctx{specs[i].second, &error})) return false;
    if (!seen.insert(d.address).second) {
      error = specs[i].second + ": address " + formatIpv4(d.address) + " is used twice";
      return false;
    }
    out.push_back(std::move(d));
  }
  if (out.empty()) {
    error = "no devices: give a data file with devices or --count";
    return false;
  }
  return true;
}

bool loadFleet(const FleetRequest& request, std::vector<DeviceModel>& out, std::string& error) {
  std::string text, baseDir;
  if (!request.dataFile.empty()) {
    if (!readBoundedFile(request.dataFile, kMaxDataFileBytes, text, error)) return false;
    auto slash = request.dataFile.find_last_of('/');
    baseDir = slash == std::string::npos ? "." : request.dataFile.substr(0, slash);
    if (baseDir.empty()) baseDir = "/";
  }
  if (!parseFleetText(text, baseDir, request, out, error)) {
    if (!request.dataFile.empty() && error.rfind("data file", 0) != 0) error = request.dataFile + ": " + error;
    return false;
  }
  return true;
}

}  // namespace sim
