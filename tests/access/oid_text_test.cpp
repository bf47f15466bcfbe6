// Building full OID texts: prefixes, rows, port columns, protocol OIDs, and the bounds.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "access/mib_catalogue.h"
#include "access/oid_text.h"

namespace mib {
namespace {

constexpr std::string_view kOtherPrefix = "1.3.6.1.4.1.1240.2.3.7";

std::string compose(std::string_view prefix, std::string_view text, std::vector<std::uint32_t> suffix = {}) {
  std::array<char, kOidTextCapacity> buffer{};
  const std::size_t n = composeOid(buffer, prefix, text, suffix);
  return std::string(buffer.data(), n);
}

TEST(OidText, ComposeTable) {
  struct Case {
    const char* name;
    std::string_view prefix;
    std::string_view text;
    std::vector<std::uint32_t> suffix;
    std::string want;  // empty: rejected
  };
  std::string longPrefix = "1";  // 128 sub-identifiers
  for (int i = 1; i < 128; ++i) longPrefix += ".1";
  const std::string shorterPrefix = longPrefix.substr(0, longPrefix.size() - 2);  // 127
  const Case cases[] = {
      {"relative", kDefaultEnterprisePrefix, ".6.3.1.4.1.0", {}, "1.3.6.1.4.1.1240.2.3.5.6.3.1.4.1.0"},
      {"other family", kOtherPrefix, ".6.3.1.4.1.0", {}, "1.3.6.1.4.1.1240.2.3.7.6.3.1.4.1.0"},
      {"absolute ignores prefix", kOtherPrefix, "1.3.6.1.2.1.1.5.0", {}, "1.3.6.1.2.1.1.5.0"},
      {"absolute with bad prefix", "junk", "1.3.6.1.2.1.1.5.0", {}, "1.3.6.1.2.1.1.5.0"},
      {"row", kDefaultEnterprisePrefix, ".6.2.3.2.1.2", {2}, "1.3.6.1.4.1.1240.2.3.5.6.2.3.2.1.2.2"},
      {"column and row", kDefaultEnterprisePrefix, ".6.3.1.4.10.1", {6, 3}, "1.3.6.1.4.1.1240.2.3.5.6.3.1.4.10.1.6.3"},
      {"largest sub-identifier", "1.3", ".6", {4294967295u}, "1.3.6.4294967295"},
      {"empty prefix", "", ".6.3.1.1.0", {}, ""},
      {"prefix with letters", "1.3.6.x", ".6.3.1.1.0", {}, ""},
      {"prefix ending in dot", "1.3.6.", ".6.3.1.1.0", {}, ""},
      {"relative text with empty part", kDefaultEnterprisePrefix, ".6..1", {}, ""},
      {"sub-identifier over 32 bits", "1.3", ".4294967296", {}, ""},
      {"text without leading dot is absolute and must be whole", kDefaultEnterprisePrefix, "6", {}, ""},
      {"empty text", kDefaultEnterprisePrefix, "", {}, ""},
      {"over 128 sub-identifiers", longPrefix, ".1", {}, ""},
      {"exactly 128 sub-identifiers", shorterPrefix, ".1", {}, longPrefix},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(compose(c.prefix, c.text, c.suffix), c.want) << c.name;
  }
}

TEST(OidText, OutputBufferBound) {
  const std::string want = "1.3.6.1.4.1.1240.2.3.5.1.1.0";
  std::array<char, 64> buffer{};
  // Exactly room for the text and its terminator, then one byte less.
  EXPECT_EQ(composeOid(std::span<char>(buffer.data(), want.size() + 1), kDefaultEnterprisePrefix, ".1.1.0"), want.size());
  EXPECT_EQ(std::string(buffer.data()), want);
  buffer.fill('x');
  EXPECT_EQ(composeOid(std::span<char>(buffer.data(), want.size()), kDefaultEnterprisePrefix, ".1.1.0"), 0u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[want.size()], 'x') << "wrote past the given span";
  EXPECT_EQ(composeOid(std::span<char>(), kDefaultEnterprisePrefix, ".1.1.0"), 0u);
}

TEST(OidText, CatalogueVariablesWithRows) {
  const GroupDef& row = group(GroupId::OutputPortRow);
  const GroupDef& status = group(GroupId::PrinterStatus);
  const GroupDef& nw = group(GroupId::NetWare);
  struct Case {
    const char* name;
    const VariableDef& v;
    long row;
    std::string want;
  };
  const Case cases[] = {
      {"port 2 name", row.variables[1], 1, "1.3.6.1.4.1.1240.2.3.5.6.2.3.2.1.2.2"},
      {"row level has no row", row.variables[0], 1, "1.3.6.1.4.1.1240.2.3.5.6.2.1.0"},
      {"port 1 owner", row.variables[5], 0, "1.3.6.1.4.1.1240.2.3.5.6.2.3.2.1.13.1"},
      {"row variable without a row", row.variables[1], -1, ""},
      {"printer of port 1", status.variables[0], 0, "1.3.6.1.2.1.43.13.4.1.11.1.1"},
      {"printer of port 3", status.variables[1], 2, "1.3.6.1.2.1.43.16.5.1.2.3.1"},
      {"first entry of a column", nw.variables[10], -1, "1.3.6.1.4.1.1240.2.3.5.6.3.2.4.10.1.5.1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(variableOidString(kDefaultEnterprisePrefix, c.v, c.row), c.want) << c.name;
  }
  EXPECT_EQ(variableOidString(kOtherPrefix, row.variables[1], 0), "1.3.6.1.4.1.1240.2.3.7.6.2.3.2.1.2.1");
}

TEST(OidText, PortColumnsSkipTheOldPortMask) {
  const int want[] = {4, 6, 7, 8};
  for (int p = 1; p <= 4; ++p) EXPECT_EQ(portColumn(4, p), want[p - 1]) << "port " << p;
  // A TCP/IP destination row 2 with 3 ports: columns 4, 6 and 7.
  const Extension& e = group(GroupId::IpTrapRow2).extensions[0];
  ASSERT_EQ(e.kind, ExtensionKind::PortColumns);
  std::vector<std::string> oids;
  for (int p = 1; p <= 3; ++p) {
    oids.push_back(compose(kDefaultEnterprisePrefix, e.variable.oid,
                           {static_cast<std::uint32_t>(portColumn(e.firstColumn, p)), 2}));
  }
  EXPECT_EQ(oids, (std::vector<std::string>{"1.3.6.1.4.1.1240.2.3.5.6.3.1.4.10.1.4.2",
                                            "1.3.6.1.4.1.1240.2.3.5.6.3.1.4.10.1.6.2",
                                            "1.3.6.1.4.1.1240.2.3.5.6.3.1.4.10.1.7.2"}));
  // The IPX destination's own port 1 column is variable 4; added ports start at column 7.
  const GroupDef& ipx = group(GroupId::IpxTrap2);
  const Extension& columns = ipx.extensions[1];
  EXPECT_EQ(portColumn(columns.firstColumn, 1), 5);
  EXPECT_EQ(ipx.variables[4].oid, ".6.3.2.4.12.1.5.1");
  EXPECT_EQ(portColumn(columns.firstColumn, columns.firstPort), 7);
}

TEST(OidText, ProtocolOids) {
  struct Case {
    GroupId group;
    std::int32_t protocol;
    const char* want;  // nullptr: no entry
  };
  const Case cases[] = {
      {GroupId::ProtocolEnable, 1, ".6.3.1.2.0"}, {GroupId::ProtocolEnable, 7, ".8.3.18.0"},
      {GroupId::ProtocolEnable, 9, ".6.3.9.2.0"}, {GroupId::ProtocolEnable, 123456, ".6.3.123456.2.0"},
      {GroupId::ProtocolEnable, -1, nullptr},     {GroupId::RestoreDefaults, 5, ".6.3.5.3.1.0"},
      {GroupId::RestoreDefaults, 4, nullptr},     {GroupId::RestoreDefaults, 9, nullptr},
  };
  for (const Case& c : cases) {
    std::array<char, 64> buffer{};
    const bool ok = protocolOid(group(c.group), c.protocol, buffer);
    EXPECT_EQ(ok, c.want != nullptr) << group(c.group).name << " protocol " << c.protocol;
    if (c.want != nullptr) {
      EXPECT_STREQ(buffer.data(), c.want) << group(c.group).name << " protocol " << c.protocol;
    }
  }
  std::array<char, 8> small{};
  EXPECT_FALSE(protocolOid(group(GroupId::ProtocolEnable), 9, small));
  EXPECT_EQ(small[0], '\0');
}

}  // namespace
}  // namespace mib
