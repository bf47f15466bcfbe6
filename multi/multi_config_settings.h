#pragma once
// The settings of one multi-unit configuration: device-wide bindings and per-port bindings, each an
// OID text and a typed value. A relative OID (one the dialog writes with a leading ".") is kept
// behind a "0" marker that becomes the unit's enterprise prefix when it is sent; a per-port OID is
// the row OID without its port number, which is appended per port when it is sent.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace multi {

struct MultiBinding {
  enum class Type { Integer, Text, Bytes, IpAddress };
  std::string oid;  // "0.6.3.1.2.0" (relative, marked) or "1.3.6.1.2.1.1.4.0" (absolute)
  Type type = Type::Integer;
  std::int32_t integer = 0;
  std::string bytes;                    // Text and Bytes
  std::array<std::uint8_t, 4> ip{};     // IpAddress
};

class CMultiConfigSettings {
 public:
  // `oid`: ".6.3.1.2.0" relative or "1.3.6.1.2.1.1.4.0" absolute.
  void addInteger(const std::string& oid, std::int32_t value);
  void addText(const std::string& oid, const std::string& text);
  void addIpAddress(const std::string& oid, const std::array<std::uint8_t, 4>& ip);
  // A WEP key n (1 to 4): .8.3.7.1.2.n carries the key's bytes (two hexadecimal digits each).
  // False when the text is not an even run of hexadecimal digits.
  bool addWepKey(int n, const std::string& hex);
  // Per-port: `rowOid` ".6.2.3.2.1.7" (without the port number).
  void addPortInteger(const std::string& rowOid, std::int32_t value);
  void addPortText(const std::string& rowOid, const std::string& text);

  const std::vector<MultiBinding>& deviceWide() const { return device_; }
  const std::vector<MultiBinding>& perPort() const { return port_; }
  int count() const { return static_cast<int>(device_.size() + port_.size()); }

  // The OID as sent: the marker replaced by `prefix` ("1.3.6.1.4.1.1240.2.3.5").
  static std::string resolve(const std::string& oid, const std::string& prefix);

 private:
  static std::string marked(const std::string& oid);
  std::vector<MultiBinding> device_;
  std::vector<MultiBinding> port_;
};

}  // namespace multi
