// Derived objects and default triggers of a simulated print server.
#include "sim/device_model.h"

namespace sim {

namespace {

Oid rel(const Oid& enterprise, std::initializer_list<std::uint32_t> tail) {
  Oid r = enterprise;
  r.insert(r.end(), tail.begin(), tail.end());
  return r;
}

bool hasArea(const MibStore& store, const Oid& area) {
  auto* n = store.next(area);
  return n && startsWith(n->first, area);
}

}  // namespace

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
  struct Area { Oid trigger; Oid scope; };
  const Area optional[] = {
      {rel(e, {6, 3, 2, 3, 1, 0}), rel(e, {6, 3, 2})},  // NetWare
      {rel(e, {6, 3, 3, 3, 1, 0}), rel(e, {6, 3, 3})},  // VINES
      {rel(e, {6, 3, 5, 3, 1, 0}), rel(e, {6, 3, 5})},  // EtherTalk
      {rel(e, {8, 3, 19, 0}), rel(e, {8})},             // wireless
  };
  for (const auto& a : optional)
    if (hasArea(store, a.scope)) t.push_back({a.trigger, 2, {a.scope}, true, true});
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
  store.defineIfAbsent(kSysContact, Value::octets(system.contact), true);
  store.defineIfAbsent(kSysName, Value::octets(system.name), true);
  store.defineIfAbsent(kSysLocation, Value::octets(system.location), true);
  store.defineIfAbsent(kIfSpeed1, Value::unsignedOf(Syntax::Gauge, ifSpeed), false);

  for (std::size_t i = 0; i < ports.size(); ++i) {
    const auto p = std::uint32_t(i + 1);
    store.defineIfAbsent(concat(kPrtMediaPathStatus, {p, 1}), Value::integer(ports[i].mediaPathStatus), false);
    store.defineIfAbsent(concat(kPrtConsoleDisplayText, {p, 1}), Value::octets(ports[i].display), false);
    store.defineIfAbsent(rel(e, {6, 2, 3, 2, 1, 2, p}), Value::octets(ports[i].name), true);
  }
  store.defineIfAbsent(rel(e, {6, 2, 3, 1, 0}), Value::integer(std::int32_t(ports.size())), false);

  // The MIB level that the groups of the areas every unit has probe first.
  const Oid levels[] = {rel(e, {1, 1, 0}), rel(e, {2, 1, 0}), rel(e, {3, 1, 0}), rel(e, {6, 2, 1, 0}),
                        rel(e, {6, 3, 1, 1, 0})};
  for (const auto& oid : levels) store.defineIfAbsent(oid, Value::integer(mibLevel), false);

  if (!agent.addressOid) agent.addressOid = rel(e, {6, 3, 1, 4, 1, 0});
  // Print-configuration action, then every trigger variable; action variables read back 1.
  store.defineIfAbsent(rel(e, {2, 3, 0}), Value::integer(1), true);
  for (const auto& t : agent.triggers) store.defineIfAbsent(t.oid, Value::integer(1), true);
}

}  // namespace sim
