#include "config/byte_text.h"

namespace config {

namespace {
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string bytesToEditText(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    if (b == '\\') {
      out += "\\\\";
    } else if (b >= 0x20 && b < 0x7F) {
      out += ch;
    } else {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

std::optional<std::string> editTextToBytes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 >= text.size()) return std::nullopt;
    const char kind = text[i + 1];
    if (kind == '\\') {
      out += '\\';
      ++i;
      continue;
    }
    if ((kind != 'x' && kind != 'X') || i + 3 >= text.size()) return std::nullopt;
    const int hi = hexValue(text[i + 2]), lo = hexValue(text[i + 3]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
    i += 3;
  }
  return out;
}

}  // namespace config
