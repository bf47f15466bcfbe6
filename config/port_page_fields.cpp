#include "config/port_page_fields.h"

#include <cctype>

#include "config/ethertalk_page.h"
#include "config/output_port_page.h"
#include "config/token_ring_page.h"

namespace config {

namespace {

using Setter = std::function<std::string(const std::string&)>;

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string onOff(bool on) { return on ? "on" : "off"; }

bool parseOnOff(const std::string& text, bool& out) {
  if (text == "on" || text == "1" || text == "yes" || text == "enabled") return out = true, true;
  if (text == "off" || text == "0" || text == "no" || text == "disabled") return out = false, true;
  return false;
}

// A list's entry by its text (any case) or its value.
bool parseChoice(const std::vector<Choice>& list, const std::string& text, std::int32_t& out) {
  for (const Choice& c : list)
    if (lower(c.text) == lower(text) || std::to_string(c.value) == text) return out = c.value, true;
  return false;
}

std::string choiceText(const std::vector<Choice>& list, std::int32_t value) {
  const int i = choiceIndex(list, value);
  return i >= 0 ? list[static_cast<std::size_t>(i)].text : std::to_string(value);
}

std::string choiceHelp(const std::vector<Choice>& list) {
  std::string s = "one of:";
  for (const Choice& c : list) s += " \"" + c.text + "\"";
  return s;
}

// A choice field over a list that the page may refill: the list is looked up at each call.
ConfigField choiceField(const std::string& page, const char* name, const char* help,
                        std::function<const std::vector<Choice>&()> list, std::function<std::int32_t()> get,
                        std::function<void(std::int32_t)> set) {
  return {page, name, help + std::string(" (") + choiceHelp(list()) + ")",
          [list, get] { return choiceText(list(), get()); },
          [list, set](const std::string& v) -> std::string {
            std::int32_t value = 0;
            if (!parseChoice(list(), v, value)) return "takes " + choiceHelp(list());
            set(value);
            return {};
          }};
}

void outputPortFields(COutputPortPage& p, std::vector<ConfigField>& out) {
  const std::string page = p.title();
  const OutputPortControls k = p.controls();
  out.push_back({page, "port", "the output port shown (choose it with --port)",
                 [&p] { return std::to_string(p.selectedPort() + 1); },
                 [](const std::string&) -> std::string { return "choose the port with --port N"; }});
  if (k.name)
    out.push_back({page, "port_name", "port name (at most 15 characters)", [&p] { return p.name; },
                   [&p](const std::string& v) -> std::string {
                     if (v.size() > kPortNameLimit) return "The port name takes at most 15 characters.";
                     p.name = v;
                     return {};
                   }});
  if (k.mode)
    out.push_back(choiceField(page, "language_mode", "language switching", [&p]() -> const auto& { return p.modes; },
                              [&p] { return p.mode; }, [&p](std::int32_t v) { p.setMode(v); }));
  if (k.printerType)
    out.push_back(choiceField(page, "printer_type", "printer type", [&p]() -> const auto& { return p.printerTypes; },
                              [&p] { return p.printerType; }, [&p](std::int32_t v) { p.setPrinterType(v); }));
  if (k.configLanguage)
    out.push_back(choiceField(page, "config_page_language", "configuration page language",
                              [&p]() -> const auto& { return p.configLanguages; }, [&p] { return p.configLanguage; },
                              [&p](std::int32_t v) { p.configLanguage = v; }));
  if (k.sequences) {
    // Sequences are editable only as the mode and printer type allow; the rule is checked when set.
    auto sequence = [&p, &out, &page](const char* name, const char* help, std::string COutputPortPage::*field,
                                      bool OutputPortControls::*enabled) {
      out.push_back({page, name, help, [&p, field] { return p.*field; },
                     [&p, field, enabled](const std::string& v) -> std::string {
                       if (!(p.controls().*enabled))
                         return "not editable with this language mode and printer type (set language_mode and "
                                "printer_type first)";
                       p.*field = v;
                       return p.check().ok() ? std::string() : p.check().message;
                     }});
    };
    sequence("pcl_sequence", "PCL switch sequence, or the pre-job string in mode \"Pre/Post String\" (\\xHH for other "
             "bytes, at most 127 bytes)",
             &COutputPortPage::sequence1, &OutputPortControls::sequence1Enabled);
    sequence("postscript_sequence", "PostScript switch sequence, or the post-job string in mode \"Pre/Post String\"",
             &COutputPortPage::sequence2, &OutputPortControls::sequence2Enabled);
  }
  if (k.outputType)
    out.push_back(choiceField(page, "output_type", "port hardware", [&p]() -> const auto& { return p.outputTypes; },
                              [&p] { return p.outputType; }, [&p](std::int32_t v) { p.setOutputType(v); }));
  if (k.pjl)
    out.push_back({page, "pjl_status", "PJL printer status support on/off", [&p] { return onOff(p.pjl); },
                   [&p](const std::string& v) -> std::string {
                     bool on = false;
                     if (!parseOnOff(v, on)) return "takes on or off";
                     if (!p.controls().pjlEnabled) return "PJL status support is not available for this output type";
                     p.pjl = on;
                     return {};
                   }});
  if (k.serialSettings && !p.serialSettingsIsModbus()) {
    // Each value goes through the "Serial Port Settings" dialog's lists and rules.
    auto serialChoice = [&p, &out, &page](const char* name, const char* help,
                                          std::vector<Choice> CSerialPortSettingsDlg::*list,
                                          std::int32_t CSerialPortSettingsDlg::*value) {
      out.push_back({page, name, help,
                     [&p, list, value] {
                       const CSerialPortSettingsDlg d = p.serialPortDialog();
                       return choiceText(d.*list, d.*value);
                     },
                     [&p, list, value](const std::string& v) -> std::string {
                       CSerialPortSettingsDlg d = p.serialPortDialog();
                       std::int32_t n = 0;
                       if (!parseChoice(d.*list, v, n)) return "takes " + choiceHelp(d.*list);
                       d.*value = n;
                       p.takeSerialPortDialog(d);
                       return {};
                     }});
    };
    out.push_back({page, "bidirectional", "serial output: bidirectional data on/off",
                   [&p] { return onOff(p.serialPortDialog().bidirectional); },
                   [&p](const std::string& v) -> std::string {
                     bool on = false;
                     if (!parseOnOff(v, on)) return "takes on or off";
                     CSerialPortSettingsDlg d = p.serialPortDialog();
                     if (on && !offers(d.bidirectionalChoices, 1)) return "this port has no bidirectional data";
                     d.changeBidirectional(on);
                     p.takeSerialPortDialog(d);
                     return {};
                   }});
    serialChoice("baud_rate", "serial speed", &CSerialPortSettingsDlg::speeds, &CSerialPortSettingsDlg::speed);
    serialChoice("flow_control", "serial flow control", &CSerialPortSettingsDlg::flows, &CSerialPortSettingsDlg::flow);
    serialChoice("parity", "serial parity", &CSerialPortSettingsDlg::parities, &CSerialPortSettingsDlg::parity);
    serialChoice("data_bits", "serial data bits", &CSerialPortSettingsDlg::dataBits, &CSerialPortSettingsDlg::data);
    serialChoice("stop_bits", "serial stop bits", &CSerialPortSettingsDlg::stopBits, &CSerialPortSettingsDlg::stop);
  }
}

void tokenRingFields(CTokenRingPage& p, std::vector<ConfigField>& out) {
  const std::string page = p.title();
  out.push_back(choiceField(page, "ring_priority", "ring priority", [] () -> const auto& { return CTokenRingPage::priorities(); },
                            [&p] { return p.priority; }, [&p](std::int32_t v) { p.priority = v; }));
  out.push_back(choiceField(page, "routing", "source routing", []() -> const auto& { return CTokenRingPage::routings(); },
                            [&p] { return p.routing; }, [&p](std::int32_t v) { p.routing = v; }));
  if (p.controls().earlyRelease)
    out.push_back({page, "early_token_release", "early token release on/off", [&p] { return onOff(p.earlyRelease); },
                   [&p](const std::string& v) -> std::string {
                     bool on = false;
                     if (!parseOnOff(v, on)) return "takes on or off";
                     p.earlyRelease = on;
                     return {};
                   }});
  out.push_back({page, "local_address", "locally administered address: 12 hexadecimal digits, or off",
                 [&p] { return p.enable ? p.address : std::string("off"); },
                 [&p](const std::string& v) -> std::string {
                   if (v == "off") {
                     p.enable = false;
                     return {};
                   }
                   if (!isNetworkAddressText(v)) return kTextInvalidNetworkAddress;
                   p.enable = true;
                   p.address = v;
                   return {};
                 }});
}

void etherTalkFields(CEtherTalkPage& p, std::vector<ConfigField>& out) {
  const std::string page = p.title();
  out.push_back({page, "ethertalk_port", "the output port shown (choose it with --port)",
                 [&p] { return std::to_string(p.selectedPort() + 1); },
                 [](const std::string&) -> std::string { return "choose the port with --port N"; }});
  if (p.controls().portChoice)
    out.push_back({page, "ethertalk_enabled", "the port on AppleTalk on/off", [&p] { return onOff(p.enabled); },
                   [&p](const std::string& v) -> std::string {
                     bool on = false;
                     if (!parseOnOff(v, on)) return "takes on or off";
                     p.enabled = on;
                     return {};
                   }});
  auto text = [&](const char* name, const char* help, std::string& field) {
    out.push_back({page, name, help, [&field] { return field; },
                   [&p, &field](const std::string& v) -> std::string {
                     if (!p.controls().fields) return "the port is not enabled for AppleTalk";
                     const std::string old = field;
                     field = v;
                     if (const PageCheck c = p.check(); !c.ok()) {
                       field = old;
                       return c.message;
                     }
                     return {};
                   }});
  };
  text("ethertalk_name", "AppleTalk name (at most 32 characters, none of @ = : *)", p.name);
  text("ethertalk_type1", "AppleTalk type 1", p.type1);
  text("ethertalk_type2", "AppleTalk type 2", p.type2);
  text("ethertalk_zone", "AppleTalk zone (\"*\": the default zone)", p.zone);
}

}  // namespace

void portPageFields(CDevicePage& page, std::vector<ConfigField>& out) {
  if (auto* p = dynamic_cast<COutputPortPage*>(&page)) outputPortFields(*p, out);
  if (auto* p = dynamic_cast<CTokenRingPage*>(&page)) tokenRingFields(*p, out);
  if (auto* p = dynamic_cast<CEtherTalkPage*>(&page)) etherTalkFields(*p, out);
}

std::vector<std::pair<std::string, std::string>> portPageFieldHelp() {
  return {
      {"port", "Output Port: the port shown (read-only; --port N chooses it)"},
      {"port_name", "Output Port: port name, at most 15 characters"},
      {"language_mode, printer_type, config_page_language, output_type",
       "Output Port: choices by their text or number, as the unit offers them"},
      {"pcl_sequence, postscript_sequence",
       "Output Port: switch sequences or pre/post-job strings, \\xHH for other bytes, at most 127 bytes"},
      {"pjl_status", "Output Port: PJL printer status support on/off"},
      {"bidirectional, baud_rate, flow_control, parity, data_bits, stop_bits", "Output Port: serial port settings"},
      {"ring_priority, routing, early_token_release, local_address", "Token Ring"},
      {"ethertalk_port, ethertalk_enabled, ethertalk_name, ethertalk_type1, ethertalk_type2, ethertalk_zone",
       "EtherTalk: the chosen port's AppleTalk settings"},
  };
}

}  // namespace config
