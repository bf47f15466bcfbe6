#include "multi/multi_config_fields.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <charconv>
#include <map>

#include "access/wireless_countries.h"

namespace multi {

namespace {

constexpr FieldChoice kLanguage[] = {{"Off", 1}, {"PCL", 2}, {"PostScript", 3}, {"Automatic", 4}, {"Pre/Post String", 5}};
constexpr FieldChoice kPrinterType[] = {{"HP III with PostScript Plus", 1},
                                        {"HP LaserJet (except HP III)", 2},
                                        {"Lexmark", 3},
                                        {"No Specific Printer", 4}};
constexpr FieldChoice kPageLanguage[] = {{"Text", 1}, {"PCL", 2}, {"PostScript", 3}, {"Off", 4}};
constexpr FieldChoice kFrame[] = {{"Automatic Sensing", 1}, {"Ethernet II", 2},     {"Ethernet 802.3", 3},
                                  {"Ethernet 802.2", 4},    {"Ethernet Snap", 5},   {"Token Ring", 6},
                                  {"Token Ring Snap", 7}};
constexpr FieldChoice kSignature[] = {{"None", 1},
                                      {"Only if the server requests", 2},
                                      {"Only if the server is capable", 3},
                                      {"Always", 4}};
constexpr FieldChoice kWirelessMode[] = {{"Ad Hoc (802.11)", 1}, {"Infrastructure", 3}};
constexpr FieldChoice kDataRate[] = {{"1", 0},  {"2", 1},  {"5.5", 2}, {"11", 3}, {"6", 4},  {"9", 5},
                                     {"12", 6}, {"18", 7}, {"24", 8},  {"48", 9}, {"54", 10}, {"108", 11}};
constexpr FieldChoice kRadio[] = {{"802.11b only", 0},
                                  {"802.11g only", 1},
                                  {"802.11b and g", 2},
                                  {"802.11a only", 3},
                                  {"802.11a, b and g", 4}};
constexpr FieldChoice kDensity[] = {{"Low", 0}, {"Medium", 1}, {"High", 2}};
constexpr FieldChoice kStrictness[] = {{"Disabled", 1}, {"Strict", 2}, {"Flexible", 3}};
constexpr FieldChoice kEncryption[] = {{"Disabled", 0}, {"WEP 64", 1},   {"WEP 128", 2},    {"WPA", 3},
                                       {"WPA 2", 4},    {"WPA WPA2", 5}, {"Dynamic WEP", 6}};

using K = FieldKind;
// clang-format off
constexpr MultiField kFields[] = {
    {"tcpip", "TCP/IP", ".6.3.1.2.0", K::TriState},
    {"netware", "NetWare", ".6.3.2.2.0", K::TriState},
    {"ethertalk", "EtherTalk", ".6.3.5.2.0", K::TriState},
    {"lan-manager", "LAN Manager", ".6.3.4.2.0", K::TriState},
    {"vines", "Banyan VINES", ".6.3.3.2.0", K::TriState},
    {"ipx-direct-print", "IPX Direct Print", ".6.3.2.4.19.0", K::TriState},
    {"jetadmin", "HP Jet Admin Support", ".6.1.2.0", K::TriState},
    {"wireless", "Wireless", ".8.3.18.0", K::TriState},
    {"language-switching", "Language Switching:", ".6.2.3.2.1.7", K::Choice, true, 0, 0, kLanguage},
    {"printer-type", "Printer Type:", ".6.2.3.2.1.6", K::Choice, true, 0, 0, kPrinterType},
    {"pcl-switch-sequence", "PCL Switch Sequence:", ".6.2.3.2.1.9", K::Text, true, 0, 32},
    {"postscript-switch-sequence", "PostScript Switch Sequence:", ".6.2.3.2.1.10", K::Text, true, 0, 32},
    {"configuration-page-language", "Configuration Page Language:", ".6.2.3.2.1.8", K::Choice, true, 0, 0, kPageLanguage},
    {"pjl-status", "PJL Printer Status Support", ".6.2.3.2.1.14", K::TriState, true},
    {"subnet-mask", "Subnet Mask:", ".6.3.1.4.3.0", K::Address},
    {"gateway", "Default Gateway:", ".6.3.1.4.2.0", K::Address},
    {"wins-server", "WINS Server:", ".6.3.1.4.12.0", K::Address},
    {"wins-by-dhcp", "Use DHCP To Locate WINS Server", ".6.3.1.4.13.0", K::TriStateInverted},
    {"address-by-protocol", "Get Address by Net Protocol", ".6.3.1.4.4.0", K::TriState},
    {"address-methods", "RARP, BootP, DHCP, Gleaning, AllowTimeout", ".6.3.1.4.5.0", K::AddressMethods},
    {"connection-timeout", "Connection Timeout", ".6.3.1.4.8.0", K::TriState},
    {"unsolicited-arp", "Unsolicited ARP (minutes, 0 off)", ".6.3.1.4.16.0", K::Number, false, 0, 30},
    {"telnet-password", "Telnet/Http Password", ".6.3.1.4.14.0", K::Text, false, 5, 24},
    {"frame-format", "Frame Format:", ".6.3.2.4.2.0", K::Choice, false, 0, 0, kFrame},
    {"queue-scan-time", "Queue Scan Time:", ".6.3.2.4.6.0", K::Number, false, 1, 255},
    {"packet-signature", "Packet Signature:", ".6.3.2.4.17.0", K::Choice, false, 0, 0, kSignature},
    {"disable-sap-broadcast", "Disable SAP Broadcast", ".6.3.2.4.21.0", K::TriState},
    {"packet-checksum", "Packet Checksum", ".6.3.2.4.16.0", K::TriState},
    {"job-notification", "Job Notification", ".6.3.2.4.10.1.9", K::TriState, true},
    {"forms-checking", "Forms Checking", ".6.3.2.4.10.1.7", K::TriState, true},
    {"forms-number", "Number", ".6.3.2.4.10.1.8", K::Number, true, 0, 255},
    {"system-contact", "System Contact:", "1.3.6.1.2.1.1.4.0", K::Text, false, 0, 255},
    {"get-community", "Get:", ".3.3.0", K::Text, false, 1, 32},
    {"set-community", "Set:", ".3.4.0", K::Text, false, 1, 32},
    {"trap-community", "Trap:", ".3.5.0", K::Text, false, 1, 32},
    // The first TCP/IP trap destination: the address column of destination row 1.
    {"first-trap-destination", "First IP Trap Destination:", ".6.3.1.4.10.1.2.1", K::Address},
    {"wireless-mode", "Wireless Mode", ".8.3.1.0", K::Choice, false, 0, 0, kWirelessMode},
    {"ssid", "SSID", ".8.3.4.0", K::Text, false, 1, 32},
    {"rf-channel", "RF Channel", ".8.3.2.0", K::Number, false, 1, 255},
    {"data-rate", "Data Rate", ".8.3.3.0", K::Choice, false, 0, 0, kDataRate},
    {"radio", "Radio", ".8.3.21.0", K::Choice, false, 0, 0, kRadio},
    {"ap-density", "A.P. Density", ".8.3.23.0", K::Choice, false, 0, 0, kDensity},
    {"802.11d", "802.11 D", ".8.3.24.0", K::Choice, false, 0, 0, kStrictness},
    // The unit takes the three-character code of the country table ("US ", "USI"); a name is
    // turned into its code.
    {"country", "Country", ".8.3.43.0", K::Text, false, 2, 3},
    {"dynamic-frequency-select", "Dynamic Freq. Select", ".8.3.44.0", K::Choice, false, 0, 0, kStrictness},
    {"encryption", "Encryption Mode", ".8.3.5.0", K::Choice, false, 0, 0, kEncryption},
    {"wep-key-1", "WEP Key 1", ".8.3.7.1.2.1", K::WepKey},
    {"wep-key-2", "WEP Key 2", ".8.3.7.1.2.2", K::WepKey},
    {"wep-key-3", "WEP Key 3", ".8.3.7.1.2.3", K::WepKey},
    {"wep-key-4", "WEP Key 4", ".8.3.7.1.2.4", K::WepKey},
    {"wep-key-select", "Key Selection (1-4)", ".8.3.6.0", K::Number, false, 1, 4, {}, -1},
    {"user-id", "User ID", ".8.3.30.0", K::Text, false, 1, 32},
    {"password", "Password", ".8.3.31.0", K::Text, false, 1, 32},
    {"certificate-common-name-1", "Certificate Common Name 1", ".8.3.32.0", K::Text, false, 1, 32},
    {"certificate-root-key", "Certificate Root Key", ".8.3.33.0", K::Text, false, 1, 32},
    {"wpa-psk", "WPA-PSK", ".8.3.36.0", K::Text, false, 1, 32},
    {"certificate-common-name-2", "Certificate Common Name 2", ".8.3.39.0", K::Text, false, 1, 32},
    {"authentication-type", "Authentication Type", ".8.3.26.0", K::Number, false, 0, 255},
    {"certificate-root-key-exponent", "Certificate Root Key Exponent", ".8.3.34.0", K::Number, false, 1, 99999},
    {"authentication-protocol", "Authentication Protocol", ".8.3.35.0", K::Number, false, 0, 255},
    {"wpa-auto-associate", "WPA Auto Associate", ".8.3.37.0", K::TriState},
    {"wpa-group-key", "WPA Group Key", ".8.3.38.0", K::TriState},
};
// clang-format on

constexpr FieldChoice kMethods[] = {{"rarp", 0x01}, {"bootp", 0x02}, {"dhcp", 0x04}, {"gleaning", 0x08}, {"allowtimeout", 0x10}};

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool parseInt(const std::string& text, long long& out) {
  if (text.empty()) return false;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// "on"/"off" as 1 (on) / 0 (off), -1 neither.
int onOff(const std::string& v) {
  const std::string l = lower(v);
  if (l == "on" || l == "yes" || l == "true" || l == "1" || l == "enabled") return 1;
  if (l == "off" || l == "no" || l == "false" || l == "0" || l == "disabled") return 0;
  return -1;
}

bool isHex(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

}  // namespace

std::span<const MultiField> multiFields() noexcept { return kFields; }

const MultiField* findMultiField(const std::string& name) noexcept {
  const std::string l = lower(name);
  for (const MultiField& f : kFields)
    if (l == f.name) return &f;
  return nullptr;
}

std::string buildMultiSettings(const std::vector<std::pair<std::string, std::string>>& values,
                               CMultiConfigSettings& settings) {
  std::map<std::string, std::string> given;  // the last value of each field
  std::vector<const MultiField*> order;      // fields in the table's order
  for (const auto& [name, value] : values) {
    const MultiField* f = findMultiField(name);
    if (!f) return "'" + name + "' is not a setting (trellanctl multi-config --list names them)";
    given[f->name] = value;
  }
  for (const MultiField& f : kFields)
    if (given.count(f.name)) order.push_back(&f);
  auto has = [&](const char* n) { return given.count(n) != 0; };
  auto choiceOf = [&](const char* n) -> long long {
    const MultiField* f = findMultiField(n);
    const std::string& v = given[n];
    for (const FieldChoice& c : f->choices)
      if (lower(v) == lower(c.name)) return c.value;
    long long x = 0;
    return parseInt(v, x) ? x : -1;
  };

  // Rules between fields, as the dialog enables them.
  const bool infrastructure = has("wireless-mode") && choiceOf("wireless-mode") == 3;
  if (has("rf-channel") && infrastructure) return "rf-channel: offered only in Ad Hoc mode";
  if (has("802.11d") && !infrastructure) return "802.11d: offered only with wireless-mode=Infrastructure";
  if (has("address-methods") && !(has("address-by-protocol") && onOff(given["address-by-protocol"]) == 1))
    return "address-methods: only with address-by-protocol=on";
  if (has("forms-number") && !has("forms-checking")) return "forms-number: only with forms-checking";
  if (has("country")) {
    std::string& v = given["country"];
    std::string code(mib::wirelessCountryCode(v));
    if (code.empty() && !mib::wirelessCountryName(v).empty()) code = v.size() == 2 ? v + " " : v;
    if (code.empty()) return "country: '" + v + "' is not a country of the table (a name or a code such as \"USI\")";
    v = code;
  }
  long long encryption = -1;
  if (has("encryption")) encryption = choiceOf("encryption");
  for (int n = 1; n <= 4; ++n) {
    const std::string key = "wep-key-" + std::to_string(n);
    if (!has(key.c_str())) continue;
    if (encryption != 1 && encryption != 2) return key + ": WEP keys need encryption=\"WEP 64\" or \"WEP 128\"";
    const std::string& v = given[key];
    if (!isHex(v)) return key + ": The WEP Key only accepts HEX (i.e. 0-9, a-f, A-F).";
    const std::size_t want = encryption == 1 ? 10 : 26;
    if (v.size() != want) return key + ": The WEP Key must be " + std::to_string(want) + " characters.";
  }

  for (const MultiField* f : order) {
    const std::string& v = given[f->name];
    const std::string what = std::string(f->name) + ": ";
    switch (f->kind) {
      case K::TriState:
      case K::TriStateInverted: {
        const int s = onOff(v);
        if (s < 0) return what + "'" + v + "' is neither on nor off";
        const std::int32_t value = (s == 1) == (f->kind == K::TriState) ? 2 : 1;
        if (f->perPort) settings.addPortInteger(f->oid, value);
        else settings.addInteger(f->oid, value);
        break;
      }
      case K::Choice: {
        const long long value = choiceOf(f->name);
        const bool known = std::any_of(f->choices.begin(), f->choices.end(),
                                       [&](const FieldChoice& c) { return c.value == value; });
        if (!known) {
          std::string names;
          for (const FieldChoice& c : f->choices) names += (names.empty() ? "\"" : ", \"") + std::string(c.name) + "\"";
          return what + "'" + v + "' is not one of " + names;
        }
        if (f->perPort) settings.addPortInteger(f->oid, static_cast<std::int32_t>(value));
        else settings.addInteger(f->oid, static_cast<std::int32_t>(value));
        break;
      }
      case K::Text:
        if (v.size() < static_cast<std::size_t>(f->minimum) || v.size() > static_cast<std::size_t>(f->maximum))
          return what + "the text must be " + std::to_string(f->minimum) + " to " + std::to_string(f->maximum) +
                 " characters long";
        if (f->perPort) settings.addPortText(f->oid, v);
        else settings.addText(f->oid, v);
        break;
      case K::Address: {
        in_addr a{};
        if (v.empty() || ::inet_pton(AF_INET, v.c_str(), &a) != 1) return what + "'" + v + "' is not an IPv4 address";
        std::array<std::uint8_t, 4> ip{};
        const auto* p = reinterpret_cast<const std::uint8_t*>(&a.s_addr);
        std::copy(p, p + 4, ip.begin());
        settings.addIpAddress(f->oid, ip);
        break;
      }
      case K::Number: {
        long long x = 0;
        if (!parseInt(v, x) || x < f->minimum || x > f->maximum)
          return what + "enter a number from " + std::to_string(f->minimum) + " to " + std::to_string(f->maximum);
        // The channel goes out as chosen: adding one would tune every unit to its neighbour.
        const auto value = static_cast<std::int32_t>(x + f->offset);
        if (f->perPort) settings.addPortInteger(f->oid, value);
        else settings.addInteger(f->oid, value);
        break;
      }
      case K::WepKey:
        if (!settings.addWepKey(f->oid[sizeof(".8.3.7.1.2.") - 1] - '0', v)) return what + "not a WEP key";
        break;
      case K::AddressMethods: {
        std::int32_t bits = 0;
        std::string rest = lower(v) + ",";
        for (std::size_t at = 0, comma; (comma = rest.find(',', at)) != std::string::npos; at = comma + 1) {
          const std::string item = rest.substr(at, comma - at);
          if (item.empty()) continue;
          const auto* m = std::find_if(std::begin(kMethods), std::end(kMethods),
                                       [&](const FieldChoice& c) { return item == c.name; });
          if (m == std::end(kMethods)) return what + "'" + item + "' is not rarp, bootp, dhcp, gleaning or allowtimeout";
          bits |= m->value;
        }
        settings.addInteger(f->oid, bits);
        break;
      }
    }
  }
  return {};
}

}  // namespace multi
