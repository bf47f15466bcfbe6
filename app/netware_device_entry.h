#pragma once
// The search-list entries of a NetWare view, as its "&Add..." dialog builds them: print servers
// by serial number (looked up in the bindery), or every print server of one IPX network. A
// network entry holds ">" and ends with the network's eight hexadecimal digits, which is how the
// NetWare search tells the two apart.
#include <string>
#include <string_view>
#include <vector>

namespace app {

enum class NetWareEntryKind { SerialNumbers, Network };

struct NetWareEntryOption {
  NetWareEntryKind kind;
  const char* text;   // the radio button
  const char* label;  // the text field's label
};
const std::vector<NetWareEntryOption>& netWareEntryOptions();

inline constexpr const char* kNetWareEntryTitle = "Specify NetWare Devices";
inline constexpr const char* kNetworkEntryHead = "Network>";
// A bindery object name is 48 bytes; the family code takes three of them.
inline constexpr std::size_t kNetWareSerialLimit = 44;

inline constexpr const char* kTextNoNetWareEntry = "Enter a serial number or a network number.";
inline constexpr const char* kTextNetWareInvalid =
    "The serial number or network address contains invalid characters.";
inline constexpr const char* kTextSerialTooLong = "A serial number has at most 44 characters.";
inline constexpr const char* kTextNetworkTooLong = "A network number has at most eight hexadecimal digits.";

struct NetWareEntries {
  std::vector<std::string> entries;  // in the order typed, repeats dropped
  std::string error;                 // empty when the text was good
};

// Serial numbers: one or more, separated by blanks, commas or semicolons; letters and digits.
// Network: one to eight hexadecimal digits, written as "Network>" and eight upper-case digits.
NetWareEntries buildNetWareEntries(NetWareEntryKind kind, std::string_view text);

}  // namespace app
