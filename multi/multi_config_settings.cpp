#include "multi/multi_config_settings.h"

namespace multi {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string CMultiConfigSettings::marked(const std::string& oid) { return !oid.empty() && oid[0] == '.' ? "0" + oid : oid; }

std::string CMultiConfigSettings::resolve(const std::string& oid, const std::string& prefix) {
  if (oid.size() > 1 && oid[0] == '0' && oid[1] == '.') return prefix + oid.substr(1);
  return oid;
}

void CMultiConfigSettings::addInteger(const std::string& oid, std::int32_t value) {
  MultiBinding b;
  b.oid = marked(oid);
  b.integer = value;
  device_.push_back(std::move(b));
}

void CMultiConfigSettings::addText(const std::string& oid, const std::string& text) {
  MultiBinding b;
  b.oid = marked(oid);
  b.type = MultiBinding::Type::Text;
  b.bytes = text;
  device_.push_back(std::move(b));
}

void CMultiConfigSettings::addIpAddress(const std::string& oid, const std::array<std::uint8_t, 4>& ip) {
  MultiBinding b;
  b.oid = marked(oid);
  b.type = MultiBinding::Type::IpAddress;
  b.ip = ip;
  device_.push_back(std::move(b));
}

bool CMultiConfigSettings::addWepKey(int n, const std::string& hex) {
  if (n < 1 || n > 4 || hex.empty() || hex.size() % 2 != 0) return false;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes.push_back(static_cast<char>(hi * 16 + lo));
  }
  MultiBinding b;
  b.oid = marked(".8.3.7.1.2." + std::to_string(n));
  b.type = MultiBinding::Type::Bytes;
  b.bytes = std::move(bytes);
  device_.push_back(std::move(b));
  return true;
}

void CMultiConfigSettings::addPortInteger(const std::string& rowOid, std::int32_t value) {
  MultiBinding b;
  b.oid = marked(rowOid);
  b.integer = value;
  port_.push_back(std::move(b));
}

void CMultiConfigSettings::addPortText(const std::string& rowOid, const std::string& text) {
  MultiBinding b;
  b.oid = marked(rowOid);
  b.type = MultiBinding::Type::Text;
  b.bytes = text;
  port_.push_back(std::move(b));
}

}  // namespace multi
