#include "app/oem_family_table.h"

#include <cstring>
#include <mutex>

#include "app/settings.h"
#include "platform/registry.h"

namespace app {
namespace {

struct BuiltIn {
  const char* code;
  const char* prefix;
};
// A built-in whose code is "*" is switched off.
constexpr BuiltIn kBuiltIns[] = {
    {"ZBN", "1.3.6.1.4.1.1240.2.3.5"},
    {"HLQ", "1.3.6.1.4.1.683"},
};

void copyBounded(char* dst, std::size_t size, std::string_view src) {
  const std::size_t n = std::min(src.size(), size - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

std::mutex gFamilyMutex;
std::string gFamilyCode = kNativeFamilyCode;
std::string gEnterprisePrefix = kNativeEnterprisePrefix;

}  // namespace

bool isNumericOid(std::string_view text) {
  if (text.empty() || text.front() == '.' || text.back() == '.') return false;
  char prev = '.';
  for (char c : text) {
    if (c == '.') {
      if (prev == '.') return false;
    } else if (c < '0' || c > '9') {
      return false;
    }
    prev = c;
  }
  return true;
}

bool OemFamilyTable::append(std::string_view code, std::string_view prefix) {
  if (count_ >= kMaxEntries) return false;
  copyBounded(entries_[count_].code, sizeof entries_[count_].code, code);
  copyBounded(entries_[count_].prefix, sizeof entries_[count_].prefix, prefix);
  ++count_;
  return true;
}

void OemFamilyTable::fill(const std::vector<std::pair<std::string, std::string>>& oemValues) {
  entries_ = {};
  count_ = 0;
  rejected_.clear();
  for (const auto& [name, data] : oemValues) {
    if (name.empty() || name.size() > kMaxCode) {
      rejected_.push_back({name, "family code must have 1 to 4 characters"});
    } else if (data.size() > kMaxPrefix) {
      rejected_.push_back({name, "prefix longer than 49 characters"});
    } else if (!isNumericOid(data)) {
      // The prefix becomes the head of every OID sent to such a device.
      rejected_.push_back({name, "prefix is not a numeric OID"});
    } else if (!append(name, data)) {
      rejected_.push_back({name, "table full (8 families)"});
    }
  }
  for (const auto& b : kBuiltIns) {
    if (std::strcmp(b.code, "*") == 0) continue;
    if (!append(b.code, b.prefix)) break;
  }
}

void OemFamilyTable::fill(const platform::Registry& reg) {
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<Rejected> wrongType;
  for (auto& [name, value] : reg.values(kOemKey)) {
    if (value.type != platform::RegValue::Type::String)
      wrongType.push_back({name, "not a text value"});
    else
      values.emplace_back(name, value.text);
  }
  fill(values);
  rejected_.insert(rejected_.begin(), wrongType.begin(), wrongType.end());
}

const char* OemFamilyTable::prefixOf(std::string_view code) const {
  for (std::size_t i = 0; i < count_; ++i)
    if (code == entries_[i].code) return entries_[i].prefix;
  return nullptr;
}

OemFamilyTable& oemFamilyTable() {
  static OemFamilyTable table;
  return table;
}

bool selectFamily(std::string_view code, const OemFamilyTable& table) {
  const char* prefix = nullptr;
  if (code == kNativeFamilyCode)
    prefix = kNativeEnterprisePrefix;
  else
    prefix = table.prefixOf(code);
  std::lock_guard lock(gFamilyMutex);
  gFamilyCode = std::string(code);
  gEnterprisePrefix = prefix ? prefix : kNativeEnterprisePrefix;
  return prefix != nullptr;
}

std::string currentFamilyCode() {
  std::lock_guard lock(gFamilyMutex);
  return gFamilyCode;
}

std::string currentEnterprisePrefix() {
  std::lock_guard lock(gFamilyMutex);
  return gEnterprisePrefix;
}

}  // namespace app
