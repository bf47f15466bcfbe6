#include "platform/net_config.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/socket_address.h"

namespace platform {

namespace {

// Environment texts are untrusted: quote at most this much of a bad value in a warning.
constexpr std::size_t kQuoteLimit = 40;

std::string quoted(std::string_view v) {
  std::string out = "\"";
  for (char c : v.substr(0, kQuoteLimit)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  if (v.size() > kQuoteLimit) out += "...";
  return out + '"';
}

void warnBad(const NetConfigWarningSink& warn, const char* name, std::string_view value, const std::string& used) {
  if (warn) warn(std::string(name) + "=" + quoted(value) + " is not valid; using " + used);
}

void readPort(const EnvLookup& env, const NetConfigWarningSink& warn, const char* name, std::uint16_t& port) {
  const char* v = env(name);
  if (!v) return;
  if (auto p = parsePort(v)) {
    port = *p;
  } else {
    warnBad(warn, name, v, std::to_string(port));
  }
}

// nullopt: the text names neither on nor off.
std::optional<bool> parseSwitch(std::string_view v) {
  for (std::string_view off : {"", "0", "false", "no", "off"}) {
    if (v == off) return false;
  }
  for (std::string_view on : {"1", "true", "yes", "on"}) {
    if (v == on) return true;
  }
  return std::nullopt;
}

struct Global {
  std::mutex mutex;
  bool loaded = false;
  NetConfig config;
  NetConfigWarningSink sink = [](const std::string& m) { std::fprintf(stderr, "trellan: %s\n", m.c_str()); };
};

Global& global() {
  static Global g;
  return g;
}

// Caller holds the mutex.
void loadLocked(Global& g) {
  if (g.loaded) return;
  std::uint32_t ipxNetwork = g.config.ipxLocalNetwork;
  g.config = parseNetConfig([](const char* name) { return std::getenv(name); }, g.sink);
  g.config.ipxLocalNetwork = ipxNetwork;
  g.loaded = true;
}

}  // namespace

std::optional<std::uint16_t> parsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (v == 0 || v > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(v);
}

std::uint16_t portFromSetting(std::uint32_t value, std::uint16_t fallback) {
  return (value >= 1 && value <= 65535) ? static_cast<std::uint16_t>(value) : fallback;
}

NetConfig parseNetConfig(const EnvLookup& env, const NetConfigWarningSink& warn) {
  NetConfig c;
  readPort(env, warn, "TRELLAN_SNMP_PORT", c.snmpPort);
  readPort(env, warn, "TRELLAN_TRAP_PORT", c.trapPort);
  readPort(env, warn, "TRELLAN_SECOND_FAMILY_PORT", c.secondFamilyPort);

  if (const char* v = env("TRELLAN_BROADCAST_ADDR")) {
    if (auto a = parseIpv4(v)) {
      c.broadcastAddress = *a;
    } else {
      warnBad(warn, "TRELLAN_BROADCAST_ADDR", v, formatIpv4(c.broadcastAddress));
    }
  }
  if (const char* v = env("TRELLAN_MULTICAST_IF")) {
    if (auto a = parseIpv4(v)) {
      c.multicastInterface = *a;
    } else if (*v != '\0') {
      warnBad(warn, "TRELLAN_MULTICAST_IF", v, "the system's default interface");
    }
  }
  if (const char* v = env("TRELLAN_LOOPBACK_ONLY")) {
    if (auto on = parseSwitch(v)) {
      c.loopbackOnly = *on;
    } else {
      // A guard that a typo switches off is no guard.
      c.loopbackOnly = true;
      warnBad(warn, "TRELLAN_LOOPBACK_ONLY", v, "1 (loopback only)");
    }
  }
  return c;
}

NetConfig netConfig() {
  Global& g = global();
  std::lock_guard lock(g.mutex);
  loadLocked(g);
  return g.config;
}

void setNetConfigWarningSink(NetConfigWarningSink sink) {
  Global& g = global();
  std::lock_guard lock(g.mutex);
  g.sink = std::move(sink);
}

void setNetConfig(const NetConfig& config) {
  Global& g = global();
  std::lock_guard lock(g.mutex);
  g.config = config;
  g.loaded = true;
}

void setIpxLocalNetwork(std::uint32_t network) {
  Global& g = global();
  std::lock_guard lock(g.mutex);
  loadLocked(g);
  g.config.ipxLocalNetwork = network;
}

}  // namespace platform
