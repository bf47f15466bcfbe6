#pragma once
// The entries of a view's search list and the address files they name, read without the network.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devices {

enum class EntryKind {
  Scan,               // text with "*": the text before it followed by 1 to 255
  DirectedBroadcast,  // address followed by "<DB>"
  Multicast,          // "Multicast<ttl>"
  File,               // "File<path>"
  Single,             // one address
};

struct SearchEntry {
  EntryKind kind = EntryKind::Single;
  std::string text;  // scan prefix, broadcast address, file path or address
  int ttl = 0;       // Multicast
  bool valid = true; // false: the entry names nothing that can be asked (e.g. "Multicast<x>")
};

SearchEntry classifyEntry(std::string_view entry);

// The address of one address-file line: its leading run of ".0123456789" when that is a dotted
// address. Lines longer than kMaxAddressLine characters, blank lines and lines that do not start
// with an address give nothing.
inline constexpr std::size_t kMaxAddressLine = 99;
std::optional<std::string> addressOfLine(std::string_view line);

// Every address of the file in order (at most `maxAddresses`); a missing file gives none.
std::vector<std::string> readAddressFile(const std::string& path, std::size_t maxAddresses = 65536);

// IPX list entries: one with ">" broadcasts on the network of its last 8 characters (of the
// part before "<DB>"/">"); left-padded with "0", hex only. Nothing for another text.
std::optional<std::uint32_t> ipxEntryNetwork(std::string_view entry);

}  // namespace devices
