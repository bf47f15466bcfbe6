#include "access/var_bind.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "access/result_codes.h"
#include "snmp/binding_copy.h"

namespace snmpaccess {

void CVarBind::setName(const char* text) {
  name_.assign(text);
  setNull();
}

void CVarBind::setName(const COid& name) {
  name_ = name;
  setNull();
}

void CVarBind::setInteger(smiINT value) {
  syntax_ = SNMP_SYNTAX_INT;
  number_ = value;
}

int CVarBind::getInteger(smiINT& out) const {
  if (syntax_ != SNMP_SYNTAX_INT) return result::kWrongType;
  out = number_;
  return result::kSuccess;
}

void CVarBind::setUnsigned(smiUINT32 value) {
  syntax_ = SNMP_SYNTAX_UINT32;
  unsigned_ = value;
}

int CVarBind::getUnsigned(smiUINT32& out) const {
  switch (syntax_) {
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      out = unsigned_;
      return result::kSuccess;
    default:
      return result::kWrongType;
  }
}

void CVarBind::setCounter64(smiUINT32 high, smiUINT32 low) {
  syntax_ = SNMP_SYNTAX_CNTR64;
  counter64_ = smiCNTR64{high, low};
}

int CVarBind::getCounter64(smiUINT32& high, smiUINT32& low) const {
  if (syntax_ != SNMP_SYNTAX_CNTR64) return result::kWrongType;
  high = counter64_.hipart;
  low = counter64_.lopart;
  return result::kSuccess;
}

void CVarBind::setOid(const COid& value) {
  syntax_ = SNMP_SYNTAX_OID;
  oidValue_ = value;
}

int CVarBind::getOid(COid& out) const {
  if (syntax_ != SNMP_SYNTAX_OID) return result::kWrongType;
  if (oidValue_.empty()) return result::kDoesNotFit;
  out = oidValue_;
  return result::kSuccess;
}

void CVarBind::setBytes(const void* bytes, std::size_t length) {
  syntax_ = SNMP_SYNTAX_OCTETS;
  length_ = length;
  if (length == 0 || !bytes) {
    length_ = 0;
    return;
  }
  bytes_.assign(static_cast<const smiBYTE*>(bytes), static_cast<const smiBYTE*>(bytes) + length);
}

void CVarBind::setText(const char* text) { setBytes(text, text ? std::strlen(text) : 0); }

int CVarBind::getBytes(void* buffer, std::size_t capacity, std::size_t& length) const {
  if (syntax_ != SNMP_SYNTAX_OCTETS) return result::kWrongType;
  length = length_;
  if (capacity < length_ || (length_ && !buffer)) return result::kDoesNotFit;
  if (length_) std::memcpy(buffer, bytes_.data(), length_);
  return result::kSuccess;
}

void CVarBind::setIpAddress(const smiBYTE address[4]) {
  syntax_ = SNMP_SYNTAX_IPADDR;
  bytes_.assign(address, address + 4);
  length_ = 4;
}

int CVarBind::getIpAddress(smiBYTE address[4]) const {
  if (syntax_ != SNMP_SYNTAX_IPADDR) return result::kWrongType;
  if (length_ != 4) return result::kDoesNotFit;
  std::memcpy(address, bytes_.data(), 4);
  return result::kSuccess;
}

void CVarBind::setNull() {
  syntax_ = SNMP_SYNTAX_NULL;
  number_ = 0;
  unsigned_ = 0;
  counter64_ = smiCNTR64{0, 0};
  length_ = 0;
  bitCount_ = 0;
  oidValue_ = COid();
}

int CVarBind::getDisplayText(char* buffer, std::size_t capacity) const {
  if (syntax_ != SNMP_SYNTAX_OCTETS) return result::kWrongType;
  if (!buffer || capacity == 0) return result::kDoesNotFit;
  const bool text = std::all_of(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(length_), [](smiBYTE b) {
    return std::isprint(b) || std::isspace(b);
  });
  std::string shown;
  if (text) {
    shown.assign(reinterpret_cast<const char*>(bytes_.data()), length_);
  } else {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::size_t n = std::min(length_, kDisplayHexBytes);
    for (std::size_t i = 0; i < n; ++i) {
      if (i) shown += ' ';
      shown += kDigits[bytes_[i] >> 4];
      shown += kDigits[bytes_[i] & 0x0F];
    }
  }
  const std::size_t out = std::min(shown.size(), capacity - 1);
  std::memcpy(buffer, shown.data(), out);
  buffer[out] = '\0';
  return result::kSuccess;
}

int CVarBind::getPlainText(char* buffer, std::size_t capacity) {
  if (syntax_ != SNMP_SYNTAX_OCTETS) return result::kWrongType;
  if (!buffer || capacity == 0) return result::kDoesNotFit;
  for (std::size_t i = 0; i < length_; ++i)
    if (bytes_[i] < 32 || bytes_[i] > 125) bytes_[i] = ' ';
  const std::size_t out = std::min(length_, capacity - 1);
  if (out) std::memcpy(buffer, bytes_.data(), out);  // an empty value may have no buffer at all
  buffer[out] = '\0';
  return result::kSuccess;
}

std::string CVarBind::displayText() const {
  char buffer[kDisplayTextSize];
  return getDisplayText(buffer, sizeof buffer) == result::kSuccess ? std::string(buffer) : std::string();
}

smiVALUE CVarBind::value() const {
  smiVALUE v{};
  v.syntax = syntax_;
  switch (syntax_) {
    case SNMP_SYNTAX_INT:
      v.value.sNumber = number_;
      break;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      v.value.uNumber = unsigned_;
      break;
    case SNMP_SYNTAX_CNTR64:
      v.value.hNumber = counter64_;
      break;
    case SNMP_SYNTAX_OID:
      v.value.oid = oidValue_.oid();
      break;
    case SNMP_SYNTAX_BITS:
      v.value.string.len = bitCount_;  // the engine counts a bit string in bits
      v.value.string.ptr = length_ ? const_cast<smiBYTE*>(bytes_.data()) : nullptr;
      break;
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      v.value.string.len = static_cast<smiUINT32>(length_);
      v.value.string.ptr = length_ ? const_cast<smiBYTE*>(bytes_.data()) : nullptr;
      break;
    default:
      v.value.empty = 0;
      break;
  }
  return v;
}

void CVarBind::assignValue(const smiVALUE& value) {
  switch (value.syntax) {
    case SNMP_SYNTAX_INT:
      setInteger(value.value.sNumber);
      break;
    case SNMP_SYNTAX_CNTR32:
    case SNMP_SYNTAX_GAUGE32:
    case SNMP_SYNTAX_TIMETICKS:
    case SNMP_SYNTAX_UINT32:
      setUnsigned(value.value.uNumber);
      break;
    case SNMP_SYNTAX_CNTR64:
      setCounter64(value.value.hNumber.hipart, value.value.hNumber.lopart);
      break;
    case SNMP_SYNTAX_BITS: {
      // The engine's length counts bits: the bytes held are that many bits rounded up.
      const smiUINT32 bits = value.value.string.ptr ? value.value.string.len : 0;
      setBytes(value.value.string.ptr, snmp::bitStringBytes(bits));
      bitCount_ = length_ ? bits : 0;
      break;
    }
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      setBytes(value.value.string.ptr, value.value.string.ptr ? value.value.string.len : 0);
      break;
    case SNMP_SYNTAX_IPADDR:
      // An address of another length is kept as it came; reading it as an address gives 3153.
      setBytes(value.value.string.ptr, value.value.string.ptr ? value.value.string.len : 0);
      break;
    case SNMP_SYNTAX_OID:
      setOid(COid(value.value.oid));
      break;
    default:
      setNull();
      break;
  }
  syntax_ = value.syntax;
}

}  // namespace snmpaccess
