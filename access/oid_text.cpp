#include "access/oid_text.h"

#include <array>
#include <cstring>

#include "access/mib_catalogue.h"

namespace mib {
namespace {

// Counts the sub-identifiers of a dotted text, or returns 0 when it is malformed. A leading dot
// is allowed for relative texts.
std::size_t countSubIds(std::string_view text, bool leadingDot) noexcept {
  if (leadingDot) {
    if (text.empty() || text[0] != '.') return 0;
    text.remove_prefix(1);
  }
  std::size_t count = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t dot = text.find('.', pos);
    const std::size_t end = dot == std::string_view::npos ? text.size() : dot;
    if (end == pos || end - pos > 10) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = pos; i < end; ++i) {
      const char c = text[i];
      if (c < '0' || c > '9') return 0;
      value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFull) return 0;
    ++count;
    if (dot == std::string_view::npos) break;
    pos = dot + 1;
  }
  return count;
}

struct Writer {
  std::span<char> out;
  std::size_t length = 0;
  bool ok = true;

  void put(std::string_view s) noexcept {
    // Keep one byte for the terminator.
    if (!ok || out.size() == 0 || s.size() > out.size() - 1 - length) {
      ok = false;
      return;
    }
    std::memcpy(out.data() + length, s.data(), s.size());
    length += s.size();
  }
  void putNumber(std::uint32_t n) noexcept {
    std::array<char, 11> digits{};
    std::size_t i = digits.size();
    do {
      digits[--i] = static_cast<char>('0' + n % 10);
      n /= 10;
    } while (n != 0);
    put(".");
    put(std::string_view(digits.data() + i, digits.size() - i));
  }
};

}  // namespace

bool isValidOidText(std::string_view text) noexcept {
  const std::size_t n = countSubIds(text, false);
  return n >= 2 && n <= kMaxSubIdentifiers;
}

std::size_t composeOid(std::span<char> out, std::string_view prefix, std::string_view text,
                       std::span<const std::uint32_t> suffix) noexcept {
  if (!out.empty()) out[0] = '\0';
  std::size_t subIds = 0;
  if (isRelativeOidText(text)) {
    const std::size_t p = countSubIds(prefix, false);
    const std::size_t t = countSubIds(text, true);
    if (p == 0 || t == 0) return 0;
    subIds = p + t;
  } else {
    subIds = countSubIds(text, false);
    if (subIds == 0) return 0;
  }
  subIds += suffix.size();
  if (subIds < 2 || subIds > kMaxSubIdentifiers) return 0;

  Writer w{out};
  if (isRelativeOidText(text)) w.put(prefix);
  w.put(text);
  for (std::uint32_t s : suffix) w.putNumber(s);
  if (!w.ok) {
    if (!out.empty()) out[0] = '\0';
    return 0;
  }
  out[w.length] = '\0';
  return w.length;
}

std::size_t variableOid(std::span<char> out, std::string_view prefix, const VariableDef& v, long rowIndex) noexcept {
  if (v.suffix == Suffix::None) return composeOid(out, prefix, v.oid);
  if (v.suffix == Suffix::First) {
    const std::uint32_t s[] = {1};
    return composeOid(out, prefix, v.oid, s);
  }
  if (rowIndex < 0 || rowIndex >= 0xFFFFFFFFL) {
    if (!out.empty()) out[0] = '\0';
    return 0;
  }
  const auto n = static_cast<std::uint32_t>(rowIndex + 1);
  if (v.suffix == Suffix::Row) {
    const std::uint32_t s[] = {n};
    return composeOid(out, prefix, v.oid, s);
  }
  const std::uint32_t s[] = {n, 1};
  return composeOid(out, prefix, v.oid, s);
}

std::string variableOidString(std::string_view prefix, const VariableDef& v, long rowIndex) {
  std::array<char, kOidTextCapacity> buffer{};
  const std::size_t n = variableOid(buffer, prefix, v, rowIndex);
  return std::string(buffer.data(), n);
}

}  // namespace mib
