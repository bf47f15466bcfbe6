// Derived objects and default triggers of a simulated print server.
#include "sim/device_model.h"

#include <algorithm>

#include "sim/catalogue_mib.h"
#include "sim/status_objects.h"
#include "sim/wireless_unit.h"

namespace sim {

namespace {

Oid rel(const Oid& enterprise, std::initializer_list<std::uint32_t> tail) {
  Oid r = enterprise;
  r.insert(r.end(), tail.begin(), tail.end());
  return r;
}

bool storeHasArea(const MibStore& store, const Oid& area) {
  auto* n = store.next(area);
  return n && startsWith(n->first, area);
}

constexpr MibAreaInfo kAreas[] = {
    {MibArea::Server, "server", ".1.1.0", ".1", 0},
    {MibArea::Control, "control", ".2.1.0", ".2", 0},
    {MibArea::Snmp, "snmp", ".3.1.0", ".3", 0},
    {MibArea::TokenRing, "token_ring", ".5.1.0", ".5", 0},
    {MibArea::Ports, "ports", ".6.2.1.0", ".6.2", 0},
    {MibArea::TcpIp, "tcpip", ".6.3.1.1.0", ".6.3.1", 1},
    {MibArea::NetWare, "netware", ".6.3.2.1.0", ".6.3.2", 2},
    {MibArea::Vines, "vines", ".6.3.3.1.0", ".6.3.3", 3},
    {MibArea::LanManager, "lan_manager", ".6.3.4.1.0", ".6.3.4", 4},
    {MibArea::EtherTalk, "ethertalk", ".6.3.5.1.0", ".6.3.5", 5},
    {MibArea::Wireless, "wireless", ".8.2.0", ".8", 7},
};
static_assert(std::size(kAreas) == kMibAreaCount, "one entry per area");

Oid relText(const Oid& enterprise, const char* text) { return concat(enterprise, *parseOid(text)); }

// Sets an IpAddress or text field of the model from the store, when the store has it in that form.
void takeIp(const MibStore& store, const Oid& oid, std::uint32_t& out) {
  const MibEntry* e = store.find(oid);
  if (!e || e->value.syntax != Syntax::IpAddress || e->value.bytes.size() != 4) return;
  std::uint32_t v = 0;
  for (char c : e->value.bytes) v = (v << 8) | static_cast<unsigned char>(c);
  out = v;
}

void takeText(const MibStore& store, const Oid& oid, std::size_t maxLength, std::string& out) {
  const MibEntry* e = store.find(oid);
  if (!e || e->value.syntax != Syntax::Octets || e->value.bytes.empty() || e->value.bytes.size() > maxLength) return;
  out = e->value.bytes;
}

}  // namespace

std::span<const MibAreaInfo> mibAreas() { return kAreas; }

const MibAreaInfo& mibArea(MibArea area) {
  const auto i = static_cast<std::size_t>(area);
  return kAreas[i < kMibAreaCount ? i : 0];
}

std::int32_t DeviceModel::levelOf(MibArea area) const {
  const MibEntry* e = store.find(relText(enterprise, mibArea(area).levelOid));
  if (e && e->value.syntax == Syntax::Integer) return std::int32_t(e->value.number);
  const auto& set = areaLevels[static_cast<std::size_t>(area)];
  return set ? *set : mibLevel;
}

bool DeviceModel::hasArea(MibArea area) const {
  const MibAreaInfo& a = mibArea(area);
  // A level variable the data file defined brings the area whatever the other settings say.
  if (store.find(relText(enterprise, a.levelOid))) return true;
  if (area == MibArea::TokenRing) return tokenRing;
  if (a.protocol > 1) return std::find(protocols.begin(), protocols.end(), a.protocol) != protocols.end();
  return true;
}

void DeviceModel::ensureCatalogue() {
  if (!catalogue || catalogueBuilt) return;
  catalogueBuilt = true;
  addCatalogueMib(*this);
  addMovingCounters(*this);
  applyWirelessState(*this);
}

std::vector<Oid> DeviceModel::syncOids() const {
  const Oid& e = enterprise;
  std::vector<Oid> out;
  if (agent.getCommunityOid) out.push_back(*agent.getCommunityOid);
  if (agent.setCommunityOid) out.push_back(*agent.setCommunityOid);
  out.push_back(rel(e, {6, 3, 1, 4, 3, 0}));
  out.push_back(rel(e, {6, 3, 1, 4, 2, 0}));
  out.push_back(std_oids::kSysName);
  for (std::size_t i = 0; i < ports.size(); ++i) out.push_back(rel(e, {6, 2, 3, 2, 1, 2, std::uint32_t(i + 1)}));
  return out;
}

void DeviceModel::syncFromStore(const std::vector<Oid>& changed) {
  const Oid& e = enterprise;
  auto was = [&](const Oid& oid) { return std::find(changed.begin(), changed.end(), oid) != changed.end(); };
  if (agent.getCommunityOid && was(*agent.getCommunityOid))
    takeText(store, *agent.getCommunityOid, kMaxCommunityLength, getCommunity);
  if (agent.setCommunityOid && was(*agent.setCommunityOid)) {
    // Write-only: the new SET community is taken and the variable reads empty again.
    takeText(store, *agent.setCommunityOid, kMaxCommunityLength, setCommunity);
    if (MibEntry* s = store.find(*agent.setCommunityOid); s && s->value.syntax == Syntax::Octets) s->value.bytes.clear();
  }
  if (const Oid m = rel(e, {6, 3, 1, 4, 3, 0}); was(m)) takeIp(store, m, discovery.subnetMask);
  if (const Oid g = rel(e, {6, 3, 1, 4, 2, 0}); was(g)) takeIp(store, g, discovery.gateway);
  if (was(std_oids::kSysName)) {
    std::string sysName = name;
    takeText(store, std_oids::kSysName, 64, sysName);
    name = sysName;
  }
  for (std::size_t i = 0; i < ports.size(); ++i)
    if (const Oid p = rel(e, {6, 2, 3, 2, 1, 2, std::uint32_t(i + 1)}); was(p))
      takeText(store, p, kMaxTextLength, ports[i].name);
}

std::optional<Oid> enterpriseOfFamily(const std::string& family) {
  if (family == "KDV" || family == "ZBN") return parseOid(kNativeEnterprise);
  if (family == "HLQ") return Oid{1, 3, 6, 1, 4, 1, 683};
  return std::nullopt;
}

std::vector<Trigger> DeviceModel::defaultTriggers() const {
  const Oid& e = enterprise;
  std::vector<Trigger> t;
  t.push_back({rel(e, {2, 2, 0}), 2, {}, false, true});
  t.push_back({rel(e, {2, 4, 0}), 2, {Oid{}}, true, true});
  t.push_back({rel(e, {6, 2, 2, 1, 0}), 2, {rel(e, {6, 2})}, true, true});
  t.push_back({rel(e, {6, 3, 1, 3, 1, 0}), 2, {rel(e, {6, 3, 1})}, true, true});
  struct Area { Oid trigger; Oid scope; MibArea area; };
  const Area optional[] = {
      {rel(e, {6, 3, 2, 3, 1, 0}), rel(e, {6, 3, 2}), MibArea::NetWare},
      {rel(e, {6, 3, 3, 3, 1, 0}), rel(e, {6, 3, 3}), MibArea::Vines},
      {rel(e, {6, 3, 5, 3, 1, 0}), rel(e, {6, 3, 5}), MibArea::EtherTalk},
      {rel(e, {8, 3, 19, 0}), rel(e, {8}), MibArea::Wireless},
  };
  for (const auto& a : optional)
    if (storeHasArea(store, a.scope) || (catalogue && hasArea(a.area))) t.push_back({a.trigger, 2, {a.scope}, true, true});
  return t;
}

void DeviceModel::populateDerived() {
  using namespace std_oids;
  const Oid& e = enterprise;
  store.defineIfAbsent(kSysDescr, Value::octets(system.descr), false);
  store.defineIfAbsent(kSysObjectId, Value::objectId(system.objectId.empty() ? e : system.objectId), false);
  if (!store.find(kSysUpTime)) {
    store.define(kSysUpTime, Value::unsignedOf(Syntax::TimeTicks, 0), false);
    store.find(kSysUpTime)->uptime = true;
  }
  // Writable texts keep the lengths the program's pages allow (longer values from the file stay).
  auto limit = [](MibEntry* e, std::uint32_t n) {
    if (e && e->value.bytes.size() <= n) e->maxLength = n;
  };
  limit(store.defineIfAbsent(kSysContact, Value::octets(system.contact), true), 127);
  limit(store.defineIfAbsent(kSysName, Value::octets(system.name), true), 127);
  limit(store.defineIfAbsent(kSysLocation, Value::octets(system.location), true), 127);
  store.defineIfAbsent(kIfSpeed1, Value::unsignedOf(Syntax::Gauge, ifSpeed), false);

  for (std::size_t i = 0; i < ports.size(); ++i) {
    const auto p = std::uint32_t(i + 1);
    store.defineIfAbsent(concat(kPrtMediaPathStatus, {p, 1}), Value::integer(ports[i].mediaPathStatus), false);
    store.defineIfAbsent(concat(kPrtConsoleDisplayText, {p, 1}), Value::octets(ports[i].display), false);
    limit(store.defineIfAbsent(rel(e, {6, 2, 3, 2, 1, 2, p}), Value::octets(ports[i].name), true), 15);
  }
  store.defineIfAbsent(rel(e, {6, 2, 3, 1, 0}), Value::integer(std::int32_t(ports.size())), false);

  // The MIB level that the groups of the areas every unit has probe first.
  for (MibArea area : {MibArea::Server, MibArea::Control, MibArea::Snmp, MibArea::Ports, MibArea::TcpIp})
    store.defineIfAbsent(relText(e, mibArea(area).levelOid), Value::integer(levelOf(area)), false);

  if (!agent.addressOid) agent.addressOid = rel(e, {6, 3, 1, 4, 1, 0});
  if (!agent.getCommunityOid) agent.getCommunityOid = rel(e, {3, 3, 0});
  if (!agent.setCommunityOid) agent.setCommunityOid = rel(e, {3, 4, 0});
  // Print-configuration action, then every trigger variable; action variables read back 1.
  store.defineIfAbsent(rel(e, {2, 3, 0}), Value::integer(1), true);
  for (const auto& t : agent.triggers) store.defineIfAbsent(t.oid, Value::integer(1), true);
  addStatusObjects(*this);
}

}  // namespace sim
