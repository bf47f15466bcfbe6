#pragma once
// The settings file: Windows registry-export text, read and written without loss.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Quorvel\Trellan\General]
//   "RunIndex"=dword:00000001
//   "Location"="C:\\Program Files\\Trellan\\"
//
// Writing: UTF-8, LF line ends, every key below HKEY_CURRENT_USER gets its own "[...]" line
// (so keys without values survive), keys and values in creation order, a blank line after each
// key. Strings use regedit's quoting (backslash and double quote escaped with a backslash) unless
// they hold a control character other than tab or bytes that are not UTF-8; those are written in
// regedit's REG_SZ hex form, `hex(1):` followed by the UTF-16LE code units and a terminating
// 00,00, wrapped with "\" continuation lines as regedit wraps them. A byte that is not part of
// valid UTF-8 (0x80..0xFF) is written as the unpaired low surrogate U+DC00 + byte, which valid
// text can never contain, so every string reads back byte for byte.
//
// Reading accepts: the header "Windows Registry Editor Version 5.00" or "REGEDIT4"; a UTF-8 byte
// order mark, or a whole file in UTF-16LE with its byte order mark (as regedit exports); LF or
// CR LF; blank lines and ";" comment lines; `@` for the unnamed value; dword:1..8 hex digits;
// quoted strings; hex(1) strings with continuation lines. Anything else (other hives, other value
// types, deletion lines "[-key]" and "name"=-, which a settings file never holds, bad syntax,
// names with control characters, sizes beyond the limits below) is an error naming the line.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/registry_key.h"

namespace platform::regformat {

inline constexpr std::size_t kMaxFileBytes = 16u << 20;     // whole file
inline constexpr std::size_t kMaxKeyNameBytes = 255;        // one key name (as on Windows)
inline constexpr std::size_t kMaxValueNameBytes = 16383;    // one value name (as on Windows)
inline constexpr std::size_t kMaxStringBytes = 1u << 20;    // one string value
inline constexpr std::size_t kMaxKeyDepth = 512;            // key names in one path below the hive
inline constexpr std::size_t kMaxLineBytes = 8u << 20;      // one logical line (continuations joined)
inline constexpr std::string_view kHive = "HKEY_CURRENT_USER";

struct ParseError {
  std::size_t line = 0;  // 1-based; 0 for the file as a whole
  std::string message;
};

// Parses `text` into `hive` (the HKEY_CURRENT_USER key, which should be empty on entry). False on
// the first error, with `error` filled and `hive` in an unspecified but valid state.
bool parse(std::string_view text, RegKey& hive, ParseError& error);

// The file text for `hive`. Every tree whose names pass the checks below serializes to text that
// parse() reads back to an equal tree.
std::string serialize(const RegKey& hive);

// A key name: 1..255 bytes of UTF-8, no "\" and no control characters.
bool validKeyName(std::string_view name);
// A value name: 0..16383 bytes of UTF-8 without control characters ("" is the unnamed value).
bool validValueName(std::string_view name);
// Data that fits the store: strings up to kMaxStringBytes of any bytes.
bool validValue(const RegValue& value);

// True when `s` is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isUtf8(std::string_view s);

}  // namespace platform::regformat
