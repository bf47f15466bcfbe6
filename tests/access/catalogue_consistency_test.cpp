// Transcription checks over the whole catalogue: a wrong index, a duplicated OID, a string id
// that does not resolve or disagrees with its group, a saved variable without a backup tag.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "access/mib_catalogue.h"
#include "access/mib_strings.h"
#include "access/oid_text.h"

namespace mib {
namespace {

std::string fullOid(const VariableDef& v, long row = 0) {
  return variableOidString(kDefaultEnterprisePrefix, v, v.suffix == Suffix::None ? -1 : row);
}

TEST(CatalogueConsistency, FortyOneGroupsInIdOrderWithUniqueNames) {
  ASSERT_EQ(allGroups().size(), 41u);
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < allGroups().size(); ++i) {
    const GroupDef& g = *allGroups()[i];
    EXPECT_EQ(static_cast<std::size_t>(g.id), i) << g.name;
    EXPECT_EQ(&group(g.id), &g) << g.name;
    EXPECT_EQ(findGroup(g.name), &g) << g.name;
    EXPECT_TRUE(names.insert(g.name).second) << "duplicate name " << g.name;
  }
  EXPECT_EQ(findGroup("CNoSuchGroup"), nullptr);
}

TEST(CatalogueConsistency, IndexesFollowPositionAndLevelAdditionsAreATail) {
  for (const GroupDef* g : allGroups()) {
    int lastLevel = 0;
    for (std::size_t i = 0; i < g->variables.size(); ++i) {
      const VariableDef& v = g->variables[i];
      EXPECT_EQ(v.index, i) << g->name << " variable " << i;
      EXPECT_GE(v.minLevel, lastLevel) << g->name << " variable " << i;
      EXPECT_GE(v.minLevel, 1) << g->name << " variable " << i;
      lastLevel = v.minLevel;
    }
  }
}

TEST(CatalogueConsistency, OidsAreValidAndUniqueWithinAGroup) {
  for (const GroupDef* g : allGroups()) {
    std::set<std::string> seen;
    auto check = [&](const VariableDef& v, const char* what) {
      const std::string oid = fullOid(v);
      ASSERT_FALSE(oid.empty()) << g->name << " " << what << " " << +v.index;
      EXPECT_TRUE(seen.insert(oid).second) << g->name << " " << what << " " << +v.index << " repeats " << oid;
    };
    for (const VariableDef& v : g->variables) check(v, "variable");
    for (const VariableDef& v : g->extras) check(v, "extra");
    for (const ProtocolOid& p : g->protocols) {
      std::array<char, kOidTextCapacity> buffer{};
      ASSERT_NE(composeOid(buffer, kDefaultEnterprisePrefix, p.oid), 0u) << g->name << " protocol " << p.protocolId;
      EXPECT_TRUE(seen.insert(buffer.data()).second) << g->name << " protocol " << p.protocolId;
    }
  }
}

TEST(CatalogueConsistency, EveryStringIdResolvesToTheGroupsText) {
  std::set<std::uint16_t> used;
  auto check = [&](std::string_view group, const VariableDef& v) {
    ASSERT_GE(v.stringId, kFirstCatalogueString) << group << " " << v.oid;
    ASSERT_LE(v.stringId, kLastCatalogueString) << group << " " << v.oid;
    const std::string_view text = catalogueString(v.stringId);
    ASSERT_FALSE(text.empty()) << group << " string " << v.stringId;
    used.insert(v.stringId);
    if (v.suffix == Suffix::DeviceRow) {
      // Port 1 reads exactly the entry the string table names.
      std::array<char, kOidTextCapacity> buffer{};
      ASSERT_NE(composeOid(buffer, kDefaultEnterprisePrefix, text), 0u);
      EXPECT_EQ(fullOid(v, 0), std::string(buffer.data())) << group << " string " << v.stringId;
    } else {
      EXPECT_EQ(v.oid, text) << group << " string " << v.stringId;
    }
  };
  for (const GroupDef* g : allGroups()) {
    for (const VariableDef& v : g->variables) check(g->name, v);
    for (const VariableDef& v : g->extras) check(g->name, v);
    for (const Extension& e : g->extensions) {
      check(g->name, e.variable);
      if (e.kind == ExtensionKind::EventNames) check(g->name, e.second);
    }
    for (const ProtocolOid& p : g->protocols) {
      EXPECT_EQ(catalogueString(p.stringId), p.oid) << g->name << " protocol " << p.protocolId;
      used.insert(p.stringId);
    }
  }
  // Every OID text of the table belongs to some group; the other strings are names.
  for (const CatalogueString& s : allCatalogueStrings()) {
    const bool isOid = isRelativeOidText(s.text) || isValidOidText(s.text);
    if (isOid) {
      EXPECT_TRUE(used.count(s.id)) << "string " << s.id << " is used by no group";
    }
  }
  EXPECT_EQ(catalogueString(kStringTcpIpSection), "TCP/IP");
  EXPECT_EQ(catalogueString(kStringOutputPorts), "Output Ports");
  EXPECT_EQ(catalogueString(kStringSmtpSection), "SMTP");
  EXPECT_TRUE(catalogueString(4006).empty());
  EXPECT_TRUE(catalogueString(99999).empty());
}

TEST(CatalogueConsistency, StringTableIsSortedAndInRange) {
  std::uint16_t last = 0;
  for (const CatalogueString& s : allCatalogueStrings()) {
    EXPECT_GT(s.id, last);
    EXPECT_GE(s.id, kFirstCatalogueString);
    EXPECT_LE(s.id, kLastCatalogueString);
    last = s.id;
  }
}

TEST(CatalogueConsistency, ProbesCountsAndGatesPointAtIntegers) {
  for (const GroupDef* g : allGroups()) {
    auto integerAt = [&](std::span<const VariableDef> vars, int index, const char* what) {
      ASSERT_GE(index, 0) << g->name << " " << what;
      ASSERT_LT(static_cast<std::size_t>(index), vars.size()) << g->name << " " << what;
      EXPECT_EQ(vars[static_cast<std::size_t>(index)].syntax, Syntax::Integer) << g->name << " " << what;
    };
    if (g->probeIndex >= 0) {
      integerAt(g->variables, g->probeIndex, "probe");
      EXPECT_EQ(g->variables[static_cast<std::size_t>(g->probeIndex)].minLevel, kLevelAlways) << g->name;
    }
    for (const ChildDef& c : g->children) {
      if (c.from == CountFrom::Variable) integerAt(g->variables, c.countIndex, "child count");
      if (c.from == CountFrom::Extra) integerAt(g->extras, c.countIndex, "child count");
    }
    for (const Extension& e : g->extensions) {
      if (e.countIndex >= 0) integerAt(g->variables, e.countIndex, "extension count");
      if (e.levelGate >= 0) {
        ASSERT_LT(static_cast<std::size_t>(e.levelGate), g->variables.size()) << g->name;
      }
    }
  }
}

TEST(CatalogueConsistency, SuffixesMatchTheGroupKind) {
  for (const GroupDef* g : allGroups()) {
    for (const VariableDef& v : g->variables) {
      if (g->kind == GroupKind::Table) {
        EXPECT_EQ(v.suffix, Suffix::Row) << g->name << " " << +v.index;
      } else if (g->kind != GroupKind::Row) {
        EXPECT_TRUE(v.suffix == Suffix::None || v.suffix == Suffix::First) << g->name << " " << +v.index;
      }
    }
    if (g->kind == GroupKind::Row) {
      bool anyRow = false;
      for (const VariableDef& v : g->variables) anyRow |= v.suffix != Suffix::None;
      EXPECT_TRUE(anyRow) << g->name;
    }
    for (const Extension& e : g->extensions) {
      // Port columns carry their own column and entry; counted additions end in the entry number.
      const Suffix want = e.kind == ExtensionKind::PortColumns ? Suffix::None : Suffix::Row;
      EXPECT_EQ(e.variable.suffix, want) << g->name;
    }
  }
}

TEST(CatalogueConsistency, SavedVariablesHaveATagAndAreWritable) {
  for (const GroupDef* g : allGroups()) {
    if (g->backup.name.empty()) continue;
    for (const VariableDef& v : g->variables) {
      if (v.excluded) continue;
      EXPECT_FALSE(backupTag(v.syntax).empty()) << g->name << " " << +v.index << " is saved but has no tag";
      EXPECT_EQ(v.access, Access::ReadWrite) << g->name << " " << +v.index << " is restored but read-only";
    }
    EXPECT_EQ(g->backup.perRow, g->backup.name.find("%c") != std::string_view::npos) << g->name;
  }
}

TEST(CatalogueConsistency, EnumerationsHaveTextsAndDistinctValues) {
  ASSERT_FALSE(allEnumerations().empty());
  for (const Enumeration* e : allEnumerations()) {
    EXPECT_FALSE(e->name.empty());
    EXPECT_FALSE(e->entries.empty()) << e->name;
    EXPECT_FALSE(e->otherText.empty()) << e->name;
    EXPECT_EQ(findEnumeration(e->name), e) << e->name;
    std::set<std::int32_t> values;
    for (const EnumEntry& entry : e->entries) {
      EXPECT_FALSE(entry.text.empty()) << e->name << " " << entry.value;
      EXPECT_TRUE(values.insert(entry.value).second) << e->name << " repeats " << entry.value;
    }
  }
  // Every enumeration a variable refers to is listed.
  for (const GroupDef* g : allGroups()) {
    for (const VariableDef& v : g->variables) {
      if (v.enumeration == nullptr) continue;
      EXPECT_EQ(findEnumeration(v.enumeration->name), v.enumeration) << g->name << " " << +v.index;
      EXPECT_EQ(v.syntax, Syntax::Integer) << g->name << " " << +v.index;
    }
  }
}

}  // namespace
}  // namespace mib
