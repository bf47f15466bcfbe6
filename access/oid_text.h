#pragma once
// Full OID texts for catalogue variables: relative texts (".6.3.1.4.1.0") go after the enterprise
// prefix current when a group is built, absolute ones (MIB-II, Printer MIB, the sibling branch)
// are used as they are; rows, entries and port columns are appended. Every result is checked
// and bounded: the prefix can come from the settings store.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mib {

struct VariableDef;

constexpr std::string_view kDefaultEnterprisePrefix = "1.3.6.1.4.1.1240.2.3.5";  // string 8002
constexpr std::string_view kSiblingPrefix = "1.3.6.1.4.1.1240.2.3.4";           // E4, always written out
constexpr std::size_t kOidTextCapacity = 1408;  // the text buffer of a COid, terminator included
constexpr std::size_t kMaxSubIdentifiers = 128;

// Dotted decimal, 2 to 128 sub-identifiers each within 32 bits, no empty parts.
bool isValidOidText(std::string_view text) noexcept;
constexpr bool isRelativeOidText(std::string_view text) noexcept { return !text.empty() && text[0] == '.'; }

// Writes prefix + text (relative) or text (absolute), then ".s" for each suffix number, into out
// with a terminating NUL. Returns the length, or 0 when the result would not fit out, is not a
// valid OID, or the prefix is needed and invalid.
std::size_t composeOid(std::span<char> out, std::string_view prefix, std::string_view text,
                       std::span<const std::uint32_t> suffix = {}) noexcept;

// The OID of a catalogue variable. rowIndex is 0-based (row r, table entry k - 1) and ignored for
// variables without a row suffix; a row variable without a row (rowIndex < 0) gives 0.
std::size_t variableOid(std::span<char> out, std::string_view prefix, const VariableDef& v,
                        long rowIndex = -1) noexcept;

// Same, as a string; empty on failure.
std::string variableOidString(std::string_view prefix, const VariableDef& v, long rowIndex = -1);

}  // namespace mib
