#include "wizard/wizard_answers.h"

#include <set>

namespace wizard {

namespace {

using nlohmann::json;

const char* pageKey(int id) {
  switch (id) {
    case kTcpIpId: return "tcpip";
    case kNetWareId: return "netware";
    case kVinesId: return "vines";
    case kEtherTalkId: return "ethertalk";
    case kWirelessId: return "wireless";
    case kSerialId: return "serial";
    default: return nullptr;
  }
}

bool onlyKeys(const json& object, std::set<std::string> allowed, const std::string& where, std::string& error) {
  if (!object.is_object()) {
    error = where + ": an object is expected";
    return false;
  }
  for (const auto& [key, value] : object.items())
    if (!allowed.count(key)) {
      error = where + ": unknown key '" + key + "'";
      return false;
    }
  return true;
}

bool text(const json& o, const char* key, std::string& out, const std::string& where, std::string& error) {
  if (!o.contains(key)) return true;
  if (!o[key].is_string()) {
    error = where + "." + key + ": a text is expected";
    return false;
  }
  out = o[key].get<std::string>();
  return true;
}

bool number(const json& o, const char* key, std::int32_t& out, const std::string& where, std::string& error) {
  if (!o.contains(key)) return true;
  if (!o[key].is_number_integer()) {
    error = where + "." + key + ": a whole number is expected";
    return false;
  }
  const auto v = o[key].get<long long>();
  if (v < INT32_MIN || v > INT32_MAX) {
    error = where + "." + key + ": out of range";
    return false;
  }
  out = static_cast<std::int32_t>(v);
  return true;
}

bool listed(const std::vector<config::ListItem>& items, std::int32_t v, const char* key, const std::string& where,
            std::string& error) {
  if (config::findItem(items, v) >= 0) return true;
  std::string offered;
  for (const auto& i : items) offered += (offered.empty() ? "" : ", ") + std::to_string(i.data);
  error = where + "." + key + ": " + std::to_string(v) + " is not offered by this unit (" + offered + ")";
  return false;
}

bool protocols(WizardFlow& flow, const json& a, std::string& error) {
  if (!a.contains("protocols")) return true;
  const json& p = a["protocols"];
  if (!p.is_object()) {
    error = "protocols: an object of protocol names and true/false is expected";
    return false;
  }
  for (const auto& [name, on] : p.items()) {
    const int item = flow.protocolPage().find(name);
    if (item < 0) {
      error = "protocols: the unit has no protocol '" + name + "'";
      return false;
    }
    if (!on.is_boolean()) {
      error = "protocols." + name + ": true or false is expected";
      return false;
    }
    const bool want = on.get<bool>();
    if (flow.protocolPage().checks()[static_cast<std::size_t>(item)] == want) continue;
    if (!flow.setProtocolChecked(item, want)) {
      error = "protocols." + name + ": the wizard talks over this protocol, it cannot be disabled";
      return false;
    }
  }
  return true;
}

bool tcpip(CWzTcpIpDlg& page, const json& o, std::string& error) {
  const std::string w = "tcpip";
  if (!onlyKeys(o, {"dynamic", "address", "mask", "gateway"}, w, error)) return false;
  if (o.contains("dynamic")) {
    if (!o["dynamic"].is_boolean()) return error = w + ".dynamic: true or false is expected", false;
    page.setDynamic(o["dynamic"].get<bool>());
  }
  std::string v;
  for (const char* key : {"address", "mask", "gateway"}) {
    if (!o.contains(key)) continue;
    if (!text(o, key, v, w, error)) return false;
    if (std::string(key) == "address") page.setAddress(v);
    else if (std::string(key) == "mask") page.setMask(v);
    else page.setGateway(v);
  }
  return true;
}

bool ethertalk(CWzEtherTalkDlg& page, const json& o, std::string& error) {
  const std::string w = "ethertalk";
  if (!onlyKeys(o, {"ports"}, w, error)) return false;
  if (!o.contains("ports")) return true;
  const json& ports = o["ports"];
  if (!ports.is_array() || static_cast<int>(ports.size()) > page.portCount())
    return error = w + ".ports: a list of at most " + std::to_string(page.portCount()) + " ports is expected", false;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    const std::string pw = w + ".ports[" + std::to_string(i) + "]";
    if (!onlyKeys(ports[i], {"name", "zone"}, pw, error)) return false;
    page.selectPort(static_cast<int>(i));
    std::string v;
    if (ports[i].contains("name")) {
      if (!text(ports[i], "name", v, pw, error)) return false;
      page.setName(v);
    }
    if (ports[i].contains("zone")) {
      if (!text(ports[i], "zone", v, pw, error)) return false;
      page.setZone(v);
    }
  }
  return true;
}

bool serial(CWzSerialDlg& page, const json& o, std::string& error) {
  const std::string w = "serial";
  if (!onlyKeys(o,
                {"mode", "duplex", "speed", "dataBits", "stopBits", "parity", "flow", "modbus", "deviceType",
                 "tcpException", "autoSlaveId", "initialDelay", "charTimeout", "messageTimeout", "slaveId"},
                w, error))
    return false;
  SerialControls& c = page.controls();
  struct Pick {
    const char* key;
    std::int32_t* field;
    const std::vector<config::ListItem>& items;
  };
  const Pick picks[] = {
      {"mode", &c.mode, SerialLists::modes()},          {"duplex", &c.duplex, SerialLists::duplex()},
      {"speed", &c.speed, SerialLists::speeds()},       {"dataBits", &c.dataBits, SerialLists::dataBits()},
      {"stopBits", &c.stopBits, SerialLists::stopBits()}, {"parity", &c.parity, SerialLists::parities()},
      {"flow", &c.flow, SerialLists::flows()},          {"modbus", &c.modbus, SerialLists::onOff()},
      {"deviceType", &c.deviceType, SerialLists::deviceTypes()},
      {"tcpException", &c.tcpException, SerialLists::onOff()},
      {"autoSlaveId", &c.autoSlaveId, SerialLists::onOff()},
  };
  for (const Pick& p : picks) {
    std::int32_t v = *p.field;
    if (!number(o, p.key, v, w, error)) return false;
    if (o.contains(p.key) && !listed(p.items, v, p.key, w, error)) return false;
    *p.field = v;
  }
  struct Field {
    const char* key;
    std::string* text;
  };
  for (const Field& f : {Field{"initialDelay", &c.initialDelay}, Field{"charTimeout", &c.charTimeout},
                         Field{"messageTimeout", &c.messageTimeout}, Field{"slaveId", &c.slaveId}}) {
    std::int32_t v = 0;
    if (!o.contains(f.key)) continue;
    if (!number(o, f.key, v, w, error)) return false;
    *f.text = std::to_string(v);
  }
  page.edited();
  return true;
}

bool wireless(CWzWirelessDlg& page, const json& o, std::string& error) {
  const std::string w = "wireless";
  if (!onlyKeys(o, {"mode", "ssid", "channel", "rate", "radio", "density", "encryption", "keySelection", "keys"}, w,
                error))
    return false;
  config::CWirelessPage& m = page.model();
  struct Pick {
    const char* key;
    std::int32_t* field;
    const std::vector<config::ListItem>* items;
  };
  const Pick picks[] = {{"mode", &m.mode, &m.modes},         {"channel", &m.channel, &m.channels},
                        {"rate", &m.rate, &m.rates},         {"radio", &m.radio, &m.radioItems},
                        {"density", &m.density, &m.densityItems}};
  for (const Pick& p : picks) {
    std::int32_t v = *p.field;
    if (!number(o, p.key, v, w, error)) return false;
    if (o.contains(p.key) && !listed(*p.items, v, p.key, w, error)) return false;
    *p.field = v;
  }
  if (!text(o, "ssid", m.ssid, w, error)) return false;
  config::SecurityValues security = m.security;
  if (!number(o, "encryption", security.encryption, w, error)) return false;
  if (!number(o, "keySelection", security.keySelection, w, error)) return false;
  if (o.contains("keys")) {
    const json& keys = o["keys"];
    if (!keys.is_array() || keys.size() > security.keys.size())
      return error = w + ".keys: a list of at most 4 keys is expected", false;
    for (std::size_t k = 0; k < keys.size(); ++k) {
      if (!keys[k].is_string()) return error = w + ".keys: texts are expected", false;
      security.keys[k] = keys[k].get<std::string>();
    }
  }
  m.security = security;
  page.edited();
  return true;
}

bool vinesPage(CWzBanyanDlg& page, const json& o, std::string& error) {
  const std::string w = "vines";
  if (!onlyKeys(o, {"user", "password", "services"}, w, error)) return false;
  if (!page.editable()) return error = w + ": " + page.notice(), false;
  std::string v;
  if (o.contains("user")) {
    if (!text(o, "user", v, w, error)) return false;
    page.setUserName(v);
  }
  if (o.contains("password")) {
    if (!text(o, "password", v, w, error)) return false;
    page.setPassword(v);
    page.setConfirm(v);
  }
  if (o.contains("services")) {
    const json& s = o["services"];
    if (!s.is_array()) return error = w + ".services: a list is expected", false;
    while (!page.rows().empty()) page.removeService(0);
    for (std::size_t i = 0; i < s.size(); ++i) {
      const std::string sw = w + ".services[" + std::to_string(i) + "]";
      if (!onlyKeys(s[i], {"name", "port"}, sw, error)) return false;
      std::string name;
      std::int32_t port = 1;
      if (!text(s[i], "name", name, sw, error) || !number(s[i], "port", port, sw, error)) return false;
      if (!page.addService(name, port)) return error = sw + ": no free print-service slot, or an empty name", false;
    }
  }
  return true;
}

}  // namespace

bool applyAnswers(WizardFlow& flow, const json& answers, std::string& error) {
  if (!onlyKeys(answers, {"protocols", "tcpip", "ethertalk", "serial", "wireless", "vines", "netware"}, "answers",
                error))
    return false;
  std::set<std::string> used;
  for (int step = 0; step < 16 && !flow.onLast(); ++step) {
    const int id = flow.currentId();
    bool ok = true;
    if (id == kProtocolsId) ok = protocols(flow, answers, error);
    if (const char* key = pageKey(id); key && answers.contains(key)) {
      used.insert(key);
      const json& o = answers[key];
      switch (id) {
        case kTcpIpId: ok = tcpip(flow.tcpIpPage(), o, error); break;
        case kEtherTalkId: ok = ethertalk(flow.etherTalkPage(), o, error); break;
        case kSerialId: ok = serial(flow.serialPage(), o, error); break;
        case kWirelessId: ok = wireless(flow.wirelessPage(), o, error); break;
        case kVinesId: ok = vinesPage(flow.vinesPage(), o, error); break;
        default: error = std::string(key) + ": answers for this page are not supported yet"; ok = false; break;
      }
    }
    if (!ok) return false;
    const PageCheck c = flow.next();
    if (!c.ok()) {
      error = std::string(flow.current()->title()) + ": " + c.message;
      return false;
    }
  }
  for (const char* key : {"tcpip", "ethertalk", "serial", "wireless", "vines", "netware"})
    if (answers.contains(key) && !used.count(key)) {
      error = std::string(key) + ": the wizard shows no such page for this unit (protocol not installed or not ticked)";
      return false;
    }
  return true;
}

}  // namespace wizard
