#pragma once
// The catalogue's part of the string table (ids 4000-4465): the OID texts groups are built from,
// and the few display and section names that groups use. Relative OID texts begin with ".".
#include <cstdint>
#include <span>
#include <string_view>

namespace mib {

struct CatalogueString {
  std::uint16_t id;
  std::string_view text;
};

constexpr std::uint16_t kFirstCatalogueString = 4000;
constexpr std::uint16_t kLastCatalogueString = 4465;

// The text of a string id; empty when the catalogue has no string with that id.
std::string_view catalogueString(std::uint32_t id) noexcept;
// Every string, in ascending id order.
std::span<const CatalogueString> allCatalogueStrings() noexcept;

// Display and section names among the catalogue's strings.
constexpr std::uint16_t kStringTcpIpSection = 4240;  // "TCP/IP"
constexpr std::uint16_t kStringOutputPorts = 4278;   // "Output Ports"
constexpr std::uint16_t kStringSmtpSection = 4306;   // "SMTP"

}  // namespace mib
