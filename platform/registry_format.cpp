#include "platform/registry_format.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace platform::regformat {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

// --- UTF-8 / UTF-16 ---

// Length of the well-formed UTF-8 sequence at s[i] (1..4) with its code point, or 0.
std::size_t decodeUtf8At(std::string_view s, std::size_t i, char32_t& cp) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - i < len) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// UTF-16 code units for a byte string; bytes outside valid UTF-8 become U+DC80..U+DCFF.
std::vector<std::uint16_t> toUtf16(std::string_view s) {
  std::vector<std::uint16_t> units;
  units.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    std::size_t len = decodeUtf8At(s, i, cp);
    if (len == 0) {
      units.push_back(static_cast<std::uint16_t>(0xDC00 | static_cast<unsigned char>(s[i])));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      units.push_back(static_cast<std::uint16_t>(0xD800 | (cp >> 10)));
      units.push_back(static_cast<std::uint16_t>(0xDC00 | (cp & 0x3FF)));
    } else {
      units.push_back(static_cast<std::uint16_t>(cp));
    }
    i += len;
  }
  return units;
}

// The inverse of toUtf16. False for an unpaired surrogate that is not an escaped byte.
// Writes the UTF-8 form of `cp` at `w` (room for 4 bytes) and returns the end.
char* putUtf8(char* w, char32_t cp) {
  if (cp < 0x80) {
    *w++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *w++ = static_cast<char>(0xC0 | (cp >> 6));
    *w++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *w++ = static_cast<char>(0xE0 | (cp >> 12));
    *w++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *w++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *w++ = static_cast<char>(0xF0 | (cp >> 18));
    *w++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *w++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *w++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return w;
}

// The inverse of toUtf16, appended to `out`. False for an unpaired surrogate that is not an
// escaped byte.
bool fromUtf16(const std::uint16_t* units, std::size_t count, std::string& out) {
  const std::size_t start = out.size();
  out.resize(start + count * 3 + 1);  // no unit needs more than 3 bytes, a pair needs 4
  char* const begin = out.data() + start;
  char* w = begin;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        char32_t cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00);
        w = putUtf8(w, cp);
        ++i;
        continue;
      }
      out.resize(start);
      return false;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
      if (u < 0xDC80 || u > 0xDCFF) {
        out.resize(start);
        return false;
      }
      *w++ = static_cast<char>(u & 0xFF);
      continue;
    }
    w = putUtf8(w, u);
  }
  out.resize(start + static_cast<std::size_t>(w - begin));
  return true;
}

bool hasControl(std::string_view s, bool allowTab) {
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if ((c < 0x20 && !(allowTab && c == '\t')) || c == 0x7F) return true;
  }
  return false;
}

// --- writing ---

void appendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
}

bool needsHexForm(std::string_view s) {
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 && c != '\t') return true;
  }
  return !isUtf8(s);
}

void appendHexString(std::string& out, std::size_t lineStart, std::string_view s) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::vector<std::uint16_t> units = toUtf16(s);
  units.push_back(0);  // REG_SZ data carries its terminator
  out += "hex(1):";
  std::size_t column = out.size() - lineStart;
  const std::size_t bytes = units.size() * 2;
  // Worst case: "xx," per byte and a line break (backslash, LF, two blanks) every 25 bytes.
  const std::size_t start = out.size();
  out.resize(start + bytes * 3 + (bytes / 25 + 2) * 4);
  char* const begin = out.data() + start;
  char* w = begin;
  for (std::size_t i = 0; i < bytes; ++i) {
    // Break after a comma so that no line passes 80 columns, as regedit does.
    if (i > 0 && column + 3 > 77) {
      *w++ = '\\';
      *w++ = '\n';
      *w++ = ' ';
      *w++ = ' ';
      column = 2;
    }
    std::uint16_t u = units[i / 2];
    unsigned byte = (i % 2 == 0) ? (u & 0xFF) : (u >> 8);
    *w++ = kDigits[byte >> 4];
    *w++ = kDigits[byte & 0xF];
    column += 2;
    if (i + 1 < bytes) {
      *w++ = ',';
      ++column;
    }
  }
  out.resize(start + static_cast<std::size_t>(w - begin));
}

void appendValue(std::string& out, const std::string& name, const RegValue& v) {
  std::size_t lineStart = out.size();
  if (name.empty()) {
    out += '@';
  } else {
    appendQuoted(out, name);
  }
  out += '=';
  if (v.type == RegValue::Type::Dword) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v.dword));
    out += buf;
  } else if (needsHexForm(v.text)) {
    appendHexString(out, lineStart, v.text);
  } else {
    appendQuoted(out, v.text);
  }
  out += '\n';
}

void appendKey(std::string& out, std::string& path, const RegKey& key, bool writeHeader) {
  if (writeHeader) {
    out += '[';
    out += path;
    out += "]\n";
    for (const auto& [n, v] : key.values) appendValue(out, n, v);
    out += '\n';
  }
  for (const auto& sub : key.subkeys) {
    std::size_t keep = path.size();
    path += '\\';
    path += sub->name;
    appendKey(out, path, *sub, true);
    path.resize(keep);
  }
}

// --- reading ---

std::string_view trimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && namesEqual(s.substr(0, prefix.size()), prefix);
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(RegKey& hive, ParseError& error) : hive_(hive), error_(error) {}

  bool run(std::string_view text) {
    std::string decoded;
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF &&
        static_cast<unsigned char>(text[1]) == 0xFE) {
      if (!decodeUtf16File(text.substr(2), decoded)) return false;
      text = decoded;
    } else if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
      text.remove_prefix(3);
    }
    text_ = text;
    std::string_view raw;
    do {
      if (!nextLine(raw)) return true;  // an empty file is an empty store
    } while (trimBlanks(raw).empty());
    std::string_view head = trimBlanks(raw);
    if (head != kHeader5 && head != kHeader4) {
      return fail("missing \"Windows Registry Editor Version 5.00\" header");
    }
    while (nextLine(raw)) {
      std::string_view line = trimBlanks(raw);
      if (line.size() > kMaxLineBytes) return fail("line too long");
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[') {
        if (!parseKeyLine(line)) return false;
      } else if (!parseValueLine(line)) {
        return false;
      }
    }
    return true;
  }

 private:
  bool fail(std::string message) {
    error_.line = lineNo_;
    error_.message = std::move(message);
    return false;
  }

  bool decodeUtf16File(std::string_view bytes, std::string& out) {
    if (bytes.size() % 2 != 0) {
      error_ = {0, "UTF-16 file with an odd number of bytes"};
      return false;
    }
    std::vector<std::uint16_t> units(bytes.size() / 2);
    for (std::size_t k = 0; k < units.size(); ++k) {
      units[k] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                            (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
    }
    if (!fromUtf16(units.data(), units.size(), out)) {
      error_ = {0, "invalid UTF-16 text"};
      return false;
    }
    return true;
  }

  // The next line without its line end; false at the end of the text.
  bool nextLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t nl = text_.find('\n', pos_);
    std::size_t end = nl == std::string_view::npos ? text_.size() : nl;
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    ++lineNo_;
    return true;
  }

  bool parseKeyLine(std::string_view line) {
    if (line.back() != ']') return fail("key line without closing \"]\"");
    std::string_view path = line.substr(1, line.size() - 2);
    if (!path.empty() && path[0] == '-') return fail("key deletion lines are not supported");
    std::size_t depth = 0;
    RegKey* key = nullptr;
    std::size_t pos = 0;
    for (;;) {
      std::size_t slash = path.find('\\', pos);
      std::string_view part = path.substr(pos, slash == std::string_view::npos ? std::string_view::npos : slash - pos);
      if (!key) {
        if (!namesEqual(part, kHive)) return fail("only HKEY_CURRENT_USER keys are supported");
        key = &hive_;
      } else {
        if (!validKeyName(part)) return fail("invalid key name");
        if (++depth > kMaxKeyDepth) return fail("keys nested too deeply");
        key = &child(*key, part);
      }
      if (slash == std::string_view::npos) break;
      pos = slash + 1;
    }
    current_ = key;
    return true;
  }

  RegKey& child(RegKey& parent, std::string_view name) {
    auto [slot, created] = childIndex_.try_emplace(&parent);
    auto& index = slot->second;
    if (created) {
      for (const auto& k : parent.subkeys) index.emplace(foldName(k->name), k.get());
    }
    std::string folded = foldName(name);
    auto it = index.find(folded);
    if (it != index.end()) return *it->second;
    parent.subkeys.push_back(std::make_unique<RegKey>(std::string(name)));
    RegKey* k = parent.subkeys.back().get();
    index.emplace(std::move(folded), k);
    return *k;
  }

  // Reads a quoted name or string starting at line[pos] == '"'; pos ends after the closing quote.
  bool parseQuoted(std::string_view line, std::size_t& pos, std::string& out, std::size_t limit) {
    ++pos;
    for (;;) {
      if (pos >= line.size()) return fail("unterminated quoted text");
      char c = line[pos++];
      if (c == '"') return true;
      if (c == '\\' && pos < line.size() && (line[pos] == '\\' || line[pos] == '"')) c = line[pos++];
      if (out.size() >= limit) return fail("text too long");
      out += c;
    }
  }

  bool parseValueLine(std::string_view line) {
    if (!current_) return fail("value outside a key");
    std::string name;
    std::size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      if (!parseQuoted(line, pos, name, kMaxValueNameBytes)) return false;
      if (!validValueName(name)) return fail("invalid value name");
    } else {
      return fail("expected a key or a value");
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '=') return fail("expected \"=\" after the value name");
    std::string_view data = trimBlanks(line.substr(pos + 1));

    RegValue value;
    if (!data.empty() && data[0] == '"') {
      std::size_t p = 0;
      std::string text;
      if (!parseQuoted(data, p, text, kMaxStringBytes)) return false;
      if (p != data.size()) return fail("text after the closing quote");
      value = RegValue::ofString(std::move(text));
    } else if (startsWithNoCase(data, "dword:")) {
      std::string_view digits = data.substr(6);
      if (digits.empty() || digits.size() > 8) return fail("dword needs 1 to 8 hex digits");
      std::uint32_t v = 0;
      for (char c : digits) {
        int d = hexDigit(c);
        if (d < 0) return fail("dword needs 1 to 8 hex digits");
        v = (v << 4) | static_cast<std::uint32_t>(d);
      }
      value = RegValue::ofDword(v);
    } else if (startsWithNoCase(data, "hex(1):")) {
      std::string text;
      if (!parseHexString(data.substr(7), text)) return false;
      value = RegValue::ofString(std::move(text));
    } else if (data == "-") {
      return fail("value deletion lines are not supported");
    } else {
      return fail("unsupported value type");
    }
    auto [slot, created] = valueIndex_.try_emplace(current_);
    auto& index = slot->second;
    if (created) {
      for (std::size_t k = 0; k < current_->values.size(); ++k) index.emplace(foldName(current_->values[k].first), k);
    }
    std::string folded = foldName(name);
    auto it = index.find(folded);
    if (it != index.end()) {
      current_->values[it->second].second = std::move(value);  // a repeated name: the last one counts
    } else {
      index.emplace(std::move(folded), current_->values.size());
      current_->values.emplace_back(std::move(name), std::move(value));
    }
    return true;
  }

  // Hex bytes "xx,xx,..." that may continue over lines ending in "\".
  bool parseHexString(std::string_view first, std::string& out) {
    std::string joined;
    std::string_view part = first;
    for (;;) {
      part = trimBlanks(part);
      bool more = !part.empty() && part.back() == '\\';
      if (more) part.remove_suffix(1);
      if (joined.size() + part.size() > kMaxLineBytes) return fail("hex data too long");
      joined += part;
      if (!more) break;
      if (!nextLine(part)) return fail("hex data continues past the end of the file");
    }
    // "xx" pairs separated by commas, blanks allowed around each pair, read as UTF-16LE units.
    const std::size_t n = joined.size();
    std::vector<std::uint8_t> bytes(n / 3 + 1);
    std::size_t count = 0;
    std::size_t p = 0;
    auto skipBlanks = [&] {
      while (p < n && (joined[p] == ' ' || joined[p] == '\t')) ++p;
    };
    skipBlanks();
    while (p < n) {
      int hi = p + 1 < n ? hexDigit(joined[p]) : -1;
      int lo = hi >= 0 ? hexDigit(joined[p + 1]) : -1;
      if (lo < 0) return fail("bad hex byte");
      bytes[count++] = static_cast<std::uint8_t>(hi * 16 + lo);
      p += 2;
      skipBlanks();
      if (p == n) break;
      if (joined[p] != ',') return fail("bad hex byte");
      ++p;
      skipBlanks();
      if (p == n) return fail("bad hex byte");
    }
    if (count % 2 != 0) return fail("hex(1) data with an odd number of bytes");
    std::vector<std::uint16_t> units(count / 2);
    for (std::size_t k = 0; k < units.size(); ++k) {
      units[k] = static_cast<std::uint16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
    }
    std::size_t used = units.size();
    if (used > 0 && units[used - 1] == 0) --used;  // the terminator
    if (!fromUtf16(units.data(), used, out)) return fail("hex(1) data is not valid UTF-16");
    if (out.size() > kMaxStringBytes) return fail("text too long");
    return true;
  }

  RegKey& hive_;
  ParseError& error_;
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t lineNo_ = 0;
  RegKey* current_ = nullptr;
  // Lookups by folded name, so that a file with very many siblings still parses in linear time.
  std::unordered_map<const RegKey*, std::unordered_map<std::string, RegKey*>> childIndex_;
  std::unordered_map<const RegKey*, std::unordered_map<std::string, std::size_t>> valueIndex_;
};

}  // namespace

bool isUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp = 0;
    std::size_t len = decodeUtf8At(s, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

bool validKeyName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxKeyNameBytes && name.find('\\') == std::string_view::npos &&
         !hasControl(name, false) && isUtf8(name);
}

bool validValueName(std::string_view name) {
  return name.size() <= kMaxValueNameBytes && !hasControl(name, false) && isUtf8(name);
}

bool validValue(const RegValue& value) {
  return value.type == RegValue::Type::Dword || value.text.size() <= kMaxStringBytes;
}

bool parse(std::string_view text, RegKey& hive, ParseError& error) {
  if (text.size() > kMaxFileBytes) {
    error = {0, "file larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB"};
    return false;
  }
  Parser parser(hive, error);
  return parser.run(text);
}

std::string serialize(const RegKey& hive) {
  std::string out;
  out += kHeader5;
  out += "\n\n";
  std::string path(kHive);
  appendKey(out, path, hive, !hive.values.empty());
  return out;
}

}  // namespace platform::regformat
