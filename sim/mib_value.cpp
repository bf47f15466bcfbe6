// Parsing and formatting of OIDs, addresses and byte strings for the simulator.
#include "sim/mib_value.h"

#include <algorithm>
#include <cstdio>

namespace sim {

bool isKnownSyntax(std::uint32_t code) {
  switch (code) {
    case 0x02: case 0x04: case 0x05: case 0x06: case 0x40: case 0x41:
    case 0x42: case 0x43: case 0x44: case 0x46: case 0x47:
      return true;
    default:
      return false;
  }
}

const char* syntaxName(Syntax s) {
  switch (s) {
    case Syntax::Integer: return "int";
    case Syntax::Octets: return "octets";
    case Syntax::Null: return "null";
    case Syntax::ObjectId: return "oid";
    case Syntax::IpAddress: return "ip";
    case Syntax::Counter: return "counter";
    case Syntax::Gauge: return "gauge";
    case Syntax::TimeTicks: return "ticks";
    case Syntax::Opaque: return "opaque";
    case Syntax::Counter64: return "counter64";
    case Syntax::Unsigned32: return "unsigned";
  }
  return "unknown";
}

std::optional<Syntax> syntaxFromName(std::string_view n) {
  struct Alias { std::string_view name; Syntax syntax; };
  static constexpr Alias kAliases[] = {
      {"int", Syntax::Integer},        {"integer", Syntax::Integer},   {"octets", Syntax::Octets},
      {"text", Syntax::Octets},        {"hex", Syntax::Octets},        {"bytes", Syntax::Octets},
      {"null", Syntax::Null},          {"oid", Syntax::ObjectId},      {"ip", Syntax::IpAddress},
      {"counter", Syntax::Counter},    {"gauge", Syntax::Gauge},       {"ticks", Syntax::TimeTicks},
      {"opaque", Syntax::Opaque},      {"counter64", Syntax::Counter64}, {"unsigned", Syntax::Unsigned32},
      {"uns", Syntax::Gauge},
  };
  for (const auto& a : kAliases)
    if (a.name == n) return a.syntax;
  return std::nullopt;
}

std::optional<Oid> parseOid(std::string_view text) {
  if (!text.empty() && text.front() == '.') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  Oid out;
  std::uint64_t part = 0;
  bool digits = false;
  for (char c : text) {
    if (c == '.') {
      if (!digits || out.size() >= kMaxOidLength) return std::nullopt;
      out.push_back(std::uint32_t(part));
      part = 0;
      digits = false;
    } else if (c >= '0' && c <= '9') {
      part = part * 10 + std::uint64_t(c - '0');
      if (part > 0xFFFFFFFFull) return std::nullopt;
      digits = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits || out.size() >= kMaxOidLength) return std::nullopt;
  out.push_back(std::uint32_t(part));
  return out;
}

std::string formatOid(const Oid& oid) {
  std::string s;
  for (std::size_t i = 0; i < oid.size(); ++i) {
    if (i) s += '.';
    s += std::to_string(oid[i]);
  }
  return s;
}

bool startsWith(const Oid& oid, const Oid& prefix) {
  return oid.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

Oid concat(const Oid& a, const Oid& b) {
  Oid r = a;
  r.insert(r.end(), b.begin(), b.end());
  return r;
}

std::optional<std::uint32_t> parseIpv4(std::string_view text) {
  if (text.empty() || text.size() > 15) return std::nullopt;
  std::uint32_t result = 0;
  int parts = 0;
  std::size_t pos = 0;
  while (parts < 4) {
    std::uint32_t v = 0;
    std::size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 3) {
      v = v * 10 + std::uint32_t(text[pos] - '0');
      ++pos;
    }
    if (pos == start || v > 255) return std::nullopt;
    result = (result << 8) | v;
    ++parts;
    if (parts < 4) {
      if (pos >= text.size() || text[pos] != '.') return std::nullopt;
      ++pos;
    }
  }
  if (pos != text.size()) return std::nullopt;
  return result;
}

std::string formatIpv4(std::uint32_t a) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", (a >> 24) & 255u, (a >> 16) & 255u, (a >> 8) & 255u, a & 255u);
  return buf;
}

std::string toHex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    s += kDigits[c >> 4];
    s += kDigits[c & 15];
  }
  return s;
}

std::optional<std::string> fromHex(std::string_view text) {
  std::string out;
  int high = -1;
  for (char c : text) {
    if (c == ':' || c == '-' || c == ' ') {
      if (high >= 0) return std::nullopt;  // separators only between whole bytes
      continue;
    }
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else return std::nullopt;
    if (high < 0) {
      high = v;
    } else {
      out += char((high << 4) | v);
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return out;
}

bool isPrintable(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u <= 0x7E;
  });
}

}  // namespace sim
