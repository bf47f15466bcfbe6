#pragma once
// Giving a unit of the second family its IP address: count the listeners, announce the address
// by broadcast ("SET IP_ADDR:"), read the configuration image from the unit, write it back with
// the new address, "POLLING", and reboot it so that it comes up at the new address.
#include <cstdint>
#include <string>
#include <string_view>

namespace devices {

class CIpDevice;

struct SecondFamilyLink {
  std::uint16_t port = 19541;  // TRELLAN_SECOND_FAMILY_PORT
  int replyMs = 100;           // the wait for each reply
};

// The address-assignment sequence for `device` (its hardware address and current IP address).
// 0 when every step was answered; -1 at the first step that failed, with its reason in `failure`.
// An unconfigured unit (address 0.0.0.0 or none) must answer the announcement at once; a
// configured one is still worked on at its current address after four unanswered broadcasts.
int assignSecondFamilyAddress(const CIpDevice& device, std::string_view newAddress, const SecondFamilyLink& link,
                              std::string* failure = nullptr);

// The message the program shows after a successful assignment, and its title.
inline constexpr const char* kTextAddressSet = "Succeed in setting IP Address!";
inline constexpr const char* kTitleSetAddress = "Set IP Address";

}  // namespace devices
