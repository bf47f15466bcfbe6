// Plausible values of the private MIB catalogue for a simulated unit. The fixed values are those of
// sim/data/catalogue-values.json; what identifies the unit comes from its model.
#include "sim/catalogue_values.h"

#include <algorithm>
#include <string>

#include "sim/discovery_reply_builder.h"

namespace sim {

namespace {

constexpr std::string_view kE4 = "1.3.6.1.4.1.1240.2.3.4";

// A fixed value: 'i' integer, 't' text ("{n}" becomes the instance number), 'h' hex bytes, 'a' IPv4.
struct Fixed {
  std::string_view oid;
  char kind;
  std::int64_t number;
  std::string_view text;
};

constexpr Fixed kFixed[] = {
    // Identity and support
    {".1.2.0", 'i', 1, {}},
    {".1.9.0", 't', 0, "V5.41"},
    {".1.10.0", 'i', 1, {}},
    {".1.11.0", 't', 0, "support@trellan.example"},
    {".1.12.0", 't', 0, "+1 555 0100"},
    {".1.13.0", 't', 0, "www.trellan.example"},
    {".1.14.0", 't', 0, "Trellan Support"},
    // Actions read back 1
    {".2.2.0", 'i', 1, {}},
    {".2.3.0", 'i', 1, {}},
    {".2.4.0", 'i', 1, {}},
    {".3.5.0", 't', 0, "trap"},
    // Statistics counters
    {".4.2.0", 'i', 18423, {}},
    {".4.3.0", 'i', 17790, {}},
    {".4.4.0", 'i', 12, {}},
    {".4.5.0", 'i', 3, {}},
    {".4.6.0", 'i', 0, {}},
    {".4.7.0", 'i', 421, {}},
    {".4.8.0", 'i', 2, {}},
    // Token Ring
    {".5.2.1.0", 'i', 2, {}},
    {".5.3.1.0", 'i', 3, {}},
    {".5.3.2.0", 'i', 2, {}},
    {".5.3.3.0", 'i', 4, {}},
    {".5.3.4.0", 'i', 1, {}},
    {".5.3.5.0", 'h', 0, "400000000001"},
    {".6.1.2.0", 'i', 2, {}},
    // Output ports: capability word C with every control, and the row values
    {".6.2.4.0", 'i', 0x1FFFF, {}},
    {".6.2.3.2.1.6", 'i', 4, {}},
    {".6.2.3.2.1.7", 'i', 4, {}},
    {".6.2.3.2.1.8", 'i', 1, {}},
    {".6.2.3.2.1.9", 'h', 0, "1B45"},
    {".6.2.3.2.1.10", 'h', 0, "1B2531"},
    {".6.2.3.2.1.11", 'i', 1, {}},
    {".6.2.3.2.1.13", 'i', 1, {}},
    {".6.2.3.2.1.14", 'i', 2, {}},
    {".6.2.3.2.1.15", 'i', 1, {}},
    {".6.2.3.2.1.16", 'i', 1, {}},
    {".6.2.3.2.1.18", 'i', 2, {}},
    {".6.2.3.2.1.19", 'i', 8, {}},
    {".6.2.3.2.1.20", 'i', 1, {}},
    {".6.2.3.2.1.21", 'i', 1, {}},
    {".6.2.3.2.1.22", 'i', 4, {}},
    {".6.2.3.2.1.24", 'i', 1, {}},
    {".6.2.3.2.1.25", 'i', 1, {}},
    {".6.2.3.2.1.26", 'i', 1, {}},
    {".6.2.3.2.1.27", 'i', 1, {}},
    {".6.2.3.2.1.28", 'i', 0, {}},
    {".6.2.3.2.1.29", 'i', 10, {}},
    {".6.2.3.2.1.30", 'i', 1000, {}},
    {".6.2.3.2.1.31", 'i', 1, {}},
    // TCP/IP
    {".6.3.1.2.0", 'i', 2, {}},
    {".6.3.1.5.1.0", 't', 0, "TCP/IP ready"},
    {".6.3.1.4.4.0", 'i', 1, {}},
    {".6.3.1.4.8.0", 'i', 2, {}},
    {".6.3.1.4.5.0", 'i', 7, {}},
    {".6.3.1.4.7.0", 'i', 1, {}},
    {".6.3.1.4.14.0", 't', 0, ""},  // write-only password
    {".6.3.1.4.12.0", 'a', 0, "127.0.0.53"},
    {".6.3.1.4.13.0", 'i', 2, {}},
    {".6.3.1.4.15.0", 'i', 300, {}},
    {".6.3.1.4.16.0", 'i', 5, {}},
    {".6.3.1.6.0", 'i', 0x1FFFF, {}},
    {".6.3.1.4.17.0", 'i', 9100, {}},
    {".6.3.1.4.18.0", 'i', 1, {}},
    {".6.3.1.4.41.0", 'i', 2, {}},
    {".6.3.1.4.42.0", 'a', 0, "127.0.0.53"},
    {".6.3.1.4.43.0", 'a', 0, "127.0.0.54"},
    {".6.3.1.4.39.0", 't', 0, "lab.example"},
    {".6.3.1.4.44.0", 'i', 2, {}},
    {".6.3.1.4.45.0", 't', 0, "DEFAULT"},
    // Trap destinations
    {".6.3.1.4.9.0", 'i', kTcpTrapSlots, {}},
    {".6.3.1.4.24.0", 'i', kEmailTrapSlots, {}},
    {".6.3.1.4.23.0", 'a', 0, "127.0.0.25"},
    {".6.3.2.4.12.1.2.1", 'h', 0, "0000000A"},
    {".6.3.2.4.12.1.3.1", 'h', 0, "00408C112233"},
    {"1.3.6.1.4.1.1240.2.3.4.9.4.0", 'i', 0x000F, {}},  // two GPIO groups: four events
    {"1.3.6.1.4.1.1240.2.3.4.9.1.0", 'i', 0x0003, {}},
    {"1.3.6.1.4.1.1240.2.3.4.3.2.1.12", 'i', 0x007F, {}},  // seven events per port
    // NetWare
    {".6.3.2.2.0", 'i', 2, {}},
    {".6.3.2.4.2.0", 'i', 1, {}},
    {".6.3.2.4.3.0", 'i', 2, {}},
    {".6.3.2.4.5.0", 't', 0, ""},  // write-only password
    {".6.3.2.4.6.0", 'i', 1, {}},
    {".6.3.2.4.7.0", 't', 0, "FS1"},
    {".6.3.2.4.8.0", 'i', 2, {}},
    {".6.3.2.4.9.1.2", 't', 0, "FS{n}"},
    {".6.3.2.4.9.1.3", 'i', 1, {}},
    {".6.3.2.4.10.1.2", 't', 0, "Printer {n}"},
    {".6.3.2.4.10.1.5", 't', 0, "Q{n}"},
    {".6.3.2.4.10.1.6", 't', 0, "FS1"},
    {".6.3.2.5.1.0", 't', 0, "NetWare ready"},
    {".6.3.2.6.0", 'i', 2097151, {}},
    {".6.3.2.4.14.0", 't', 0, "TRELLAN_TREE"},
    {".6.3.2.4.15.0", 't', 0, "FS1"},
    // VINES
    {".6.3.3.2.0", 'i', 2, {}},
    {".6.3.3.4.2.0", 'i', 2, {}},
    {".6.3.3.4.4.1.2", 't', 0, "Print Service {n}"},
    {".6.3.3.5.1.0", 't', 0, "VINES ready"},
    // VINES print-service status, one row per output port: idle, no job.
    {".6.3.3.5.2.0", 'i', 1, {}},
    {".6.3.3.3.3.0", 'i', 1, {}},
    {".6.3.3.5.4.1.2", 't', 0, "Print Service {n}"},
    {".6.3.3.5.4.1.3", 't', 0, "Servicing"},
    {".6.3.3.5.4.1.5", 't', 0, "Idle"},
    {".6.3.3.5.4.1.6", 'i', 1, {}},
    // LAN Manager
    {".6.3.4.2.0", 'i', 2, {}},
    // EtherTalk
    {".6.3.5.2.0", 'i', 2, {}},
    {".6.3.5.4.1.0", 'h', 0, "0001"},
    {".6.3.5.4.2.0", 'h', 0, "FF02"},
    {".6.3.5.5.1.0", 't', 0, "EtherTalk ready"},
    {".6.3.5.4.4.1.2", 'i', 2, {}},
    {".6.3.5.4.4.1.5", 't', 0, "LaserWriter"},
    {".6.3.5.4.4.1.6", 't', 0, ""},
    {".6.3.5.4.4.1.7", 't', 0, "*"},
    {".6.3.5.4.4.1.8", 't', 0, "Lab Zone"},  // the zone in use; the configured one is "*"
    // Wireless
    {".8.3.1.0", 'i', 3, {}},
    {".8.3.2.0", 'i', 6, {}},
    {".8.3.3.0", 'i', 3, {}},
    {".8.3.4.0", 't', 0, "trellan-lab"},
    {".8.3.5.0", 'i', 4, {}},  // WPA 2 with a pre-shared key (.8.3.26.0)
    {".8.3.6.0", 'i', 0, {}},
    {".8.3.7.1.2", 't', 0, "*"},  // WEP keys read back "*"
    {".8.3.8.0", 'i', 0x07FF, {}},
    {".8.3.9.0", 'i', 1, {}},
    {".8.3.10.0", 't', 0, "trellan-lab"},  // the network it is on
    {".8.3.12.0", 'i', 78, {}},            // signal, per cent
    {".8.3.15.0", 't', 0, ""},
    {".8.3.16.0", 't', 0, "Good"},
    {".8.3.17.0", 't', 0, "WPA2-PSK"},
    {".8.3.18.0", 'i', 2, {}},
    {".8.3.19.0", 'i', 1, {}},
    {".8.3.20.0", 'i', 3, {}},
    {".8.3.21.0", 'i', 2, {}},
    {".8.3.22.0", 'i', 15, {}},
    {".8.3.23.0", 'i', 0, {}},
    {".8.3.24.0", 'i', 2, {}},
    {".8.3.26.0", 'i', 6, {}},
    {".8.3.27.0", 'i', 31, {}},
    {".8.3.28.0", 'i', 13, {}},
    {".8.3.29.1.2", 'i', 3, {}},
    {".8.3.30.0", 't', 0, "printer"},
    {".8.3.31.0", 't', 0, "pass"},
    {".8.3.32.0", 't', 0, "printer"},
    {".8.3.33.0", 't', 0, "root"},
    {".8.3.34.0", 'i', 65537, {}},
    {".8.3.35.0", 'i', 1, {}},
    {".8.3.36.0", 't', 0, "secret-psk"},
    {".8.3.37.0", 'i', 2, {}},
    {".8.3.38.0", 'i', 2, {}},
    {".8.3.39.0", 't', 0, "lab"},
    {".8.3.40.0", 'i', 2, {}},
    {".8.3.41.0", 'i', 3, {}},
    {".8.3.43.0", 't', 0, "US "},
    {".8.3.44.0", 'i', 2, {}},
    {".8.3.45.0", 'h', 0, "FF07"},
};

constexpr std::string_view kPrinterModels[] = {"LaserJet 4", "LaserJet 5", "DeskJet 890", "LaserJet 4000"};
constexpr std::string_view kCountries[] = {"US ", "USI", "JPO"};
constexpr std::string_view kPortEvents[] = {
    "On-line",      "Off-line",        "No Printer Attached", "Toner Low",   "Paper Out",        "Paper Jam",
    "Door Open",    "Printer Error",   "Job Started",         "Job Finished", "Output Bin Full", "Tray Missing",
    "Memory Low",   "Service Required", "Cover Open",         "Power Saving",
};

std::string withNumber(std::string_view text, std::uint32_t n) {
  std::string out(text);
  if (auto at = out.find("{n}"); at != std::string::npos) out.replace(at, 3, std::to_string(n));
  return out;
}

Value ipOf(std::uint32_t a) {
  return Value::ip(std::uint8_t(a >> 24), std::uint8_t(a >> 16), std::uint8_t(a >> 8), std::uint8_t(a));
}

Value fixedValue(const Fixed& f, std::uint32_t n) {
  switch (f.kind) {
    case 'i': return Value::integer(std::int32_t(f.number));
    case 't': return Value::octets(withNumber(f.text, n));
    case 'h': return Value::octets(fromHex(f.text).value_or(std::string{}));
    case 'a': return ipOf(parseIpv4(f.text).value_or(0));
  }
  return Value::null();
}

std::uint32_t portMask(const DeviceModel& d) {
  const std::size_t p = std::min<std::size_t>(d.ports.size(), 31);
  return (1u << p) - 1u;
}

bool isSerialPort(const DeviceModel& d, std::uint32_t n) {
  return n >= 1 && n <= d.ports.size() && d.ports[n - 1].name.rfind("COM", 0) == 0;
}

// Masks of a trap destination slot. Column .3 is the GPIO mask of the second form; in the first
// form .4 is the printer-event mask and .5 the output-port mask; .4, .6, .7, ... are the
// second form's per-port event masks. A free slot has no masks.
Value destinationMask(const DeviceModel& d, std::uint32_t column, bool used) {
  if (!used) return Value::integer(0);
  const bool second = d.trapForm == 2;
  switch (column) {
    case 3: return Value::integer(second ? 0x000F : 1);
    case 4: return Value::integer(second ? 0x007F : 0x807F);
    case 5: return Value::integer(std::int32_t(portMask(d)));
    default: return Value::integer(0x007F);
  }
}

// A byte string of 16-bit characters (low byte first), as the NDS object name is kept.
std::string wideText(const std::string& s) {
  std::string out;
  for (char c : s.substr(0, 47)) {
    out += c;
    out += '\0';
  }
  return out;
}

std::optional<Value> fromUnit(const DeviceModel& d, const CatalogueInstance& v) {
  const std::string_view o = v.oid;
  const std::uint32_t n = v.n;
  for (const MibAreaInfo& a : mibAreas())
    if (o == a.levelOid) return Value::integer(d.levelOf(a.area));

  // Identity, as the discovery reply gives it.
  if (o == ".1.3.0") return Value::octets(d.discovery.productType);
  if (o == ".1.4.0") return Value::octets(d.discovery.productNumber);
  if (o == ".1.5.0")
    return Value::octets(d.discovery.serialNumber.empty() ? std::to_string(responderId(d)) : d.discovery.serialNumber);
  if (o == ".1.6.0") return Value::octets(d.hardwareAddress);
  if (o == ".1.7.0") return Value::integer(d.tokenRing ? 5 : 2);
  if (o == ".1.8.0") return Value::octets(d.discovery.datecode);
  if (o == ".1.15.1.0") return Value::integer(std::int32_t(d.protocols.size()));
  if (o == ".1.15.2.1.2" && n >= 1 && n <= d.protocols.size()) return Value::integer(d.protocols[n - 1]);
  if (o == ".1.15.2.1.3" && n >= 1 && n <= d.protocols.size()) return Value::octets(protocolName(d.protocols[n - 1]));

  // Communities: the SET community is write-only and reads empty.
  if (o == ".3.3.0") return Value::octets(d.getCommunity);
  if (o == ".3.4.0") return Value::octets("");

  // Addresses, as the discovery reply gives them.
  const std::uint32_t ip = d.discovery.ip.value_or(d.address);
  if (o == ".6.3.1.4.1.0") return ipOf(ip);
  if (o == ".6.3.1.4.3.0") return ipOf(d.discovery.subnetMask);
  if (o == ".6.3.1.4.2.0") return ipOf(d.discovery.gateway);
  if (o == ".6.3.1.4.6.0") return Value::integer(ip == 0xC00000C0u ? 2 : 1);  // 192.0.0.192: the default

  // Output ports, as the discovery reply's status block gives them.
  if (o == ".6.2.3.1.0" || o == ".6.3.5.4.3.0") return Value::integer(std::int32_t(d.ports.size()));
  if (n >= 1 && n <= d.ports.size()) {
    const Port& p = d.ports[n - 1];
    if (o == ".6.2.3.2.1.2") return Value::octets(p.name);
    if (o == ".6.2.3.2.1.3") return Value::octets(isSerialPort(d, n) ? "Serial" : "Parallel");
    if (o == ".6.2.3.2.1.4") return Value::integer(p.inputState == 2 ? 2 : 1);
    if (o == ".6.2.3.2.1.5") return Value::integer(p.statusCode >= 1 ? p.statusCode : 1);
    // The printer's identification, as the list's printer column reads it.
    if (o == ".6.2.3.2.1.15") return Value::octets(std::string(kPrinterModels[(n - 1) % std::size(kPrinterModels)]));
    if (o == ".6.2.3.2.1.12") {
      // A serial port reports its speed below level 6 and "Serial Output" from level 6 on.
      const std::int32_t l = d.levelOf(MibArea::Ports);
      return Value::integer(!isSerialPort(d, n) ? 32766 : (l == 0 || l >= 6) ? 32760 : 4);
    }
    if (o == ".6.2.3.2.1.17")
      return Value::integer(isSerialPort(d, n) ? 0x0A00001F : 0x40C00000);  // serial output / 1284 modes
    // The name configured (.3) and the name in use (.4) agree on a network without a clash.
    if (o == ".6.3.5.4.4.1.3" || o == ".6.3.5.4.4.1.4")
      return Value::octets((d.name + (n > 1 ? "-" + std::to_string(n) : "")).substr(0, 32));
  }
  if (o == ".6.3.3.4.4.1.3") return Value::integer(std::int32_t(std::min<std::size_t>(n, std::max<std::size_t>(d.ports.size(), 1))));

  // Trap destinations: the first slots of each kind hold an address, the others are free.
  if (o == ".6.2.5.0") return Value::integer(d.trapForm == 2 ? 0 : 255);
  if (o == ".6.3.1.4.10.1.2") return ipOf(std::int64_t(n) <= kTcpTrapsUsed ? 0x7F000900u + n : 0);
  if (o == ".6.3.1.4.25.1.2")
    return Value::octets(std::int64_t(n) <= kEmailTrapsUsed ? "printer-alerts-" + std::to_string(n) + "@lab.example" : "");
  struct Table {
    std::string_view oid;
    std::int32_t used;
  };
  for (const Table& t : {Table{".6.3.1.4.10.1", kTcpTrapsUsed}, Table{".6.3.1.4.25.1", kEmailTrapsUsed}}) {
    const bool isUsed = std::int64_t(n) <= t.used;
    if (o == t.oid) return destinationMask(d, v.column, isUsed);  // per-port columns of the second form
    if (o.size() == t.oid.size() + 2 && o.substr(0, t.oid.size()) == t.oid && o[t.oid.size()] == '.')
      return destinationMask(d, std::uint32_t(o.back() - '0'), isUsed);  // columns .3, .4 and .5 of a row
  }
  if (o == ".6.3.2.4.12.1.4.1") return destinationMask(d, 3, true);
  if (o == ".6.3.2.4.12.1.5.1") return destinationMask(d, 4, true);
  if (o == ".6.3.2.4.12.1.6.1") return destinationMask(d, 5, true);
  if (o == ".6.3.2.4.12.1") return destinationMask(d, 6, true);
  if (o == std::string(kE4) + ".9.5.1.2")
    return Value::octets("Input " + std::to_string((n + 1) / 2) + (n % 2 ? " Low" : " High"));
  if (o == std::string(kE4) + ".3.2.1" && v.column >= 13 && v.column <= 28)
    return Value::octets(std::string(kPortEvents[v.column - 13]));

  // Names the unit gives itself in the other protocols.
  if (o == ".6.3.2.4.1.0") return Value::integer(d.tokenRing ? 6 : 2);
  if (o == ".6.3.2.4.4.0") return Value::octets(d.name.substr(0, 47));
  if (o == ".6.3.2.4.13.0") return Value::octets(wideText(d.name));
  if (o == ".6.3.3.4.1.0") return Value::octets(d.name.substr(0, 40) + "@Lab@Trellan");
  if (o == ".8.3.42.1.2" && n >= 1 && n <= std::size(kCountries)) return Value::octets(std::string(kCountries[n - 1]));
  return std::nullopt;
}

Value generic(const DeviceModel& d, const CatalogueInstance& v) {
  using mib::Syntax;
  switch (v.syntax) {
    case Syntax::Integer:
      if (v.enumeration == &mib::kEnabledTwo) return Value::integer(2);
      if (v.enumeration && !v.enumeration->entries.empty()) return Value::integer(v.enumeration->entries.front().value);
      return Value::integer(1);
    case Syntax::Text: {
      std::string word(v.meaning.substr(0, v.meaning.find(" (")));
      if (word.empty()) word = "value";
      if (v.n) word += " " + std::to_string(v.n);
      return Value::octets(word.substr(0, 32));
    }
    case Syntax::Bytes: return Value::octets(std::string("\x00\x40\x8C", 3));
    case Syntax::IpAddress: return Value::ip(127, 0, 0, 1);
    case Syntax::Unsigned: return Value::unsignedOf(sim::Syntax::Gauge, 0);
    case Syntax::ObjectId: return Value::objectId(d.enterprise);
  }
  return Value::null();
}

}  // namespace

std::string protocolName(std::int32_t id) {
  switch (id) {
    case 1: return "TCP/IP";
    case 2: return "NetWare";
    case 3: return "VINES";
    case 4: return "LAN Manager";
    case 5: return "EtherTalk";
    case 7: return "Wireless";
  }
  return "Protocol " + std::to_string(id);
}

Value plausibleValue(const DeviceModel& d, const CatalogueInstance& v) {
  if (auto x = fromUnit(d, v)) return *x;
  for (const Fixed& f : kFixed)
    if (f.oid == v.oid) return fixedValue(f, v.n);
  return generic(d, v);
}

}  // namespace sim
