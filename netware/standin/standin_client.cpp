// The stand-in client's one entry point: every function of the five client libraries lands
// here with its library, ordinal and slots, and is answered from the model. Bindery and
// connection functions are served; NDS and print-services functions answer as a client that
// finds no tree (they are not needed for bindery work).
#include <arpa/inet.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "fennick/client/client_backend.h"
#include "netware/fnk_binding.h"
#include "netware/bindery_name.h"
#include "netware/nw_volumes.h"
#include "netware/standin/standin_model.h"
#include "platform/atomic_file.h"

namespace netware::standin {
namespace {

constexpr FnkResult kOk = 0;
constexpr FnkResult kNoConnection = 0x880F;
constexpr FnkResult kEndOfTable = 0x8866;
constexpr FnkResult kAlreadyAttached = 0x8800;
constexpr FnkResult kNoSuchObject = 0x89FC;
constexpr FnkResult kNoSuchProperty = 0x89FB;
constexpr FnkResult kPropertyExists = 0x89ED;
constexpr FnkResult kObjectExists = 0x89EE;
constexpr FnkResult kInSet = 0x89E9;
constexpr FnkResult kNotInSet = 0x89EA;
constexpr FnkResult kNotSetProperty = 0x89E8;
constexpr FnkResult kBadPassword = 0x89FF;
constexpr FnkResult kNoSuchSegment = 0x89EC;
constexpr FnkResult kInvalidPath = 0x899C;
constexpr FnkResult kNdsNoSuchEntry = static_cast<FnkResult>(-601);
constexpr FnkResult kPsNoMoreValues = 0x7762;

std::mutex g_lock;
Model g_model;
bool g_loaded = false;

std::string statePath() {
  if (const char* p = std::getenv("TRELLAN_NETWARE_STATE"); p && *p) return p;
  return volumesRoot() + "/standin-state.json";
}

// State file when there is one, else the seed ($TRELLAN_NETWARE_STANDIN); faults always come
// from the seed, so that a run's injected failure does not outlive it.
void load() {
  g_model = Model{};
  g_loaded = true;
  Model seed;
  std::string seedText;
  if (const char* s = std::getenv("TRELLAN_NETWARE_STANDIN"); s && *s) {
    auto r = platform::readFileBounded(s, 16 << 20);
    if (r.status == platform::ReadStatus::Ok) seedText = r.data;
  }
  if (!seedText.empty()) {
    const std::string error = modelFromJson(seedText, seed);
    if (!error.empty()) std::fprintf(stderr, "NetWare stand-in: seed file: %s\n", error.c_str());
  }
  auto state = platform::readFileBounded(statePath(), 64 << 20);
  if (state.status == platform::ReadStatus::Ok && modelFromJson(state.data, g_model).empty()) {
    g_model.faults = seed.faults;
  } else {
    g_model = seed;
  }
}

void save() {
  platform::makeDirectories(platform::parentDirectory(statePath()), 0700);
  platform::writeFileAtomically(statePath(), modelToJson(g_model));
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string text(FnkSlot s) { return s ? std::string(reinterpret_cast<const char*>(s), strnlen(reinterpret_cast<const char*>(s), 512)) : std::string(); }
template <class T>
T* out(FnkSlot s) {
  return reinterpret_cast<T*>(s);
}
std::uint16_t type(FnkSlot s) { return swapType(static_cast<std::uint16_t>(s)); }
std::uint32_t wireId(std::uint32_t logical) { return htonl(logical); }
std::uint32_t logicalId(std::uint32_t wire) { return ntohl(wire); }

void putName(FnkSlot s, const std::string& name) {
  if (!s) return;
  auto f = nameField(name);
  std::memcpy(out<char>(s), f.data(), f.size());
}

// Connection handle n is server n-1; only attached servers have one.
FileServer* server(FnkSlot conn) {
  const auto n = static_cast<std::uint32_t>(conn);
  if (n == 0 || n > g_model.servers.size()) return nullptr;
  FileServer& fs = g_model.servers[n - 1];
  return fs.attached ? &fs : nullptr;
}
std::uint32_t defaultConnection() {
  for (std::size_t i = 0; i < g_model.servers.size(); ++i)
    if (g_model.servers[i].attached) return static_cast<std::uint32_t>(i + 1);
  return 0;
}

// "SYS:SYSTEM/0001A2B3" (or with backslashes) as a folder under the server's volumes.
std::string volumePath(const FileServer& fs, const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '\\') c = '/';
  const auto colon = p.find(':');
  if (colon == std::string::npos || p.find("..") != std::string::npos) return {};
  return volumesRoot() + "/" + fs.name + "/" + upper(p.substr(0, colon)) + "/" + upper(p.substr(colon + 1));
}

bool faultFires(const std::string& function, const FileServer* fs) {
  for (auto& f : g_model.faults) {
    if (f.spent || f.function != function) continue;
    if (!f.server.empty() && (!fs || fs->name != f.server)) continue;
    const std::string key = function + "@" + (fs ? fs->name : std::string());
    if (g_model.calls[key]++ < f.after) continue;
    f.spent = true;
    return true;
  }
  return false;
}
std::uint32_t faultCode(const std::string& function) {
  for (const auto& f : g_model.faults)
    if (f.spent && f.function == function) return f.code;
  return 0x89FF;
}

FnkResult setMember(FileServer& fs, FnkSlot const* a, int op) {
  Object* o = fs.find(text(a[1]), type(a[2]));
  if (!o) return kNoSuchObject;
  Property* p = o->property(text(a[3]));
  if (!p) return kNoSuchProperty;
  if (!p->isSet) return kNotSetProperty;
  Object* m = fs.find(text(a[4]), type(a[5]));
  if (!m) return kNoSuchObject;
  auto it = std::find(p->members.begin(), p->members.end(), m->id);
  if (op == 0) return it == p->members.end() ? kNotInSet : kOk;  // is in set
  if (op == 1) {                                                   // add
    if (it != p->members.end()) return kInSet;
    p->members.push_back(m->id);
    return kOk;
  }
  if (it == p->members.end()) return kNotInSet;  // delete
  p->members.erase(it);
  return kOk;
}

FnkResult calwin32(int ord, const FnkSlot* a, bool& changed) {
  switch (ord) {
    case 377: return g_model.clientStarts ? kOk : 0x8801;
    case 9:   // default connection
    case 15:  // primary connection
      if (!defaultConnection()) return kNoConnection;
      *out<std::uint32_t>(a[0]) = defaultConnection();
      return kOk;
    case 28: {  // connection status
      if (!server(a[0])) return kNoConnection;
      *out<std::uint32_t>(a[1]) = 0x33;
      if (a[2]) *out<std::uint32_t>(a[2]) = 0;
      return kOk;
    }
    case 7: {  // server name
      FileServer* fs = server(a[0]);
      if (!fs) return kNoConnection;
      putName(a[1], fs->name);
      return kOk;
    }
    case 212: {  // connection by name
      const std::string name = upper(text(a[0]));
      for (std::size_t i = 0; i < g_model.servers.size(); ++i)
        if (g_model.servers[i].name == name && g_model.servers[i].attached) {
          *out<std::uint32_t>(a[2]) = static_cast<std::uint32_t>(i + 1);
          return kOk;
        }
      return kNoConnection;
    }
    case 179: {  // attach to server
      const std::string name = upper(text(a[1]));
      for (std::size_t i = 0; i < g_model.servers.size(); ++i)
        if (g_model.servers[i].name == name) {
          if (a[3]) *out<std::uint32_t>(a[3]) = static_cast<std::uint32_t>(i + 1);
          if (g_model.servers[i].attached) return kAlreadyAttached;
          g_model.servers[i].attached = changed = true;
          return kOk;
        }
      return 0x8847;
    }
  }
  FileServer* fs = server(a[0]);
  if (!fs) return kNoConnection;
  switch (ord) {
    case 8: {  // user id of the connection
      Object* u = fs->find(fs->user, 1);
      if (!u) return kNoSuchObject;
      *out<std::uint32_t>(a[1]) = wireId(u->id);
      return kOk;
    }
    case 27: {  // scan objects
      const std::string pattern = text(a[1]);
      const std::uint16_t t = type(a[2]);
      auto* id = out<std::uint32_t>(a[3]);
      const std::uint32_t after = id && *id != 0xFFFFFFFFu ? logicalId(*id) : 0;
      const Object* best = nullptr;
      for (const auto& o : fs->objects)
        if ((t == 0xFFFF || o.type == t) && o.id > after && nameMatches(pattern, o.name) &&
            (!best || o.id < best->id))
          best = &o;
      if (!best) return kNoSuchObject;
      if (id) *id = wireId(best->id);
      putName(a[4], best->name);
      if (a[5]) *out<std::uint16_t>(a[5]) = swapType(best->type);
      return kOk;
    }
    case 25: {  // object id
      Object* o = fs->find(text(a[1]), type(a[2]));
      if (!o) return kNoSuchObject;
      *out<std::uint32_t>(a[3]) = wireId(o->id);
      return kOk;
    }
    case 115: {  // object name
      Object* o = fs->findId(logicalId(static_cast<std::uint32_t>(a[1])));
      if (!o) return kNoSuchObject;
      putName(a[2], o->name);
      if (a[3]) *out<std::uint16_t>(a[3]) = swapType(o->type);
      return kOk;
    }
    case 32: {  // create object
      const std::string name = upper(text(a[1]));
      if (name.empty() || name.size() > 47) return 0x89EF;
      if (fs->find(name, type(a[2]))) return kObjectExists;
      Object& o = fs->add(name, type(a[2]));
      o.flags = static_cast<std::uint8_t>(a[3]);
      o.security = static_cast<std::uint8_t>(a[4]);
      changed = true;
      return kOk;
    }
    case 33: {  // delete object
      const std::string name = upper(text(a[1]));
      for (auto it = fs->objects.begin(); it != fs->objects.end(); ++it)
        if (it->name == name && it->type == type(a[2])) {
          const std::uint32_t id = it->id;
          fs->objects.erase(it);
          for (auto& o : fs->objects)
            for (auto& p : o.properties) std::erase(p.members, id);
          changed = true;
          return kOk;
        }
      return kNoSuchObject;
    }
    case 18: {  // change password
      Object* o = fs->find(text(a[1]), type(a[2]));
      if (!o) return kNoSuchObject;
      if (o->password && *o->password != text(a[3])) return kBadPassword;
      o->password = text(a[4]);
      changed = true;
      return kOk;
    }
    case 29: {  // create property
      Object* o = fs->find(text(a[1]), type(a[2]));
      if (!o) return kNoSuchObject;
      if (o->property(text(a[3]))) return kPropertyExists;
      o->properties.push_back(Property{upper(text(a[3])), (a[4] & 2) != 0, static_cast<std::uint8_t>(a[5]), {}, {}});
      changed = true;
      return kOk;
    }
    case 31: {  // property security
      Object* o = fs->find(text(a[1]), type(a[2]));
      if (!o) return kNoSuchObject;
      Property* p = o->property(text(a[3]));
      if (!p) return kNoSuchProperty;
      p->security = static_cast<std::uint8_t>(a[4]);
      changed = true;
      return kOk;
    }
    case 19: {  // read property value
      Object* o = fs->find(text(a[1]), type(a[2]));
      if (!o) return kNoSuchObject;
      Property* p = o->property(text(a[3]));
      if (!p) return kNoSuchProperty;
      const int segment = static_cast<std::uint8_t>(a[4]);
      if (segment < 1) return kNoSuchSegment;
      std::uint8_t value[128] = {};
      bool more = false;
      if (p->isSet) {
        const std::size_t first = static_cast<std::size_t>(segment - 1) * 32;
        if (first > 0 && first >= p->members.size()) return kNoSuchSegment;
        for (std::size_t i = 0; i < 32 && first + i < p->members.size(); ++i) {
          const std::uint32_t w = wireId(p->members[first + i]);
          std::memcpy(value + 4 * i, &w, 4);
        }
        more = first + 32 < p->members.size();
      } else {
        const std::size_t first = static_cast<std::size_t>(segment - 1) * 128;
        if (first > 0 && first >= p->value.size()) return kNoSuchSegment;
        if (first < p->value.size()) std::memcpy(value, p->value.data() + first, std::min<std::size_t>(128, p->value.size() - first));
        more = first + 128 < p->value.size();
      }
      std::memcpy(out<std::uint8_t>(a[5]), value, 128);
      if (a[6]) *out<std::uint8_t>(a[6]) = more ? 0xFF : 0;
      if (a[7]) *out<std::uint8_t>(a[7]) = p->isSet ? 2 : 0;
      return kOk;
    }
    case 20: {  // write property value
      Object* o = fs->find(text(a[1]), type(a[2]));
      if (!o) return kNoSuchObject;
      Property* p = o->property(text(a[3]));
      if (!p) return kNoSuchProperty;
      if (p->isSet) return 0x89E8;
      const std::size_t at = (static_cast<std::uint8_t>(a[4]) - 1u) * 128u;
      if (p->value.size() < at + 128) p->value.resize(at + 128, '\0');
      std::memcpy(p->value.data() + at, out<const char>(a[5]), 128);
      changed = true;
      return kOk;
    }
    case 21: { const FnkResult r = setMember(*fs, a, 1); changed |= r == kOk; return r; }
    case 22: { const FnkResult r = setMember(*fs, a, 2); changed |= r == kOk; return r; }
    case 23: return setMember(*fs, a, 0);
    case 59: {  // create queue
      const std::string name = upper(text(a[1]));
      if (name.empty() || name.size() > 47) return 0x89EF;
      if (fs->find(name, type(a[2]))) return kObjectExists;
      Object& q = fs->add(name, type(a[2]));
      for (const char* p : {"Q_SERVERS", "Q_OPERATORS", "Q_USERS"}) q.properties.push_back(Property{p, true, 0x31, {}, {}});
      const std::string dir = volumePath(*fs, text(a[4]));
      if (!dir.empty()) platform::makeDirectories(dir + "/" + objectDirectoryName(wireId(q.id)) + ".QDR", 0755);
      *out<std::uint32_t>(a[5]) = wireId(q.id);
      changed = true;
      return kOk;
    }
    case 60: {  // remove queue
      Object* q = fs->findId(logicalId(static_cast<std::uint32_t>(a[1])));
      if (!q || q->type != 3) return kNoSuchObject;
      std::erase_if(fs->objects, [&](const Object& o) { return o.id == q->id; });
      changed = true;
      return kOk;
    }
    case 157: {  // create directory
      const std::string path = upper(text(a[2]));
      const std::string local = volumePath(*fs, path);
      if (local.empty()) return kInvalidPath;
      if (!platform::makeDirectories(local, 0755)) return 0x8984;
      bool known = false;
      for (auto& d : fs->directories) known |= d.path == path;
      if (!known) fs->directories.push_back(Directory{path, static_cast<std::uint8_t>(a[3]), {}});
      changed = true;
      return kOk;
    }
    case 158: {  // delete directory
      const std::string path = upper(text(a[2]));
      const std::string local = volumePath(*fs, path);
      if (local.empty()) return kInvalidPath;
      if (::rmdir(local.c_str()) != 0) return 0x899F;
      std::erase_if(fs->directories, [&](const Directory& d) { return d.path == path; });
      changed = true;
      return kOk;
    }
    case 76: {  // add trustee
      const std::string path = upper(text(a[2]));
      for (auto& d : fs->directories)
        if (d.path == path) {
          d.trustees[logicalId(static_cast<std::uint32_t>(a[3]))] = static_cast<std::uint8_t>(a[4]);
          changed = true;
          return kOk;
        }
      return kInvalidPath;
    }
  }
  return 0x89FF;
}

FnkResult clxwin32(int ord, const FnkSlot* a) {
  switch (ord) {
    case 113: {  // next entry of the connection table
      auto* it = out<std::uint32_t>(a[0]);
      while (*it < g_model.servers.size()) {
        const std::uint32_t n = (*it)++;
        if (g_model.servers[n].attached) {
          *out<std::uint32_t>(a[1]) = n + 1;
          return kOk;
        }
      }
      return kEndOfTable;
    }
    case 102:  // connection information: kind 2 is the handle
      if (!server(a[0]) || a[1] != 2) return kNoConnection;
      *out<std::uint32_t>(a[3]) = static_cast<std::uint32_t>(a[0]);
      return kOk;
  }
  return kNoConnection;
}

}  // namespace
}  // namespace netware::standin

using namespace netware::standin;

extern "C" __attribute__((visibility("default"))) FnkResult nwclient_call(const char* library, int ordinal,
                                                                         const FnkSlot* slots, int count) {
  std::lock_guard lock(g_lock);
  if (!g_loaded) load();
  const std::string lib = library ? library : "";
  const std::string function = lib + "_" + std::to_string(ordinal);
  if (faultFires(function, lib == "calwin32" && count > 0 ? server(slots[0]) : nullptr)) return faultCode(function);
  bool changed = false;
  FnkResult r;
  if (lib == "calwin32")
    r = calwin32(ordinal, slots, changed);
  else if (lib == "clxwin32")
    r = clxwin32(ordinal, slots);
  else if (lib == "locwin32")
    r = kOk;
  else if (lib == "prtwin32")
    r = kPsNoMoreValues;
  else
    r = kNdsNoSuchEntry;
  if (changed) save();
  return r;
}

// Forgets the model; the next call reads the state file (or the seed) again.
extern "C" __attribute__((visibility("default"))) void nwstandin_reset() {
  std::lock_guard lock(g_lock);
  g_loaded = false;
}
