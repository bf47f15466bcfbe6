#pragma once
// Per-protocol access lists: address patterns with the GET and SET communities to use for the
// print servers they match. Entry 0 is always "<Default>". Stored under Access\IP, Access\NW
// and Access\COM as `All` (the patterns of entries 1..n joined by ","), pattern + "Get" and
// pattern + "Set" for every entry, and `DiscoveryPort`.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Registry;
}

namespace app {

inline constexpr const char* kDefaultEntryName = "<Default>";
inline constexpr const char* kDefaultCommunity = "vorlak";

// The shape of an SnmpTarget without its progress window. Fields are bounded: longer input is
// cut to 32 characters and always terminated.
struct CAccessEntry {
  static constexpr std::size_t kFieldChars = 32;

  std::uint16_t protocol = 0;  // address family code: 2 IPv4, 6 IPX, 0 serial line
  char address[kFieldChars + 1] = {};
  char getCommunity[kFieldChars + 1] = {};
  char setCommunity[kFieldChars + 1] = {};

  void setAddress(std::string_view s);
  void setGetCommunity(std::string_view s);
  void setSetCommunity(std::string_view s);
};

// The address family code of the entries of a list key ("Access\IP" 2, "Access\NW" 6,
// "Access\COM" 0).
std::uint16_t accessProtocolCode(std::string_view key);

class CAccessList {
 public:
  // More patterns than this in `All` are not taken.
  static constexpr std::size_t kMaxEntries = 1024;

  CAccessList();

  // Loads the list stored under `key`. Nothing happens (false) when `key` is the loaded key and
  // `force` is false. Patterns that cannot be an entry (empty, longer than 32 characters, a
  // repeat) are not taken.
  bool load(const platform::Registry& reg, std::string_view key, bool force);
  // Writes every entry's two communities, `All` and `DiscoveryPort` to the loaded key, in one
  // transaction. Values of patterns no longer listed stay in the store, unlisted.
  bool save(platform::Registry& reg) const;
  // The same values, but only those that differ from what a load would read now (a missing
  // value reads as its default), so that a list saved unchanged leaves the store as it was.
  bool saveChanges(platform::Registry& reg) const;

  // GET and SET communities for an address: the first entry 1..n whose pattern equals it, else
  // the first whose pattern matches it with wildcardMatch, else entry 0.
  const CAccessEntry& lookup(std::string_view address) const;

  // Adds an entry at the end. False for a pattern that cannot be stored (empty, "," in it,
  // longer than 32 characters, "<Default>", already listed) or when the list is full.
  bool addEntry(std::string_view pattern, std::string_view getCommunity, std::string_view setCommunity);
  // Removes entry i (1..n); entry 0 stays.
  bool removeEntry(std::size_t i);

  const std::string& key() const { return key_; }
  std::uint32_t discoveryPort() const { return discoveryPort_; }
  void setDiscoveryPort(std::uint32_t port) { discoveryPort_ = port; }
  const std::vector<CAccessEntry>& entries() const { return entries_; }
  CAccessEntry& entry(std::size_t i) { return entries_[i]; }
  // Patterns listed in `All` that were not taken by the last load, for diagnostics.
  const std::vector<std::string>& skippedPatterns() const { return skipped_; }

 private:
  bool acceptablePattern(std::string_view pattern) const;
  void reset(std::uint16_t protocol);

  std::string key_;
  std::uint32_t discoveryPort_ = 4201;
  std::vector<CAccessEntry> entries_;
  std::vector<std::string> skipped_;
};

}  // namespace app
