#pragma once
// The "Trap Destination" dialog's entry check: an e-mail address, an IPv4 address, or an IPX
// network number and hardware address (padded with "0" on the left, hexadecimal pairs).
#include <string>

#include "config/device_page.h"

namespace config {

enum TrapKind : int { kTrapSmtp = 0, kTrapTcpIp = 1, kTrapIpx = 2 };

inline constexpr const char* kTextInvalidEmail = "Invalid Email address.";
inline constexpr const char* kTextInvalidTrapIp = "Invalid IP Address.";
inline constexpr const char* kTextInvalidNetwork = "Invalid Network Address.";

struct DestinationEntry {
  std::string first;   // e-mail, IPv4 address, or IPX network number
  std::string second;  // IPX hardware address
};

// Field labels and limits of the dialog for a kind.
struct DestinationFields {
  const char* firstLabel;
  std::size_t firstLimit;
  const char* secondLabel;  // null: the second field is hidden
  std::size_t secondLimit;
};
DestinationFields destinationFields(int kind);

// Checks one OK of the dialog. On success `entry` holds the texts as the dialog shows them
// (IPX padded) and `listText` the destination's text in the list. A failure names the field
// ("first" or "second") that takes the focus; IPX padding is written back even then.
PageCheck checkDestination(int kind, DestinationEntry& entry, std::string& listText);

}  // namespace config
