#include "config/config_fields.h"

#include "access/mib_catalogue.h"
#include "config/change_password.h"
#include "config/ipv4_field.h"
#include "config/port_page_fields.h"
#include "config/snmp_traps_page.h"
#include "config/wireless_fields.h"

namespace config {

namespace {

using mib::levelAtLeast;

std::string onOff(bool on) { return on ? "on" : "off"; }

// "on"/"off" (also 1/0, yes/no, enabled/disabled).
bool parseOnOff(const std::string& text, bool& out) {
  if (text == "on" || text == "1" || text == "yes" || text == "enabled") return out = true, true;
  if (text == "off" || text == "0" || text == "no" || text == "disabled") return out = false, true;
  return false;
}

bool parseNumber(const std::string& text, long& out) {
  if (text.empty() || text.size() > 9) return false;
  long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

std::function<std::string(const std::string&)> addressSetter(std::string& field) {
  return [&field](const std::string& v) -> std::string {
    std::uint8_t a[4];
    if (!parseIpv4Field(v, a)) return kTextInvalidAddress;
    field = v;
    return {};
  };
}

std::function<std::string(const std::string&)> flagSetter(bool& field) {
  return [&field](const std::string& v) -> std::string {
    bool on = false;
    if (!parseOnOff(v, on)) return "takes on or off";
    field = on;
    return {};
  };
}

void tcpipFields(CTcpIpPage& p, std::vector<ConfigField>& out) {
  const std::string page = p.title();
  const int l = p.level();
  const TcpIpShown& s = p.shown();
  const CAdvancedTcpIpDlg adv = p.advancedDialog();
  auto add = [&](const char* name, const char* help, std::function<std::string()> get,
                 std::function<std::string(const std::string&)> set, bool writeOnly = false) {
    out.push_back({page, name, help, std::move(get), std::move(set), writeOnly});
  };
  add("ip_address", "the unit's IP address", [&p] { return p.address; }, addressSetter(p.address));
  add("subnet_mask", "subnet mask", [&p] { return p.mask; }, addressSetter(p.mask));
  add("default_gateway", "default gateway", [&p] { return p.gateway; }, addressSetter(p.gateway));
  if (s.permanentChoice)
    add("address_mode", "permanent or network (obtained by RARP, BOOTP, DHCP ...)",
        [&p] { return std::string(p.network ? "network" : "permanent"); },
        [&p](const std::string& v) -> std::string {
          if (v == "permanent") p.network = false;
          else if (v == "network") p.network = true;
          else return "takes permanent or network";
          return {};
        });
  if (s.methods) {
    add("rarp", "RARP on/off", [&p] { return onOff(p.rarp); }, flagSetter(p.rarp));
    add("bootp", "BOOTP on/off", [&p] { return onOff(p.bootp); }, flagSetter(p.bootp));
    add("dhcp", "DHCP on/off", [&p] { return onOff(p.dhcp); }, flagSetter(p.dhcp));
  }
  if (s.gleaningAndTimeout) {
    add("gleaning", "Gleaning on/off", [&p] { return onOff(p.gleaning); }, flagSetter(p.gleaning));
    add("allow_timeout", "Allow Timeout on/off", [&p] { return onOff(p.allowTimeout); }, flagSetter(p.allowTimeout));
  }
  if (s.wins) add("wins_server", "WINS server address", [&p] { return p.wins; }, addressSetter(p.wins));
  if (s.useDhcpForWins)
    add("wins_by_dhcp", "locate the WINS server by DHCP on/off", [&p] { return onOff(p.useDhcpForWins); },
        flagSetter(p.useDhcpForWins));
  if (s.passwordButton)
    add("password", "telnet/HTTP password (5 to 24 characters, one word; write-only)", [] { return std::string(); },
        [&p](const std::string& v) -> std::string {
          const PageCheck c = checkNewPassword(kTcpIpPasswordRules, v, v);
          if (!c.ok()) return c.message;
          p.setNewPassword(v);
          return {};
        },
        true);
  if (adv.timeoutShown())
    add("tcp_timeout", "TCP connection time-out: off, or 10 to 3600 seconds",
        [&p] { return p.advanced.timeoutOn ? std::to_string(p.advanced.timeoutSeconds) : std::string("off"); },
        [&p, l](const std::string& v) -> std::string {
          long n = 0;
          if (v == "off") {
            p.advanced.timeoutOn = false;
            return {};
          }
          if (!parseNumber(v, n) || n < 10 || n > 3600) return kTextTimeoutRange;
          p.advanced.timeoutOn = true;
          if (levelAtLeast(l, 3)) p.advanced.timeoutSeconds = n;
          return {};
        });
  if (adv.arpShown())
    add("arp_interval", "unsolicited ARP interval in minutes, 0 to 30 (0: off)",
        [&p] { return std::to_string(p.advanced.arpMinutes); },
        [&p](const std::string& v) -> std::string {
          long n = 0;
          if (!parseNumber(v, n) || n > 30) return kTextArpRange;
          p.advanced.arpMinutes = n;
          p.advanced.arpOn = n != 0;
          return {};
        });
  if (adv.rawPortShown())
    add("raw_port", "first raw printing port", [&p] { return std::to_string(p.advanced.rawPort); },
        [&p](const std::string& v) -> std::string {
          long n = 0;
          if (!parseNumber(v, n) || n > 65535) return "Valid port values are 0 to 65535.";
          p.advanced.rawPort = n;
          return {};
        });
  if (adv.dnsShown()) {
    add("dns", "DNS on/off", [&p] { return onOff(p.advanced.dnsOn); }, flagSetter(p.advanced.dnsOn));
    add("primary_dns", "primary DNS server", [&p] { return p.advanced.primaryDns; }, addressSetter(p.advanced.primaryDns));
    add("secondary_dns", "secondary DNS server", [&p] { return p.advanced.secondaryDns; },
        addressSetter(p.advanced.secondaryDns));
    add("domain_name", "domain name (at most 64 characters)", [&p] { return p.advanced.domain; },
        [&p](const std::string& v) -> std::string {
          if (v.size() > kDomainLimit) return "The domain name takes at most 64 characters.";
          p.advanced.domain = v;
          return {};
        });
  }
  if (adv.slpShown()) {
    add("slp", "SLP on/off", [&p] { return onOff(p.advanced.slpOn); }, flagSetter(p.advanced.slpOn));
    add("slp_scope", "SLP scope list (at most 128 characters)", [&p] { return p.advanced.slpScope; },
        [&p](const std::string& v) -> std::string {
          if (v.size() > kScopeLimit) return "The SLP scope list takes at most 128 characters.";
          p.advanced.slpScope = v;
          return {};
        });
  }
}

void snmpFields(CSnmpPage& p, std::vector<ConfigField>& out) {
  const std::string page = p.title();
  auto text = [&](const char* name, const char* help, std::string& field, std::size_t limit) {
    out.push_back({page, name, help, [&field] { return field; },
                   [&field, limit](const std::string& v) -> std::string {
                     if (v.size() > limit) return "takes at most " + std::to_string(limit) + " characters";
                     field = v;
                     return {};
                   }});
  };
  text("system_name", "MIB-II sysName", p.sysName, kSystemTextLimit);
  text("system_contact", "MIB-II sysContact", p.contact, kSystemTextLimit);
  text("system_location", "MIB-II sysLocation", p.location, kSystemTextLimit);
  // The command line types each community once: its verify field takes the same text.
  out.push_back({page, "get_community", "GET community (password)", [&p] { return p.getCommunity; },
                 [&p](const std::string& v) -> std::string {
                   if (v.size() > kCommunityLimit) return kTextInvalidCommunity;
                   p.editGetCommunity(v);
                   p.getVerify = v;
                   return {};
                 }});
  out.push_back({page, "set_community", "SET community (password; write-only on the unit)",
                 [&p] { return p.setCommunity; },
                 [&p](const std::string& v) -> std::string {
                   if (v.size() > kCommunityLimit) return kTextInvalidCommunity;
                   p.editSetCommunity(v);
                   p.setVerify = v;
                   return {};
                 }});
  text("trap_community", "trap community", p.trapCommunity, kCommunityLimit);
}

void protocolFields(CProtocolsPage& p, std::vector<ConfigField>& out) {
  for (const ProtocolItem& item : p.items) {
    std::string name = item.data == kItemJetAdmin ? std::string("hp_jetadmin") : "protocol." + item.name;
    for (char& c : name)
      if (c == ' ' || c == '/') c = '_';
    const std::int32_t data = item.data;
    out.push_back({p.title(), name, item.enabled ? "on/off" : "on/off (carries this connection: cannot be switched off)",
                   [&p, data] {
                     for (const ProtocolItem& i : p.items)
                       if (i.data == data) return onOff(i.checked);
                     return std::string();
                   },
                   [&p, data](const std::string& v) -> std::string {
                     bool on = false;
                     if (!parseOnOff(v, on)) return "takes on or off";
                     if (!p.setChecked(data, on)) return "this protocol carries the connection and stays on";
                     return {};
                   }});
  }
}

}  // namespace

std::vector<ConfigField> configFields(CConfigPropSheet& sheet) {
  std::vector<ConfigField> out;
  for (CDevicePage* page : sheet.pages()) {
    page->open();
    if (page == &sheet.tcpIpPage()) tcpipFields(sheet.tcpIpPage(), out);
    if (page == &sheet.snmpPage()) {
      snmpFields(sheet.snmpPage(), out);
      // Shown communities count as typed: their verify fields start equal for the command line.
      sheet.snmpPage().getVerify = sheet.snmpPage().getCommunity;
      sheet.snmpPage().setVerify = sheet.snmpPage().setCommunity;
    }
    if (page == &sheet.protocolsPage()) protocolFields(sheet.protocolsPage(), out);
    portPageFields(*page, out);
    if (auto* wireless = dynamic_cast<CWirelessPage*>(page)) wirelessFields(*wireless, out);
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> configFieldHelp() {
  std::vector<std::pair<std::string, std::string>> help = {
      {"ip_address", "TCP/IP: the unit's IP address (the unit moves there at the reset)"},
      {"subnet_mask", "TCP/IP: subnet mask"},
      {"default_gateway", "TCP/IP: default gateway"},
      {"address_mode", "TCP/IP: permanent or network"},
      {"rarp, bootp, dhcp, gleaning, allow_timeout", "TCP/IP: resolution methods, on/off"},
      {"wins_server, wins_by_dhcp", "TCP/IP: WINS server address; locate it by DHCP on/off"},
      {"password", "TCP/IP: telnet/HTTP password, 5 to 24 characters, one word (write-only)"},
      {"tcp_timeout", "TCP/IP: off, or 10 to 3600 seconds"},
      {"arp_interval", "TCP/IP: unsolicited ARP minutes 0 to 30"},
      {"raw_port", "TCP/IP: first raw printing port"},
      {"dns, primary_dns, secondary_dns, domain_name", "TCP/IP: DNS"},
      {"slp, slp_scope", "TCP/IP: SLP"},
      {"system_name, system_contact, system_location", "SNMP: MIB-II system texts (at most 127 characters)"},
      {"get_community, set_community, trap_community", "SNMP: communities (at most 31 characters)"},
      {"protocol.NAME, hp_jetadmin", "Protocols: on/off (NAME as the unit names it, e.g. protocol.VINES)"},
  };
  for (auto& entry : portPageFieldHelp()) help.push_back(std::move(entry));
  for (auto& h : wirelessFieldHelp()) help.push_back(std::move(h));
  return help;
}

}  // namespace config
