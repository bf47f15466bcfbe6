#pragma once
// One variable binding: a name and a typed value. Getters check the syntax first and return a
// result code (0, 3152 wrong type, 3153 missing or does not fit); setters set value and syntax.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "access/oid.h"
#include "snmp/winsnmp.h"

namespace snmpaccess {

// The caller buffer of the display text, and how many bytes its hexadecimal form shows
// (341 * 3 - 1 characters plus the terminator fit 1024).
inline constexpr std::size_t kDisplayTextSize = 1024;
inline constexpr std::size_t kDisplayHexBytes = 341;

class CVarBind {
 public:
  CVarBind() = default;
  explicit CVarBind(const char* name) { setName(name); }
  explicit CVarBind(const COid& name) { setName(name); }

  // Both reset the value to NULL.
  void setName(const char* text);
  void setName(const COid& name);
  const COid& name() const { return name_; }

  smiUINT32 syntax() const { return syntax_; }
  // Overwrites the syntax only (the session does so with the syntax a reply carried).
  void setSyntax(smiUINT32 syntax) { syntax_ = syntax; }

  void setInteger(smiINT value);
  int getInteger(smiINT& out) const;
  void setUnsigned(smiUINT32 value);
  int getUnsigned(smiUINT32& out) const;
  void setCounter64(smiUINT32 high, smiUINT32 low);
  int getCounter64(smiUINT32& high, smiUINT32& low) const;
  void setOid(const COid& value);
  int getOid(COid& out) const;
  // Length 0 keeps the buffer and records length 0.
  void setBytes(const void* bytes, std::size_t length);
  // Sent without the terminator.
  void setText(const char* text);
  // Copies the bytes into `buffer`; `length` receives the value's length (also on 3153).
  int getBytes(void* buffer, std::size_t capacity, std::size_t& length) const;
  void setIpAddress(const smiBYTE address[4]);
  int getIpAddress(smiBYTE address[4]) const;
  void setNull();

  // Printable text as it is, anything else as "%02X " hex of at most 341 bytes without the
  // trailing space; bounded by `capacity` (normally kDisplayTextSize).
  int getDisplayText(char* buffer, std::size_t capacity) const;
  // Replaces every byte below 32 or above 125 by a space in the stored value, then copies it as text.
  int getPlainText(char* buffer, std::size_t capacity);
  std::string displayText() const;

  // The value as the engine takes it; pointers refer to this object's storage and stay valid
  // until it changes.
  smiVALUE value() const;
  // Takes a value read from the engine, by syntax: numbers, byte strings, IP address, OID;
  // anything else (NULL, the exceptions) as NULL. The syntax becomes the value's own.
  void assignValue(const smiVALUE& value);

  // Bytes held (a BIT STRING: its bits rounded up to whole bytes).
  std::size_t byteLength() const { return length_; }

 private:
  COid name_;
  COid oidValue_;
  smiUINT32 syntax_ = SNMP_SYNTAX_NULL;
  smiINT number_ = 0;
  smiUINT32 unsigned_ = 0;
  smiCNTR64 counter64_{0, 0};
  std::vector<smiBYTE> bytes_;
  std::size_t length_ = 0;  // bytes held
  smiUINT32 bitCount_ = 0;  // a BIT STRING's length in bits (its bytes are in bytes_)
};

}  // namespace snmpaccess
