#pragma once
// Product families: the table of extra families (code -> enterprise OID prefix) filled at
// start-up from the OEM key and two built-ins, and the current family and enterprise prefix
// that the private-MIB catalogue appends relative OIDs to while a device is being worked on.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Registry;
}

namespace app {

// The native family is tested before the table and is never in it.
inline constexpr const char* kNativeFamilyCode = "KDV";
inline constexpr const char* kNativeEnterprisePrefix = "1.3.6.1.4.1.1240.2.3.5";

struct OemFamily {
  char code[5] = {};     // 1 to 4 characters
  char prefix[50] = {};  // up to 49 characters, a dotted numeric OID
};

class OemFamilyTable {
 public:
  static constexpr std::size_t kMaxEntries = 8;
  static constexpr std::size_t kMaxCode = 4;
  static constexpr std::size_t kMaxPrefix = 49;

  struct Rejected {
    std::string name;
    std::string reason;
  };

  // Empties the table, then takes the values of the OEM key in enumeration order and appends
  // the built-in families while there is room.
  void fill(const platform::Registry& reg);
  // The same from (name, data) pairs; values a store gave with the wrong type come as absent.
  void fill(const std::vector<std::pair<std::string, std::string>>& oemValues);

  std::size_t count() const { return count_; }
  const OemFamily& operator[](std::size_t i) const { return entries_[i]; }
  // The prefix of the first entry with that code, or nullptr.
  const char* prefixOf(std::string_view code) const;
  // OEM values that were not taken, with the reason (for `trellanctl settings`).
  const std::vector<Rejected>& rejected() const { return rejected_; }

 private:
  bool append(std::string_view code, std::string_view prefix);
  std::array<OemFamily, kMaxEntries> entries_{};
  std::size_t count_ = 0;
  std::vector<Rejected> rejected_;
};

// The process-wide table, filled by start-up.
OemFamilyTable& oemFamilyTable();

// True for a non-empty dotted run of decimal numbers ("1.3.6.1.4.1.683").
bool isNumericOid(std::string_view text);

// Sets the current family code and enterprise prefix for a device of family `code`: the native
// prefix for "KDV", else the prefix of the first table entry with that code. For a code the
// table does not know, the native prefix is taken (keeping the previous one would address the
// next device with another family's OIDs). Returns false for an unknown code.
bool selectFamily(std::string_view code, const OemFamilyTable& table = oemFamilyTable());

std::string currentFamilyCode();
std::string currentEnterprisePrefix();

}  // namespace app
