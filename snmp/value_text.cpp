#include "snmp/value_text.h"

#include <charconv>
#include <limits>

namespace snmp::text {

namespace {

bool isByteSyntax(smiUINT32 s) {
  return s == SNMP_SYNTAX_OCTETS || s == SNMP_SYNTAX_IPADDR || s == SNMP_SYNTAX_OPAQUE || s == SNMP_SYNTAX_NSAPADDR ||
         s == SNMP_SYNTAX_BITS;
}

template <typename T>
bool parseNumber(std::string_view text, T& out) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, out, 10);
  return ec == std::errc() && p == end;
}

struct SyntaxName {
  const char* name;
  smiUINT32 syntax;
};
constexpr SyntaxName kSyntaxes[] = {
    {"null", SNMP_SYNTAX_NULL},       {"int", SNMP_SYNTAX_INT},
    {"octets", SNMP_SYNTAX_OCTETS},   {"hex", SNMP_SYNTAX_OCTETS},
    {"ipaddr", SNMP_SYNTAX_IPADDR},   {"oid", SNMP_SYNTAX_OID},
    {"counter32", SNMP_SYNTAX_CNTR32}, {"gauge32", SNMP_SYNTAX_GAUGE32},
    {"timeticks", SNMP_SYNTAX_TIMETICKS}, {"uint32", SNMP_SYNTAX_UINT32},
    {"counter64", SNMP_SYNTAX_CNTR64}, {"opaque", SNMP_SYNTAX_OPAQUE},
    {"nsap", SNMP_SYNTAX_NSAPADDR},   {"bits", SNMP_SYNTAX_BITS},
    {"nosuchobject", SNMP_SYNTAX_NOSUCHOBJECT}, {"nosuchinstance", SNMP_SYNTAX_NOSUCHINSTANCE},
    {"endofmibview", SNMP_SYNTAX_ENDOFMIBVIEW},
};

const char* nameOf(smiUINT32 syntax) {
  for (const auto& s : kSyntaxes)
    if (s.syntax == syntax) return s.name;
  return nullptr;
}

}  // namespace

OwnedValue& OwnedValue::operator=(const OwnedValue& other) {
  if (this != &other) {
    value_ = other.value_;
    bytes_ = other.bytes_;
    ids_ = other.ids_;
    attach();
  }
  return *this;
}

void OwnedValue::attach() {
  if (value_.syntax == SNMP_SYNTAX_OID) {
    value_.value.oid = {static_cast<smiUINT32>(ids_.size()), ids_.empty() ? nullptr : ids_.data()};
  } else if (value_.syntax == SNMP_SYNTAX_BITS) {
    value_.value.string.ptr = bytes_.empty() ? nullptr : bytes_.data();  // len holds the bit count
  } else if (isByteSyntax(value_.syntax)) {
    value_.value.string = {static_cast<smiUINT32>(bytes_.size()), bytes_.empty() ? nullptr : bytes_.data()};
  }
}

std::string oidToText(const smiOID& oid) {
  std::string s;
  for (smiUINT32 i = 0; i < oid.len && oid.ptr; ++i) {
    if (i) s += '.';
    s += std::to_string(oid.ptr[i]);
  }
  return s;
}

std::string oidToText(const std::vector<smiUINT32>& ids) {
  return oidToText(smiOID{static_cast<smiUINT32>(ids.size()), const_cast<smiUINT32*>(ids.data())});
}

bool parseOid(std::string_view text, std::vector<smiUINT32>& ids) {
  ids.clear();
  if (!text.empty() && text.front() == '.') text.remove_prefix(1);
  if (text.empty()) return false;
  while (true) {
    const std::size_t dot = text.find('.');
    smiUINT32 v = 0;
    if (!parseNumber(text.substr(0, dot), v)) return false;
    ids.push_back(v);
    if (dot == std::string_view::npos) return true;
    text.remove_prefix(dot + 1);
  }
}

std::string toHex(const smiBYTE* bytes, std::size_t length, bool spaced) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  s.reserve(length * 3);
  for (std::size_t i = 0; i < length; ++i) {
    if (spaced && i) s += ' ';
    s += digits[bytes[i] >> 4];
    s += digits[bytes[i] & 15];
  }
  return s;
}

bool parseHex(std::string_view text, std::vector<smiBYTE>& bytes) {
  bytes.clear();
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  int high = -1;
  for (char c : text) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else if (c == ' ' || c == '\t' || c == ':' || c == '-' || c == '\n') {
      if (high >= 0) return false;  // a separator inside a byte
      continue;
    } else {
      return false;
    }
    if (high < 0) {
      high = v;
    } else {
      bytes.push_back(static_cast<smiBYTE>(high << 4 | v));
      high = -1;
    }
  }
  return high < 0;
}

const char* pduTypeName(smiINT type) {
  switch (type) {
    case SNMP_PDU_GET: return "get";
    case SNMP_PDU_GETNEXT: return "getnext";
    case SNMP_PDU_RESPONSE: return "response";
    case SNMP_PDU_SET: return "set";
    case SNMP_PDU_V1TRAP: return "trap";
    case SNMP_PDU_GETBULK: return "getbulk";
    case SNMP_PDU_INFORM: return "inform";
    case SNMP_PDU_TRAP: return "trap2";
    default: return "";
  }
}

bool parsePduType(std::string_view name, smiINT& type) {
  for (smiINT t = SNMP_PDU_GET; t <= SNMP_PDU_TRAP; ++t) {
    if (name == pduTypeName(t)) {
      type = t;
      return true;
    }
  }
  return false;
}

const char* errorStatusName(smiINT status) {
  static const char* const names[] = {"noError", "tooBig", "noSuchName", "badValue", "readOnly", "genErr"};
  return status >= 0 && status <= 5 ? names[status] : "";
}

bool isPrintable(const smiBYTE* bytes, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    if (bytes[i] < 0x20 || bytes[i] > 0x7E) return false;
  return true;
}

ValueText formatValue(const smiVALUE& v) {
  const smiOCTETS& s = v.value.string;
  switch (v.syntax) {
    case SNMP_SYNTAX_INT:
      return {"int", std::to_string(v.value.sNumber)};
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      return {nameOf(v.syntax), std::to_string(v.value.uNumber)};
    case SNMP_SYNTAX_CNTR64:
      return {"counter64",
              std::to_string((std::uint64_t{v.value.hNumber.hipart} << 32) | v.value.hNumber.lopart)};
    case SNMP_SYNTAX_OCTETS:
      if (isPrintable(s.ptr, s.len)) return {"octets", std::string(reinterpret_cast<const char*>(s.ptr), s.len)};
      return {"hex", toHex(s.ptr, s.len)};
    case SNMP_SYNTAX_IPADDR:
      if (s.len == 4) {
        return {"ipaddr", std::to_string(s.ptr[0]) + "." + std::to_string(s.ptr[1]) + "." + std::to_string(s.ptr[2]) +
                              "." + std::to_string(s.ptr[3])};
      }
      return {"ipaddr", toHex(s.ptr, s.len)};
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      return {nameOf(v.syntax), toHex(s.ptr, s.len)};
    case SNMP_SYNTAX_BITS: {
      const std::size_t bytes = (static_cast<std::size_t>(s.len) + 7) / 8;
      std::string text = toHex(s.ptr, bytes);
      if (s.len % 8) text += "/" + std::to_string(s.len);
      return {"bits", text};
    }
    case SNMP_SYNTAX_OID:
      return {"oid", oidToText(v.value.oid)};
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      return {nameOf(v.syntax), ""};
    default:
      return {"syntax-" + std::to_string(v.syntax), ""};
  }
}

std::string formatValueSpec(const smiVALUE& value) {
  const ValueText t = formatValue(value);
  switch (value.syntax) {
    case SNMP_SYNTAX_NULL:
    case SNMP_SYNTAX_NOSUCHOBJECT:
    case SNMP_SYNTAX_NOSUCHINSTANCE:
    case SNMP_SYNTAX_ENDOFMIBVIEW:
      return t.syntax;
    default:
      return t.syntax + ":" + t.text;
  }
}

bool parseValue(std::string_view syntax, std::string_view text, OwnedValue& out, std::string& error) {
  const SyntaxName* found = nullptr;
  for (const auto& s : kSyntaxes)
    if (syntax == s.name) found = &s;
  if (!found) {
    error = "unknown syntax '" + std::string(syntax) + "' (use null, int, octets, hex, ipaddr, oid, counter32, gauge32, "
            "timeticks, uint32, counter64, opaque, nsap, bits, nosuchobject, nosuchinstance, endofmibview)";
    return false;
  }
  out = OwnedValue();
  smiVALUE& v = out.raw();
  v.syntax = found->syntax;
  const std::string what = "'" + std::string(text) + "' is not a valid " + found->name + " value";
  switch (found->syntax) {
    case SNMP_SYNTAX_INT: {
      std::int32_t n;
      if (!parseNumber(text, n)) {
        error = what + " (a whole number from -2147483648 to 2147483647)";
        return false;
      }
      v.value.sNumber = n;
      return true;
    }
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32: {
      std::uint32_t n;
      if (!parseNumber(text, n)) {
        error = what + " (a whole number from 0 to 4294967295)";
        return false;
      }
      v.value.uNumber = n;
      return true;
    }
    case SNMP_SYNTAX_CNTR64: {
      std::uint64_t n;
      if (!parseNumber(text, n)) {
        error = what + " (a whole number from 0 to 18446744073709551615)";
        return false;
      }
      v.value.hNumber = {static_cast<smiUINT32>(n >> 32), static_cast<smiUINT32>(n)};
      return true;
    }
    case SNMP_SYNTAX_OCTETS:
      if (std::string_view(found->name) == "hex") {
        if (!parseHex(text, out.bytes())) {
          error = what + " (pairs of hex digits)";
          return false;
        }
      } else {
        out.bytes().assign(text.begin(), text.end());
      }
      break;
    case SNMP_SYNTAX_IPADDR: {
      std::vector<smiUINT32> parts;
      if (!parseOid(text, parts) || parts.size() != 4 || text.front() == '.' || parts[0] > 255 || parts[1] > 255 ||
          parts[2] > 255 || parts[3] > 255) {
        error = what + " (a dotted IPv4 address such as 10.0.0.7)";
        return false;
      }
      for (auto p : parts) out.bytes().push_back(static_cast<smiBYTE>(p));
      break;
    }
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      if (!parseHex(text, out.bytes())) {
        error = what + " (pairs of hex digits)";
        return false;
      }
      break;
    case SNMP_SYNTAX_BITS: {
      const std::size_t slash = text.find('/');
      if (!parseHex(text.substr(0, slash), out.bytes())) {
        error = what + " (pairs of hex digits, optionally /LENGTH in bits)";
        return false;
      }
      std::uint32_t bits = static_cast<std::uint32_t>(out.bytes().size() * 8);
      if (slash != std::string_view::npos) {
        std::uint32_t n;
        if (!parseNumber(text.substr(slash + 1), n) || n > bits || n + 8 <= bits) {
          error = what + " (the length in bits must fit the last byte given)";
          return false;
        }
        bits = n;
      }
      v.value.string.len = bits;
      break;
    }
    case SNMP_SYNTAX_OID:
      if (!parseOid(text, out.ids()) || out.ids().size() < 2) {
        error = what + " (a dotted OID of two or more numbers such as 1.3.6.1.2.1.1.2.0)";
        return false;
      }
      break;
    default:  // the empty syntaxes
      if (!text.empty()) {
        error = std::string(found->name) + " takes no value";
        return false;
      }
      v.value.empty = 0;
      return true;
  }
  out.attach();
  return true;
}

bool parseValueSpec(std::string_view spec, OwnedValue& out, std::string& error) {
  const std::size_t colon = spec.find(':');
  if (colon == std::string_view::npos) return parseValue(spec, {}, out, error);
  return parseValue(spec.substr(0, colon), spec.substr(colon + 1), out, error);
}

}  // namespace snmp::text
