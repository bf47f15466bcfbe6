#pragma once
// An object identifier held as the engine's smiOID (engine-allocated array), with the status of
// the last engine call on it: the number of sub-identifiers parsed or copied, 0 on error, 1 for
// a freshly constructed empty OID.
#include <cstddef>
#include <cstdint>
#include <string>

#include "snmp/winsnmp.h"

namespace snmpaccess {

// The text buffer size an OID is formatted through.
inline constexpr std::size_t kOidTextSize = 1408;

class COid {
 public:
  COid() = default;
  explicit COid(const char* text) { assign(text); }
  explicit COid(const smiOID& oid) { assign(oid); }
  COid(const COid& other) { assign(other.oid_); }
  COid(COid&& other) noexcept;
  COid& operator=(const COid& other);
  COid& operator=(COid&& other) noexcept;
  COid& operator=(const char* text) {
    assign(text);
    return *this;
  }
  ~COid();

  // Parses dotted decimal (a leading "." allowed). On error the OID is empty and status 0.
  void assign(const char* text);
  // Deep copy of an engine OID; an empty one gives an empty COid with status 1.
  void assign(const smiOID& oid);
  // Appends ".text" / ".number". Appending to an empty OID parses the text alone; a result that
  // does not parse or does not fit the 1408-byte text leaves the OID empty with status 0.
  COid& append(const char* text);
  COid& append(std::uint32_t number);

  // Writes the dotted text (no leading dot) with its terminator. False when empty or when it
  // does not fit; the buffer then holds an empty string (size > 0).
  bool toText(char* buffer, std::size_t size) const;
  std::string text() const;

  const smiOID& oid() const { return oid_; }
  smiUINT32 status() const { return status_; }
  smiUINT32 count() const { return oid_.len; }
  smiUINT32 at(std::size_t i) const { return i < oid_.len ? oid_.ptr[i] : 0; }
  bool empty() const { return oid_.len == 0; }

  // Lexicographic order of the sub-identifiers (a prefix sorts first): <0, 0, >0.
  int compare(const COid& other) const;
  bool operator==(const COid& other) const { return compare(other) == 0; }
  // True when `prefix` is this OID or one of its ancestors.
  bool startsWith(const COid& prefix) const;

 private:
  void release();
  void fail();

  smiOID oid_{0, nullptr};
  smiUINT32 status_ = 1;
};

}  // namespace snmpaccess
