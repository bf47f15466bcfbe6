#include "access/oid.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace snmpaccess {

COid::COid(COid&& other) noexcept
    : oid_(std::exchange(other.oid_, smiOID{0, nullptr})), status_(std::exchange(other.status_, 1)) {}

COid& COid::operator=(const COid& other) {
  if (this != &other) assign(other.oid_);
  return *this;
}

COid& COid::operator=(COid&& other) noexcept {
  if (this != &other) {
    release();
    oid_ = std::exchange(other.oid_, smiOID{0, nullptr});
    status_ = std::exchange(other.status_, 1);
  }
  return *this;
}

COid::~COid() { release(); }

void COid::release() { SnmpFreeDescriptor(SNMP_SYNTAX_OID, &oid_); }

// A failed parse leaves an empty OID, as a failed text assignment does.
void COid::fail() {
  release();
  status_ = 0;
}

void COid::assign(const char* text) {
  release();
  const SNMPAPI_STATUS parsed = SnmpStrToOid(text, &oid_);
  status_ = parsed == SNMPAPI_FAILURE ? 0 : parsed;
  if (status_ == 0) oid_ = smiOID{0, nullptr};
}

void COid::assign(const smiOID& oid) {
  if (&oid == &oid_) return;
  smiOID fresh{0, nullptr};
  smiUINT32 status = 1;
  if (oid.len != 0 && oid.ptr) {
    status = SnmpOidCopy(&oid, &fresh);
    if (status == SNMPAPI_FAILURE) fresh = smiOID{0, nullptr};
  }
  release();
  oid_ = fresh;
  status_ = status;
}

COid& COid::append(const char* text) {
  if (!text) {
    fail();
    return *this;
  }
  std::string joined;
  if (!empty()) {
    joined = this->text();
    if (joined.empty()) {
      fail();
      return *this;
    }
    joined += '.';
  }
  joined += *text == '.' ? text + 1 : text;
  // The dotted text goes through the same 1408-byte buffer as every other OID text.
  if (joined.size() + 1 > kOidTextSize) {
    fail();
    return *this;
  }
  assign(joined.c_str());
  return *this;
}

COid& COid::append(std::uint32_t number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(number));
  return append(digits);
}

bool COid::toText(char* buffer, std::size_t size) const {
  if (!buffer || size == 0) return false;
  buffer[0] = '\0';
  if (empty()) return false;
  if (SnmpOidToStr(&oid_, static_cast<smiUINT32>(size), buffer) == SNMPAPI_FAILURE) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

std::string COid::text() const {
  char buffer[kOidTextSize];
  return toText(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

int COid::compare(const COid& other) const {
  const smiUINT32 n = oid_.len < other.oid_.len ? oid_.len : other.oid_.len;
  for (smiUINT32 i = 0; i < n; ++i) {
    if (oid_.ptr[i] != other.oid_.ptr[i]) return oid_.ptr[i] < other.oid_.ptr[i] ? -1 : 1;
  }
  if (oid_.len == other.oid_.len) return 0;
  return oid_.len < other.oid_.len ? -1 : 1;
}

bool COid::startsWith(const COid& prefix) const {
  if (prefix.oid_.len > oid_.len) return false;
  for (smiUINT32 i = 0; i < prefix.oid_.len; ++i)
    if (oid_.ptr[i] != prefix.oid_.ptr[i]) return false;
  return true;
}

}  // namespace snmpaccess
