#include "netware/standin/standin_model.h"

#include <nlohmann/json.hpp>

#include <cctype>

#include "netware/bindery_name.h"

namespace netware::standin {

using nlohmann::json;

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string hexOf(const std::string& bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(d[c >> 4]);
    out.push_back(d[c & 15]);
  }
  return out;
}

std::string bytesOf(const std::string& hex) {
  std::string out;
  auto v = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10) & 15; };
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<char>(v(hex[i]) * 16 + v(hex[i + 1])));
  return out;
}

// "00000001-00000A0B0C0D" with an optional ":400B" socket, as a 12-byte NET_ADDRESS value.
std::optional<std::string> netAddressValue(const std::string& text) {
  std::string hex;
  for (char c : text)
    if (std::isxdigit(static_cast<unsigned char>(c))) hex.push_back(c);
  if (hex.size() == 20) hex += "400B";
  if (hex.size() != 24) return std::nullopt;
  std::string v = bytesOf(hex);
  v.resize(128, '\0');
  return v;
}

Property setProperty(const char* name) { return Property{name, true, 0x31, {}, {}}; }

// The objects every bindery has: the server itself, SUPERVISOR, EVERYONE, the logged-in user.
void addStandardObjects(FileServer& fs) {
  if (!fs.find("SUPERVISOR", 1)) fs.add("SUPERVISOR", 1);
  if (!fs.find("EVERYONE", 2)) fs.add("EVERYONE", 2);
  if (!fs.find(fs.user, 1)) fs.add(fs.user, 1);
}

void addQueueProperties(Object& q) {
  for (const char* p : {"Q_SERVERS", "Q_OPERATORS", "Q_USERS"})
    if (!q.property(p)) q.properties.push_back(setProperty(p));
}

}  // namespace

Property* Object::property(const std::string& n) {
  for (auto& p : properties)
    if (upper(p.name) == upper(n)) return &p;
  return nullptr;
}

Object* FileServer::find(const std::string& n, std::uint16_t type) {
  for (auto& o : objects)
    if ((type == 0xFFFF || o.type == type) && upper(o.name) == upper(n)) return &o;
  return nullptr;
}

Object* FileServer::findId(std::uint32_t id) {
  for (auto& o : objects)
    if (o.id == id) return &o;
  return nullptr;
}

Object& FileServer::add(const std::string& n, std::uint16_t type) {
  Object o;
  o.id = nextId++;
  o.name = upper(n);
  o.type = type;
  objects.push_back(std::move(o));
  return objects.back();
}

bool nameMatches(const std::string& pattern, const std::string& name) {
  // Iterative glob with one back-tracking point for the last "*".
  std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  auto eq = [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b)); };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || eq(pattern[p], name[n]))) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string modelFromJson(const std::string& text, Model& model) {
  json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return "not a JSON object";
  model = Model{};
  try {
    model.clientStarts = doc.value("client_starts", true);
    for (const auto& s : doc.value("servers", json::array())) {
      FileServer fs;
      fs.name = upper(s.at("name").get<std::string>());
      if (fs.name.empty() || fs.name.size() > 47) return "a file server name must have 1 to 47 characters";
      fs.attached = s.value("attached", true);
      fs.user = upper(s.value("user", std::string("SUPERVISOR")));
      fs.nextId = s.value("next_id", 0x00010001u);
      fs.objects.clear();
      for (const auto& o : s.value("objects", json::array())) {
        Object obj;
        obj.name = upper(o.at("name").get<std::string>());
        if (obj.name.empty() || obj.name.size() > 47) return "an object name must have 1 to 47 characters";
        obj.type = o.at("type").get<std::uint16_t>();
        obj.id = o.value("id", 0u);
        if (obj.id == 0) obj.id = fs.nextId++;
        obj.flags = o.value("flags", std::uint8_t{0});
        obj.security = o.value("security", std::uint8_t{0x31});
        if (o.contains("password")) obj.password = o.at("password").get<std::string>();
        if (o.contains("net_address")) {
          auto v = netAddressValue(o.at("net_address").get<std::string>());
          if (!v) return "net_address of " + obj.name + " is not NETWORK-NODE";
          obj.properties.push_back(Property{"NET_ADDRESS", false, 0x40, {}, *v});
        }
        for (const auto& p : o.value("properties", json::array())) {
          Property prop;
          prop.name = upper(p.at("name").get<std::string>());
          prop.isSet = p.value("set", false);
          prop.security = p.value("security", std::uint8_t{0x31});
          prop.members = p.value("members", std::vector<std::uint32_t>{});
          prop.value = bytesOf(p.value("value", std::string()));
          obj.properties.push_back(std::move(prop));
        }
        // A queue always has its three sets.
        if (obj.type == 3) addQueueProperties(obj);
        fs.objects.push_back(std::move(obj));
      }
      for (const auto& d : s.value("directories", json::array())) {
        Directory dir;
        dir.path = d.at("path").get<std::string>();
        dir.rightsMask = d.value("rights_mask", std::uint8_t{0xFF});
        for (const auto& t : d.value("trustees", json::array()))
          dir.trustees[t.at(0).get<std::uint32_t>()] = t.at(1).get<std::uint8_t>();
        fs.directories.push_back(std::move(dir));
      }
      for (const auto& o : fs.objects)
        if (o.id >= fs.nextId) fs.nextId = o.id + 1;
      model.servers.push_back(std::move(fs));
    }
    // Every bindery knows every file server of the network.
    for (auto& fs : model.servers) {
      addStandardObjects(fs);
      for (const auto& other : model.servers)
        if (!fs.find(other.name, 4)) fs.add(other.name, 4);
    }
    for (const auto& f : doc.value("faults", json::array())) {
      Fault fault;
      fault.function = f.at("function").get<std::string>();
      fault.server = upper(f.value("server", std::string()));
      fault.after = f.value("after", 0);
      fault.code = f.value("code", 0x89FFu);
      model.faults.push_back(std::move(fault));
    }
  } catch (const json::exception& e) {
    return e.what();
  }
  return {};
}

std::string modelToJson(const Model& model) {
  json doc;
  doc["client_starts"] = model.clientStarts;
  doc["servers"] = json::array();
  for (const auto& fs : model.servers) {
    json s;
    s["name"] = fs.name;
    s["attached"] = fs.attached;
    s["user"] = fs.user;
    s["next_id"] = fs.nextId;
    s["objects"] = json::array();
    for (const auto& o : fs.objects) {
      json obj{{"id", o.id}, {"name", o.name}, {"type", o.type}, {"flags", o.flags}, {"security", o.security}};
      if (o.password) obj["password"] = *o.password;
      obj["properties"] = json::array();
      for (const auto& p : o.properties) {
        json prop{{"name", p.name}, {"set", p.isSet}, {"security", p.security}};
        if (p.isSet)
          prop["members"] = p.members;
        else
          prop["value"] = hexOf(p.value);
        obj["properties"].push_back(std::move(prop));
      }
      s["objects"].push_back(std::move(obj));
    }
    s["directories"] = json::array();
    for (const auto& d : fs.directories) {
      json dir{{"path", d.path}, {"rights_mask", d.rightsMask}, {"trustees", json::array()}};
      for (const auto& [id, rights] : d.trustees) dir["trustees"].push_back({id, rights});
      s["directories"].push_back(std::move(dir));
    }
    doc["servers"].push_back(std::move(s));
  }
  return doc.dump(1) + "\n";
}

}  // namespace netware::standin
