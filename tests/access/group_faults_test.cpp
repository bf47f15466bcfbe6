// Places where the groups, read literally, would misbehave, and what the catalogue does instead.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "access/mib_catalogue.h"
#include "access/oid_text.h"

namespace mib {
namespace {

// Setting a restore-defaults entry accepts 0..count-1 only: index == count would write past the
// last entry.
TEST(GroupFaults, RestoreDefaultsEntryIndexStopsBeforeCount) {
  struct Case { long index; std::size_t count; bool want; };
  const Case cases[] = {
      {0, 1, true}, {3, 4, true}, {4, 4, false}, {5, 4, false}, {-1, 4, false}, {0, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(variableIndexValid(c.index, c.count), c.want) << "index " << c.index << " of " << c.count;
  }
}

// Each output port's printer status reads the Printer-MIB entry of that port's printer, so that
// two ports do not both show printer 1.
TEST(GroupFaults, EachPortReadsItsOwnPrinterEntry) {
  const GroupDef& status = group(GroupId::PrinterStatus);
  EXPECT_EQ(status.kind, GroupKind::Row);
  for (const VariableDef& v : status.variables) {
    std::set<std::string> oids;
    for (long port = 0; port < 4; ++port) {
      const std::string oid = variableOidString(kDefaultEnterprisePrefix, v, port);
      ASSERT_FALSE(oid.empty());
      EXPECT_TRUE(oids.insert(oid).second) << v.meaning << " repeats for port " << port + 1;
    }
  }
  const auto& rowChildren = group(GroupId::OutputPortRow).children;
  ASSERT_EQ(rowChildren.size(), 1u);
  EXPECT_EQ(rowChildren[0].group, GroupId::PrinterStatus);
}

// The GPIO variables of the second-generation trap groups (and everything appended from them)
// exist from level 4 only.
TEST(GroupFaults, GpioAdditionsAreGatedOnTheirVariables) {
  for (GroupId id : {GroupId::IpTrap2, GroupId::IpxTrap2}) {
    const GroupDef& g = group(id);
    for (const Extension& e : g.extensions) {
      ASSERT_GE(e.levelGate, 0) << g.name;
      EXPECT_EQ(g.variables[static_cast<std::size_t>(e.levelGate)].minLevel, 4) << g.name;
      for (int level : {1, 2, 3}) EXPECT_FALSE(extensionApplies(g, e, level)) << g.name << " level " << level;
    }
  }
}

}  // namespace
}  // namespace mib
