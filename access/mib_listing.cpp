#include "access/mib_listing.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "access/mib_catalogue.h"

namespace mib {
namespace {

// The OID of a variable for a listing: rows and entries are shown as ".n".
std::string listingOid(std::string_view prefix, const VariableDef& v) {
  std::array<char, kOidTextCapacity> buffer{};
  const std::size_t n = composeOid(buffer, prefix, v.oid);
  if (n == 0) return "(invalid)";
  std::string oid(buffer.data(), n);
  switch (v.suffix) {
    case Suffix::None: break;
    case Suffix::Row: oid += ".n"; break;
    case Suffix::DeviceRow: oid += ".n.1"; break;
    case Suffix::First: oid += ".1"; break;
  }
  return oid;
}

VariableListing listVariable(std::string_view prefix, const VariableDef& v) {
  VariableListing out;
  out.index = v.index;
  out.stringId = v.stringId;
  out.oid = listingOid(prefix, v);
  out.syntax = std::string(syntaxName(v.syntax));
  out.access = std::string(accessName(v.access));
  out.minLevel = v.minLevel;
  out.excluded = v.excluded;
  if (v.enumeration != nullptr) out.enumeration = std::string(v.enumeration->name);
  out.meaning = std::string(v.meaning);
  return out;
}

std::string describeExtension(std::string_view prefix, const Extension& e) {
  std::string text = listingOid(prefix, e.variable);
  if (e.kind == ExtensionKind::PortColumns) {
    // The template has no row suffix: show the column and entry placeholders.
    text += e.fixedEntry != 0 ? ".c." + std::to_string(e.fixedEntry) : std::string(".c.n");
  }
  if (e.kind == ExtensionKind::EventNames) text += " and " + listingOid(prefix, e.second) + ".c.p";
  text += " " + std::string(syntaxName(e.variable.syntax));
  if (e.minLevel > kLevelAlways) text += ", level " + std::to_string(e.minLevel);
  text += ": " + std::string(e.meaning);
  return text;
}

GroupListing listOne(std::string_view prefix, const GroupDef& g) {
  GroupListing out;
  out.name = std::string(g.name);
  out.kind = std::string(kindName(g.kind));
  out.probeIndex = g.probeIndex;
  out.backupSection = std::string(g.backup.name);
  out.users = std::string(g.users);
  for (const VariableDef& v : g.variables) out.variables.push_back(listVariable(prefix, v));
  for (const VariableDef& v : g.extras) out.extras.push_back(listVariable(prefix, v));
  for (const Extension& e : g.extensions) out.additions.push_back(describeExtension(prefix, e));
  for (const ProtocolOid& p : g.protocols) {
    std::array<char, kOidTextCapacity> buffer{};
    const std::size_t n = composeOid(buffer, prefix, p.oid);
    out.additions.push_back("protocol " + std::to_string(p.protocolId) + ": " + std::string(buffer.data(), n) + " int");
  }
  if (!g.protocolFallback.empty()) {
    std::string pattern(g.protocolFallback);
    const std::size_t at = pattern.find("%d");
    if (at != std::string::npos) pattern.replace(at, 2, "n");
    out.additions.push_back("other protocol n: " + std::string(prefix) + pattern + " int");
  }
  for (const ChildDef& c : g.children) {
    std::string from;
    switch (c.from) {
      case CountFrom::Variable: from = "per variable " + std::to_string(c.countIndex); break;
      case CountFrom::Extra: from = "per extra binding " + std::to_string(c.countIndex); break;
      case CountFrom::One: from = "one"; break;
    }
    out.children.push_back(std::string(group(c.group).name) + " " + from + ": " + std::string(c.meaning));
  }
  return out;
}

void pad(std::string& text, const std::string& field, std::size_t width) {
  text += field;
  if (field.size() < width) text.append(width - field.size(), ' ');
}

void appendVariableLine(std::string& text, const VariableListing& v, const char* mark, std::size_t oidWidth) {
  std::array<char, 16> head{};
  std::snprintf(head.data(), head.size(), "  %s%-3d ", mark, v.index);
  text += head.data();
  pad(text, v.oid, oidWidth + 2);
  pad(text, v.syntax, 7);
  pad(text, v.access, 12);
  pad(text, v.minLevel > 1 ? "level " + std::to_string(v.minLevel) : std::string(), 9);
  pad(text, v.excluded ? "excluded" : "", 10);
  text += v.meaning;
  if (!v.enumeration.empty()) text += " [" + v.enumeration + "]";
  while (!text.empty() && text.back() == ' ') text.pop_back();
  text += "\n";
}

}  // namespace

std::vector<GroupListing> listGroups(std::string_view prefix) {
  std::vector<GroupListing> out;
  out.reserve(kGroupCount);
  for (const GroupDef* g : allGroups()) out.push_back(listOne(prefix, *g));
  return out;
}

bool listGroup(std::string_view name, GroupListing& out, std::string_view prefix) {
  const GroupDef* g = findGroup(name);
  if (g == nullptr) return false;
  out = listOne(prefix, *g);
  return true;
}

std::string formatGroupListing(const std::vector<GroupListing>& groups) {
  std::string text;
  for (const GroupListing& g : groups) {
    text += g.name + " (" + g.kind;
    if (g.probeIndex >= 0) text += ", level in variable " + std::to_string(g.probeIndex);
    if (!g.backupSection.empty()) text += ", section \"" + g.backupSection + "\"";
    text += ")\n";
    std::size_t width = 0;
    for (const VariableListing& v : g.variables) width = std::max(width, v.oid.size());
    for (const VariableListing& v : g.extras) width = std::max(width, v.oid.size());
    for (const VariableListing& v : g.variables) appendVariableLine(text, v, "", width);
    for (const VariableListing& v : g.extras) appendVariableLine(text, v, "+", width);
    for (const std::string& a : g.additions) text += "  added: " + a + "\n";
    for (const std::string& c : g.children) text += "  owns: " + c + "\n";
  }
  return text;
}

}  // namespace mib
