// Walks the private MIB catalogue the way the program's groups read it, defining each instance
// a unit of the given levels has.
#include "sim/catalogue_mib.h"

#include <array>
#include <set>
#include <string>

#include "access/mib_catalogue.h"
#include "access/oid_text.h"
#include "sim/catalogue_values.h"

namespace sim {

namespace {

constexpr std::size_t kWepKeys = 4;

bool startsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix &&
         (text.size() == prefix.size() || text[prefix.size()] == '.');
}

class Walker {
 public:
  explicit Walker(DeviceModel& d) : d_(d), prefix_(formatOid(d.enterprise)) {}

  std::size_t run() {
    std::set<mib::GroupId> children;
    for (const mib::GroupDef* g : mib::allGroups())
      for (const mib::ChildDef& c : g->children) children.insert(c.group);
    for (const mib::GroupDef* g : mib::allGroups())
      if (!children.count(g->id) && groupPresent(*g)) root(*g);
    return added_;
  }

 private:
  // Groups that exist only from a level of another group's area.
  bool groupPresent(const mib::GroupDef& g) const {
    switch (g.id) {
      case mib::GroupId::WirelessList:
      case mib::GroupId::WirelessCountry:
        return mib::levelAtLeast(d_.levelOf(MibArea::Wireless), 3);
      case mib::GroupId::TrapEvent:
        return mib::levelAtLeast(d_.levelOf(MibArea::TcpIp), 4);
      default:
        return true;
    }
  }

  // The level a group reads from its probe variable; a group that does not probe is at level 1.
  int levelOf(const mib::GroupDef& g) const {
    if (g.probeIndex < 0 || std::size_t(g.probeIndex) >= g.variables.size()) return mib::kLevelAlways;
    const std::string_view probe = g.variables[std::size_t(g.probeIndex)].oid;
    for (const MibAreaInfo& a : mibAreas())
      if (probe == a.levelOid) return d_.levelOf(a.area);
    return d_.mibLevel;
  }

  // Relative texts of an area the unit lacks are left out; absolute ones outside the sibling
  // branch are the standard objects the model derives itself.
  bool wanted(std::string_view text) const {
    if (!mib::isRelativeOidText(text)) return startsWithText(text, mib::kSiblingPrefix);
    for (const MibAreaInfo& a : mibAreas())
      if (startsWithText(text, a.prefix)) return d_.hasArea(a.area);
    return true;
  }

  void root(const mib::GroupDef& g) {
    switch (g.kind) {
      case mib::GroupKind::Row:  // the WEP keys: rows the page creates itself
        for (std::size_t r = 0; r < kWepKeys; ++r) instance(g, long(r));
        break;
      case mib::GroupKind::Protocols: protocols(g); break;
      case mib::GroupKind::Table: break;  // tables belong to a container
      case mib::GroupKind::Scalar:
      case mib::GroupKind::Container: instance(g, -1); break;
    }
  }

  void instance(const mib::GroupDef& g, long row) {
    const int level = levelOf(g);
    for (const mib::VariableDef& v : g.variables)
      if (mib::variablePresent(v, level)) define(v, row);
    for (const mib::VariableDef& x : g.extras) define(x, row);
    for (const mib::Extension& e : g.extensions)
      if (mib::extensionApplies(g, e, level)) extension(g, e, row);
    for (const mib::ChildDef& c : g.children) {
      if (c.from == mib::CountFrom::One) continue;  // the Printer-MIB entry of a port: derived
      const auto& list = c.from == mib::CountFrom::Extra ? g.extras : g.variables;
      if (c.countIndex < 0 || std::size_t(c.countIndex) >= list.size()) continue;
      const std::size_t count = mib::clampCount(integerAt(list[std::size_t(c.countIndex)], row), c.maxCount);
      const mib::GroupDef& child = mib::group(c.group);
      for (std::size_t k = 0; k < count; ++k) {
        if (child.kind == mib::GroupKind::Table) {
          for (const mib::VariableDef& v : child.variables) define(v, long(k));
        } else {
          instance(child, long(k));
        }
      }
    }
  }

  void extension(const mib::GroupDef& g, const mib::Extension& e, long row) {
    const std::size_t ports = d_.ports.size();
    if (e.kind == mib::ExtensionKind::EventNames) {
      const int gpio = mib::gpioGroupCount(std::uint32_t(integerText(std::string(mib::kSiblingPrefix) + ".9.1.0")));
      for (long k = 0; k < 2L * gpio; ++k) define(e.variable, k);
      for (std::uint32_t p = 1; p <= ports; ++p)
        for (std::uint32_t c = 13; c <= 28; ++c) defineColumn(e.second, c, p);
      return;
    }
    std::size_t n = ports;
    if (e.countIndex >= 0) {
      if (std::size_t(e.countIndex) >= g.variables.size()) return;
      const std::int64_t value = integerAt(g.variables[std::size_t(e.countIndex)], row);
      n = e.kind == mib::ExtensionKind::PerHighestBit ? std::size_t(mib::highestBitPosition(std::uint32_t(value)))
                                                      : mib::clampCount(long(value), e.maxCount);
    }
    n = std::min<std::size_t>(n, e.maxCount);
    if (e.kind == mib::ExtensionKind::PortColumns) {
      const std::uint32_t entry = row >= 0 ? std::uint32_t(row + 1) : e.fixedEntry;
      for (int p = e.firstPort; p <= int(n); ++p)
        defineColumn(e.variable, std::uint32_t(mib::portColumn(e.firstColumn, p)), entry);
    } else {
      for (std::size_t k = 0; k < n; ++k) define(e.variable, long(k));
    }
  }

  void protocols(const mib::GroupDef& g) {
    for (const mib::VariableDef& v : g.variables) define(v, -1);
    for (std::int32_t id : d_.protocols) {
      std::array<char, 64> rel{};
      if (!mib::protocolOid(g, id, rel)) continue;
      mib::VariableDef v = mib::var(0, 0, rel.data(), mib::Syntax::Integer).rw();
      if (g.id == mib::GroupId::ProtocolEnable) v = v.en(mib::kEnabledTwo);
      define(v, -1);
    }
  }

  std::int64_t integerAt(const mib::VariableDef& v, long row) const {
    std::array<char, mib::kOidTextCapacity> buffer{};
    const std::size_t len = mib::variableOid(buffer, prefix_, v, row);
    return len ? integerText(std::string(buffer.data(), len)) : 0;
  }

  std::int64_t integerText(const std::string& text) const {
    auto oid = parseOid(text);
    const MibEntry* e = oid ? d_.store.find(*oid) : nullptr;
    return e && e->value.syntax == Syntax::Integer ? e->value.number : 0;
  }

  void define(const mib::VariableDef& v, long row) {
    std::array<char, mib::kOidTextCapacity> buffer{};
    const std::size_t len = mib::variableOid(buffer, prefix_, v, row);
    std::uint32_t n = 0;
    if (v.suffix == mib::Suffix::Row) n = std::uint32_t(row + 1);
    if (v.suffix == mib::Suffix::First) n = 1;
    put(v, std::string_view(buffer.data(), len), CatalogueInstance{v.oid, v.syntax, v.enumeration, v.meaning, n, 0});
  }

  // ".c.e" instances: a destination's per-port columns and the per-port event names.
  void defineColumn(const mib::VariableDef& v, std::uint32_t column, std::uint32_t entry) {
    std::array<char, mib::kOidTextCapacity> buffer{};
    const std::uint32_t suffix[] = {column, entry};
    const std::size_t len = mib::composeOid(buffer, prefix_, v.oid, suffix);
    put(v, std::string_view(buffer.data(), len),
        CatalogueInstance{v.oid, v.syntax, v.enumeration, v.meaning, entry, column});
  }

  void put(const mib::VariableDef& v, std::string_view full, const CatalogueInstance& instance) {
    if (full.empty() || !wanted(v.oid)) return;
    auto oid = parseOid(full);
    if (!oid) return;
    const bool writable = v.access == mib::Access::ReadWrite;
    if (MibEntry* e = d_.store.find(*oid)) {
      // Another group may write what this one only reads (a protocol's enable variable).
      if (writable && generated_.count(*oid)) e->writable = true;
      return;
    }
    Value value = plausibleValue(d_, instance);
    const bool bytes = v.syntax == mib::Syntax::Text || v.syntax == mib::Syntax::Bytes;
    if (bytes && v.maxLength && value.bytes.size() > v.maxLength) value.bytes.resize(v.maxLength);
    d_.store.define(*oid, value, writable);
    if (bytes && v.maxLength) d_.store.find(*oid)->maxLength = v.maxLength;
    generated_.insert(*oid);
    ++added_;
  }

  DeviceModel& d_;
  std::string prefix_;
  std::set<Oid> generated_;
  std::size_t added_ = 0;
};

}  // namespace

std::size_t addCatalogueMib(DeviceModel& d) { return Walker(d).run(); }

}  // namespace sim
