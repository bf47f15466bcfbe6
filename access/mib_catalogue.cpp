#include "access/mib_catalogue.h"

#include <array>
#include <cstdio>

#include "access/mib_groups.h"

namespace mib {
namespace {

// In GroupId order: group(id) indexes this array.
constexpr const GroupDef* kAllGroups[] = {
    &groups::kServerInfo,
    &groups::kTechSupport,
    &groups::kSystem,
    &groups::kServerControl,
    &groups::kRestoreDefaults,
    &groups::kSnmpConfig,
    &groups::kStatistics,
    &groups::kTokenRing,
    &groups::kProtocolList,
    &groups::kProtocolListTable,
    &groups::kProtocolEnable,
    &groups::kOutputPort,
    &groups::kOutputPortRow,
    &groups::kPrinterStatus,
    &groups::kTcpIp,
    &groups::kGenericProtocol,
    &groups::kIpTrap,
    &groups::kIpTrapRow,
    &groups::kIpTrap2,
    &groups::kIpTrapRow2,
    &groups::kEmailTrap,
    &groups::kEmailTrapRow,
    &groups::kEmailTrap2,
    &groups::kEmailTrapRow2,
    &groups::kIpxTrap,
    &groups::kIpxTrap2,
    &groups::kTrapEvent,
    &groups::kNetWare,
    &groups::kFileServerStatusTable,
    &groups::kNetWarePort,
    &groups::kNetWarePortRow,
    &groups::kNds,
    &groups::kVines,
    &groups::kVinesNameTable,
    &groups::kVinesPortRow,
    &groups::kEtherTalk,
    &groups::kEtherTalkPortRow,
    &groups::kWireless,
    &groups::kWirelessList,
    &groups::kWepKeyRow,
    &groups::kWirelessCountry,
};
static_assert(std::size(kAllGroups) == kGroupCount, "one table per group");

}  // namespace

std::span<const GroupDef* const> allGroups() noexcept { return kAllGroups; }

const GroupDef& group(GroupId id) noexcept {
  const auto i = static_cast<std::size_t>(id);
  return *kAllGroups[i < kGroupCount ? i : 0];
}

const GroupDef* findGroup(std::string_view name) noexcept {
  for (const GroupDef* g : kAllGroups) {
    if (g->name == name) return g;
  }
  return nullptr;
}

std::size_t variableCountAt(const GroupDef& g, int level) noexcept {
  std::size_t n = 0;
  for (const VariableDef& v : g.variables) {
    if (variablePresent(v, level)) ++n;
  }
  return n;
}

bool extensionApplies(const GroupDef& g, const Extension& e, int level) noexcept {
  if (e.minLevel > kLevelAlways && (level == kLevelUnknown || !levelAtLeast(level, e.minLevel))) return false;
  if (e.levelGate >= 0) {
    const auto gate = static_cast<std::size_t>(e.levelGate);
    if (gate >= g.variables.size() || !variablePresent(g.variables[gate], level)) return false;
  }
  return true;
}

bool protocolOid(const GroupDef& g, std::int32_t protocolId, std::span<char> out) noexcept {
  if (!out.empty()) out[0] = '\0';
  for (const ProtocolOid& p : g.protocols) {
    if (p.protocolId == protocolId) {
      if (p.oid.size() >= out.size()) return false;
      for (std::size_t i = 0; i < p.oid.size(); ++i) out[i] = p.oid[i];
      out[p.oid.size()] = '\0';
      return true;
    }
  }
  if (g.protocolFallback.empty() || protocolId < 0) return false;
  // The fallback is ".6.3.%d.2.0": split at the placeholder instead of formatting with it.
  const std::size_t at = g.protocolFallback.find("%d");
  if (at == std::string_view::npos) return false;
  std::array<char, 16> number{};
  std::snprintf(number.data(), number.size(), "%d", static_cast<int>(protocolId));
  const std::string_view head = g.protocolFallback.substr(0, at);
  const std::string_view tail = g.protocolFallback.substr(at + 2);
  const std::string_view digits(number.data());
  const std::size_t total = head.size() + digits.size() + tail.size();
  if (total >= out.size()) return false;
  std::size_t pos = 0;
  for (std::string_view part : {head, digits, tail}) {
    for (char c : part) out[pos++] = c;
  }
  out[pos] = '\0';
  return true;
}

std::string_view syntaxName(Syntax s) noexcept {
  switch (s) {
    case Syntax::Integer: return "int";
    case Syntax::Text: return "text";
    case Syntax::Bytes: return "bytes";
    case Syntax::IpAddress: return "ip";
    case Syntax::Unsigned: return "uns";
    case Syntax::ObjectId: return "oid";
  }
  return "?";
}

std::string_view accessName(Access a) noexcept { return a == Access::ReadWrite ? "read-write" : "read-only"; }

std::string_view kindName(GroupKind k) noexcept {
  switch (k) {
    case GroupKind::Scalar: return "scalar";
    case GroupKind::Container: return "container";
    case GroupKind::Row: return "row";
    case GroupKind::Table: return "table";
    case GroupKind::Protocols: return "protocols";
  }
  return "?";
}

}  // namespace mib
