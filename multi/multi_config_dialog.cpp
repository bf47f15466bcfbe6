#include "multi/multi_config_dialog.h"

#include <algorithm>
#include <charconv>

#include "access/wireless_countries.h"
#include "multi/multi_config_fields.h"

namespace multi {

namespace {

using C = ControlKind;
// clang-format off
constexpr MultiControl kControls[] = {
    {"tcpip", "TCP&/IP", "Protocols", C::Tri},
    {"netware", "Net&Ware", "Protocols", C::Tri},
    {"ethertalk", "&EtherTalk", "Protocols", C::Tri},
    {"lan-manager", "LAN Manage&r", "Protocols", C::Tri},
    {"vines", "Banyan &VINES", "Protocols", C::Tri},
    {"ipx-direct-print", "IP&X Direct Print", "Protocols", C::Tri},
    {"jetadmin", "&HP Jet Admin Support", "Protocols", C::Tri},
    {"wireless", "&Wireless", "Protocols", C::Tri},
    {"language-switching", "&Language Switching:", "Output Ports (All)", C::List},
    {"printer-type", "Printer &Type:", "Output Ports (All)", C::List},
    {"pcl-switch-sequence", "&PCL Switch Sequence:", "Output Ports (All)", C::BoxedText, 0, 32},
    {"postscript-switch-sequence", "P&ostScript Switch Sequence:", "Output Ports (All)", C::BoxedText, 0, 32},
    {"configuration-page-language", "&Configuration Page Language:", "Output Ports (All)", C::List},
    {"pjl-status", "P&JL Printer Status Support", "Output Ports (All)", C::Tri},
    {"subnet-mask", "&Subnet Mask:", "TCP/IP", C::Address},
    {"gateway", "Default &Gateway:", "TCP/IP", C::Address},
    {"wins-server", "W&INS Server:", "TCP/IP", C::Address},
    {"wins-by-dhcp", "&Use DHCP To Locate WINS Server", "TCP/IP", C::Tri},
    {"address-by-protocol", "Get Address by Net Protocol", "TCP/IP", C::Tri},
    {"method-rarp", "RARP", "TCP/IP", C::Tri},
    {"method-bootp", "BootP", "TCP/IP", C::Tri},
    {"method-dhcp", "DHCP", "TCP/IP", C::Tri},
    {"method-gleaning", "Gleaning", "TCP/IP", C::Tri},
    {"method-allowtimeout", "AllowTimeout", "TCP/IP", C::Tri},
    {"connection-timeout", "Connection Timeout", "TCP/IP", C::Tri},
    {"unsolicited-arp", "Unsolicited ARP", "TCP/IP", C::TriNumber, 1, 30, "unsolicited-arp-minutes", "minutes"},
    {"telnet-password", "Telnet/Http Password", "TCP/IP", C::Button},
    {"frame-format", "&Frame Format:", "NetWare", C::List},
    {"queue-scan-time", "&Queue Scan Time:", "NetWare", C::BoxedNumber, 1, 255},
    {"packet-signature", "P&acket Signature:", "NetWare", C::List},
    {"disable-sap-broadcast", "Disable SAP &Broadcast", "NetWare", C::Tri},
    {"packet-checksum", "Pac&ket Checksum", "NetWare", C::Tri},
    {"job-notification", "&Job Notification", "NetWare", C::Tri},
    {"forms-checking", "For&ms Checking", "NetWare", C::TriNumber, 0, 255, "forms-number", "Number"},
    {"system-contact", "S&ystem Contact:", "SNMP", C::BoxedText, 0, 255},
    {"get-community", "Get:", "Community Names", C::Text, 0, 32},
    {"set-community", "Set:", "Community Names", C::Text, 0, 32},
    {"trap-community", "Trap:", "Community Names", C::Text, 0, 32},
    {"first-trap-destination", "First IP Trap &Destination:", "SNMP", C::Address},
    {"wireless-mode", "Wireless Mode", "Wireless", C::List},
    {"ssid", "SSID", "Wireless", C::Text, 0, 32},
    {"rf-channel", "RF Channel", "Wireless", C::List},
    {"data-rate", "Data Rate", "Wireless", C::List},
    {"radio", "Radio", "Wireless", C::List},
    {"ap-density", "A.P. Density", "Wireless", C::List},
    {"802.11d", "802.11 D", "Wireless", C::List},
    {"country", "Country", "Wireless", C::List},
    {"dynamic-frequency-select", "Dynamic Freq. Select", "Wireless", C::List},
    {"wireless-security", "Configure Wireless Security", "Wireless", C::Button},
};
// clang-format on

constexpr const char* kGroups[] = {"Protocols", "Output Ports (All)", "TCP/IP", "NetWare",
                                   "SNMP",      "Community Names",    "Wireless"};

constexpr const char* kMethods[] = {"method-rarp", "method-bootp", "method-dhcp", "method-gleaning",
                                    "method-allowtimeout"};
constexpr const char* kMethodNames[] = {"rarp", "bootp", "dhcp", "gleaning", "allowtimeout"};

constexpr std::int32_t kInfrastructure = 3;

const std::vector<DialogChoice> kNone{{kTextNoChange, 0}};

std::string trimmed(const std::string& s) {
  const std::size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

bool inRange(const std::string& text, int minimum, int maximum) {
  int value = 0;
  const std::string t = trimmed(text);
  const auto r = std::from_chars(t.data(), t.data() + t.size(), value);
  return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size() && value >= minimum && value <= maximum;
}

// The label as a message names it: no mnemonic, no colon.
std::string plainLabel(const char* label) {
  std::string s;
  for (const char* p = label; *p; ++p)
    if (*p != '&') s += *p;
  if (!s.empty() && s.back() == ':') s.pop_back();
  return s;
}

const char* onOff(TriState s) { return s == TriState::Checked ? "on" : "off"; }

}  // namespace

std::string rangeText(int minimum, int maximum) {
  return "Please enter an integer between " + std::to_string(minimum) + " and " + std::to_string(maximum) + ".";
}

std::span<const MultiControl> multiControls() noexcept { return kControls; }

const MultiControl* findMultiControl(const std::string& name) noexcept {
  for (const MultiControl& c : kControls)
    if (name == c.name) return &c;
  return nullptr;
}

std::span<const char* const> multiControlGroups() noexcept { return kGroups; }

CMultiConfigDlg::CMultiConfigDlg(int viewProtocol) : view_(viewProtocol) {
  for (const MultiControl& c : kControls) {
    if (c.kind != C::List) continue;
    std::vector<DialogChoice> list = kNone;
    const std::string name = c.name;
    if (name == "rf-channel") {
      for (int channel = 1; channel <= 255; ++channel) list.push_back({std::to_string(channel), channel});
    } else if (name == "country") {
      std::int32_t data = 1;
      for (const mib::WirelessCountry& country : mib::wirelessCountries())
        list.push_back({std::string(country.name), data++});
    } else if (const MultiField* f = findMultiField(name)) {
      std::int32_t data = 1;
      for (const FieldChoice& choice : f->choices) list.push_back({choice.name, data++});
    }
    items_[name] = std::move(list);
  }
}

const std::vector<DialogChoice>& CMultiConfigDlg::items(const std::string& name) const {
  const auto it = items_.find(name);
  return it == items_.end() ? kNone : it->second;
}

TriState CMultiConfigDlg::tri(const std::string& name) const {
  const auto it = tri_.find(name);
  return it == tri_.end() ? TriState::Unchanged : it->second;
}

void CMultiConfigDlg::setTri(const std::string& name, TriState state) {
  if (!enabled(name)) return;
  tri_[name] = state;
}

std::int32_t CMultiConfigDlg::choice(const std::string& name) const {
  const auto it = choice_.find(name);
  return it == choice_.end() ? 0 : it->second;
}

void CMultiConfigDlg::choose(const std::string& name, std::int32_t data) {
  const auto& list = items(name);
  if (!enabled(name) || std::none_of(list.begin(), list.end(), [&](const DialogChoice& c) { return c.data == data; }))
    return;
  choice_[name] = data;
  if (name == "wireless-mode") {
    // What the mode makes unavailable goes back to "<no change>" and is not sent.
    choice_[infrastructure() ? "rf-channel" : "802.11d"] = 0;
  }
}

std::string CMultiConfigDlg::text(const std::string& name) const {
  const auto it = text_.find(name);
  return it == text_.end() ? std::string() : it->second;
}

void CMultiConfigDlg::setText(const std::string& name, const std::string& text) { text_[name] = text; }

bool CMultiConfigDlg::boxed(const std::string& name) const {
  const auto it = boxed_.find(name);
  return it != boxed_.end() && it->second;
}

void CMultiConfigDlg::setBoxed(const std::string& name, bool on) { boxed_[name] = on; }

bool CMultiConfigDlg::enabled(const std::string& name) const {
  // The transport the view reaches the units by cannot be switched off from here.
  if (name == "tcpip") return view_ != kViewTcpIp;
  if (name == "netware") return view_ != kViewNetWare && view_ != kViewIpx;
  if (name.rfind("method-", 0) == 0) return tri("address-by-protocol") == TriState::Checked;
  if (name == "rf-channel") return !infrastructure();
  if (name == "802.11d") return infrastructure();
  return true;
}

bool CMultiConfigDlg::infrastructure() const {
  const MultiField* f = findMultiField("wireless-mode");
  const std::int32_t data = choice("wireless-mode");
  return f && data > 0 && static_cast<std::size_t>(data) <= f->choices.size() &&
         f->choices[static_cast<std::size_t>(data - 1)].value == kInfrastructure;
}

bool CMultiConfigDlg::editEnabled(const std::string& name) const {
  const MultiControl* c = findMultiControl(name);
  if (!c) return false;
  if (c->kind == C::BoxedText || c->kind == C::BoxedNumber) return boxed(name);
  if (c->kind == C::TriNumber) return tri(name) == TriState::Checked;
  return enabled(name);
}

DialogCheck CMultiConfigDlg::check() const {
  for (const MultiControl& c : kControls) {
    if (c.kind == C::BoxedNumber && boxed(c.name) && !inRange(text(c.name), c.minimum, c.maximum))
      return {rangeText(c.minimum, c.maximum), c.name};
    if (c.kind != C::TriNumber) continue;
    // "Unsolicited ARP" sends its minutes only ticked; "Forms Checking" its number whenever set.
    const bool sent = std::string(c.name) == "unsolicited-arp" ? tri(c.name) == TriState::Checked
                                                                : tri(c.name) != TriState::Unchanged;
    if (sent && !inRange(text(c.numberName), c.minimum, c.maximum))
      return {rangeText(c.minimum, c.maximum), c.numberName};
  }
  CMultiConfigSettings ignored;
  const std::string problem = build(ignored);
  if (problem.empty()) return {};
  // "subnet-mask: ..." names the field; the dialog says its label and focuses it.
  const std::size_t colon = problem.find(": ");
  const std::string field = colon == std::string::npos ? std::string() : problem.substr(0, colon);
  if (const MultiControl* c = findMultiControl(field)) return {plainLabel(c->label) + problem.substr(colon), field};
  if (field.rfind("wep-key", 0) == 0) return {problem.substr(colon + 2), field};
  return {problem, field};
}

std::vector<std::pair<std::string, std::string>> CMultiConfigDlg::values() const {
  std::vector<std::pair<std::string, std::string>> out;
  for (const MultiControl& c : kControls) {
    const std::string name = c.name;
    if (!enabled(name)) continue;
    switch (c.kind) {
      case C::Tri: {
        const TriState s = tri(name);
        if (name.rfind("method-", 0) == 0 || s == TriState::Unchanged) break;
        out.emplace_back(name, onOff(s));
        if (name == "address-by-protocol" && s == TriState::Checked) {
          // Every method box that is not cleared.
          std::string methods;
          for (std::size_t m = 0; m < std::size(kMethods); ++m)
            if (tri(kMethods[m]) != TriState::Cleared) methods += (methods.empty() ? "" : ",") + std::string(kMethodNames[m]);
          out.emplace_back("address-methods", methods);
        }
        break;
      }
      case C::List: {
        const std::int32_t data = choice(name);
        if (data <= 0) break;
        if (name == "rf-channel") {
          out.emplace_back(name, std::to_string(data));
        } else if (name == "country") {
          out.emplace_back(name, std::string(mib::wirelessCountries()[static_cast<std::size_t>(data - 1)].code));
        } else if (const MultiField* f = findMultiField(name); f && static_cast<std::size_t>(data) <= f->choices.size()) {
          out.emplace_back(name, f->choices[static_cast<std::size_t>(data - 1)].name);
        }
        break;
      }
      case C::Text:
        if (!text(name).empty()) out.emplace_back(name, text(name));
        break;
      case C::Address:
        if (!trimmed(text(name)).empty()) out.emplace_back(name, trimmed(text(name)));
        break;
      case C::BoxedText:
        if (boxed(name)) out.emplace_back(name, text(name));
        break;
      case C::BoxedNumber:
        if (boxed(name)) out.emplace_back(name, trimmed(text(name)));
        break;
      case C::TriNumber: {
        const TriState s = tri(name);
        if (s == TriState::Unchanged) break;
        if (name == "unsolicited-arp") {
          out.emplace_back(name, s == TriState::Checked ? trimmed(text(c.numberName)) : "0");
        } else {
          out.emplace_back(name, onOff(s));
          out.emplace_back(c.numberName, trimmed(text(c.numberName)));
        }
        break;
      }
      case C::Button:
        if (name == "telnet-password" && !telnetPassword.empty()) out.emplace_back(name, telnetPassword);
        break;
    }
  }
  appendSecurityValues(security, out);
  return out;
}

std::string CMultiConfigDlg::build(CMultiConfigSettings& settings) const {
  return buildMultiSettings(values(), settings);
}

}  // namespace multi
