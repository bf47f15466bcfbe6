#include "sim/wireless_unit.h"

#include <nlohmann/json.hpp>

namespace sim {

namespace {

constexpr std::size_t kMaxBitmapBytes = 32;  // channels 0-255
constexpr std::size_t kMaxCountries = 64;
constexpr std::uint32_t kWepKeys = 4;

Oid under(const Oid& enterprise, std::initializer_list<std::uint32_t> tail) {
  Oid o = enterprise;
  o.insert(o.end(), tail);
  return o;
}

bool hexToBytes(const std::string& text, std::string& out) {
  out.clear();
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (text.size() % 2) return false;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = digit(text[i]), lo = digit(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out.push_back(static_cast<char>(hi * 16 + lo));
  }
  return true;
}

}  // namespace

bool parseWirelessSettings(const nlohmann::json& j, WirelessSettings& out, std::string& error) {
  if (!j.is_object()) return error = "must be an object", false;
  for (auto it = j.begin(); it != j.end(); ++it) {
    const std::string& key = it.key();
    if (key == "ftp") {
      if (!it->is_boolean()) return error = "ftp: must be true or false", false;
      out.ftp = it->get<bool>();
    } else if (key == "ftp_password") {
      if (!it->is_string() || it->get<std::string>().size() > 32)
        return error = "ftp_password: must be a text of at most 32 bytes", false;
      out.ftpPassword = it->get<std::string>();
    } else if (key == "channels_by_country") {
      if (!it->is_object() || it->size() > kMaxCountries)
        return error = "channels_by_country: must be an object of at most 64 countries", false;
      out.channelsByCountry.clear();
      for (auto c = it->begin(); c != it->end(); ++c) {
        std::string bytes;
        if (c.key().empty() || c.key().size() > 3)
          return error = "channels_by_country: '" + c.key().substr(0, 8) + "' is not a country code", false;
        if (!c->is_string() || !hexToBytes(c->get<std::string>(), bytes) || bytes.size() > kMaxBitmapBytes)
          return error = "channels_by_country." + c.key() + ": must be a bit map of at most 32 bytes in hex", false;
        out.channelsByCountry.emplace_back(c.key(), bytes);
      }
    } else {
      return error = "unknown key '" + key.substr(0, 64) + "'", false;
    }
  }
  return true;
}

void applyWirelessState(DeviceModel& d) {
  const Oid& e = d.enterprise;
  // The firmware never reads a key back: a 64-bit key shows as "*", a 128-bit one as "**".
  for (std::uint32_t n = 1; n <= kWepKeys; ++n) {
    MibEntry* key = d.store.find(under(e, {8, 3, 7, 1, 2, n}));
    if (!key || key->value.syntax != Syntax::Octets || key->value.bytes.size() <= 2) continue;
    key->value.bytes = key->value.bytes.size() <= 5 ? "*" : "**";
  }
  if (d.wireless.channelsByCountry.empty()) return;
  const MibEntry* country = d.store.find(under(e, {8, 3, 43, 0}));
  MibEntry* channels = d.store.find(under(e, {8, 3, 45, 0}));
  if (!country || !channels) return;
  for (const auto& [code, bitmap] : d.wireless.channelsByCountry)
    if (code == country->value.bytes) channels->value = Value::octets(bitmap);
}

bool acceptsCertificates(const DeviceModel& d) { return d.wireless.ftp && d.hasArea(MibArea::Wireless); }

}  // namespace sim
