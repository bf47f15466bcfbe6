#include "config/wireless_fields.h"

#include <cctype>

namespace config {

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string choices(const std::vector<ListItem>& items) {
  std::string s;
  for (const auto& i : items) s += (s.empty() ? "" : ", ") + i.text;
  return s;
}

// An item by its text (any case), else by its value.
bool pick(const std::vector<ListItem>& items, const std::string& text, std::int32_t& out) {
  for (const auto& i : items)
    if (lower(i.text) == lower(text)) {
      out = i.data;
      return true;
    }
  for (const auto& i : items)
    if (std::to_string(i.data) == text) {
      out = i.data;
      return true;
    }
  return false;
}

std::string textOf(const std::vector<ListItem>& items, std::int32_t data) {
  const int i = findItem(items, data);
  return i < 0 ? std::to_string(data) : items[static_cast<std::size_t>(i)].text;
}

}  // namespace

void wirelessFields(CWirelessPage& p, std::vector<ConfigField>& out) {
  const std::string page = p.title();
  auto add = [&](const char* name, const std::string& help, std::function<std::string()> get,
                 std::function<std::string(const std::string&)> set, bool writeOnly = false) {
    out.push_back({page, name, help, std::move(get), std::move(set), writeOnly});
  };
  auto list = [&](const char* name, const char* help, const std::vector<ListItem>& items, std::int32_t& field) {
    add(name, help, [&items, &field] { return textOf(items, field); },
        [&items, &field](const std::string& v) -> std::string {
          if (!pick(items, v, field)) return "takes one of: " + choices(items);
          return {};
        });
  };
  auto text = [&](const char* name, const char* help, std::string& field, std::size_t limit, bool writeOnly) {
    add(name, help, [&field] { return field; },
        [&field, limit](const std::string& v) -> std::string {
          if (v.size() > limit) return "takes at most " + std::to_string(limit) + " characters";
          field = v;
          return {};
        },
        writeOnly);
  };
  const CWirelessSecurityDlg dialog = p.securityDialog();
  auto onOff = [&](const char* name, const char* help, std::int32_t& field) {
    add(name, help, [&field] { return std::string(field == 2 ? "on" : "off"); },
        [&field](const std::string& v) -> std::string {
          if (v == "on" || v == "1" || v == "yes") field = 2;
          else if (v == "off" || v == "0" || v == "no") field = 1;
          else return "takes on or off";
          return {};
        });
  };

  list("wireless_mode", "Ad Hoc (802.11) or Infrastructure", p.modes, p.mode);
  text("ssid", "network name, at most 32 characters", p.ssid, kSsidLimit, false);
  list("channel", "RF channel (ad hoc mode), one the unit offers", p.channels, p.channel);
  list("data_rate", "data rate in Mbit/s, one the unit offers", p.rates, p.rate);
  if (p.shown().radio) list("radio", "radio band", p.radioItems, p.radio);
  if (p.shown().density) list("density", "access point density: Low, Medium, High", p.densityItems, p.density);
  if (p.shown().dot11d) list("dot11d", "802.11d: Disabled, Strict, Flexible", p.dot11dItems, p.dot11d);
  if (!p.dfsItems.empty()) list("dfs", "dynamic frequency selection: Disabled, Strict, Flexible", p.dfsItems, p.dfs);
  if (p.shown().country)
    add("country", "regulatory country, by code (US, USI, JPO) or name, one the unit offers",
        [&p] {
          const int i = p.country;
          return i >= 0 && static_cast<std::size_t>(i) < p.countryCodes().size() ? p.countryCodes()[static_cast<std::size_t>(i)]
                                                                                 : std::string();
        },
        [&p](const std::string& v) -> std::string {
          const std::vector<std::string>& codes = p.countryCodes();
          for (std::size_t i = 0; i < codes.size(); ++i) {
            std::string code = codes[i];
            while (!code.empty() && code.back() == ' ') code.pop_back();
            if (lower(codes[i]) == lower(v) || lower(code) == lower(v)) {
              p.country = static_cast<std::int32_t>(i);
              return {};
            }
          }
          std::int32_t entry = -1;
          if (!pick(p.countryList, v, entry)) return "takes one of: " + choices(p.countryList);
          p.country = entry;
          return {};
        });

  // Security: the dialog's rules. A new encryption mode empties the keys, as in the dialog.
  add("encryption", "encryption mode: " + choices(dialog.encryptionModes),
      [&p, items = dialog.encryptionModes] { return textOf(items, p.security.encryption); },
      [&p, items = dialog.encryptionModes](const std::string& v) -> std::string {
        std::int32_t mode = 0;
        if (!pick(items, v, mode)) return "takes one of: " + choices(items);
        if (mode != p.security.encryption)
          for (auto& k : p.security.keys) k.clear();
        p.security.encryption = mode;
        return {};
      });
  add("key_selection", "WEP key in use, 1 to 4", [&p] { return std::to_string(p.security.keySelection + 1); },
      [&p](const std::string& v) -> std::string {
        if (v.size() != 1 || v[0] < '1' || v[0] > '4') return "takes 1 to 4";
        p.security.keySelection = v[0] - '1';
        return {};
      });
  for (int k = 0; k < kWepKeys; ++k) {
    static const char* const names[] = {"wep_key1", "wep_key2", "wep_key3", "wep_key4"};
    add(names[k], "WEP key: 10 (64-bit) or 26 (128-bit) hexadecimal digits (write-only)", [] { return std::string(); },
        [&p, k](const std::string& v) -> std::string {
          p.security.keys[static_cast<std::size_t>(k)] = v;
          return {};
        },
        true);
  }
  if (!dialog.offer().fromLevelThree) return;
  add("auth_type", "authentication type: " + choices(dialog.authTypes),
      [&p, items = dialog.authTypes] { return textOf(items, p.security.authType); },
      [&p, items = dialog.authTypes](const std::string& v) -> std::string {
        if (!pick(items, v, p.security.authType)) return "takes one of: " + choices(items);
        return {};
      });
  add("auth_protocol", "802.1x authentication protocol: PAP, MSCHAP_V2",
      [&p, items = dialog.authProtocols] { return textOf(items, p.security.authProtocol); },
      [&p, items = dialog.authProtocols](const std::string& v) -> std::string {
        if (!pick(items, v, p.security.authProtocol)) return "takes one of: " + choices(items);
        return {};
      });
  text("user_id", "802.1x user ID", p.security.userId, kSecurityTextLimit, false);
  text("user_password", "802.1x password (write-only)", p.security.password, kSecurityTextLimit, true);
  text("wpa_psk", "WPA pre-shared key (write-only)", p.security.wpaPsk, kSecurityTextLimit, true);
  text("common_name1", "certificate common name 1", p.security.commonName1, kSecurityTextLimit, false);
  text("common_name2", "certificate common name 2", p.security.commonName2, kSecurityTextLimit, false);
  text("root_key", "certificate root key", p.security.rootKey, kSecurityTextLimit, false);
  add("root_key_exponent", "certificate root key exponent, at most 5 digits",
      [&p] { return std::to_string(p.security.exponent); },
      [&p](const std::string& v) -> std::string {
        if (v.size() > kExponentLimit) return "takes at most 5 digits";
        for (char c : v)
          if (c < '0' || c > '9') return "takes digits only";
        p.security.exponent = v.empty() ? 0 : std::stoi(v);
        return {};
      });
  if (dialog.autoAssociateShown()) onOff("wpa_auto_associate", "WPA auto associate on/off", p.security.wpaAutoAssociate);
  onOff("wpa_group_key", "WPA group key on/off", p.security.wpaGroupKey);
}

std::vector<std::pair<std::string, std::string>> wirelessFieldHelp() {
  return {
      {"wireless_mode, ssid, channel, data_rate", "Wireless: Ad Hoc (802.11) or Infrastructure; network name; channel "
                                                  "and rate among those the unit offers"},
      {"radio, density, dot11d, dfs, country", "Wireless (level 3): band, access point density, 802.11d, dynamic "
                                               "frequency selection, regulatory country (code or name)"},
      {"encryption, key_selection, wep_key1..wep_key4", "Wireless security: mode, key in use 1-4, WEP keys in "
                                                        "hexadecimal (write-only)"},
      {"auth_type, auth_protocol, user_id, user_password, wpa_psk", "Wireless security (level 3): 802.1x and WPA "
                                                                    "(passwords write-only)"},
      {"common_name1, common_name2, root_key, root_key_exponent, wpa_auto_associate, wpa_group_key",
       "Wireless security (level 3): certificates and WPA options"},
  };
}

}  // namespace config
