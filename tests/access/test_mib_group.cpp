// CMibGroup without a print server: construction from the catalogue, accessors, text helpers and
// the backup value form.
#include <gtest/gtest.h>

#include <string>

#include "access/group_classes.h"
#include "access/mib_group.h"
#include "access/result_codes.h"

using namespace snmpaccess;

namespace {

const std::string E(mib::kDefaultEnterprisePrefix);

GroupParams level(int l) {
  GroupParams p;
  p.level = l;
  return p;
}

TEST(MibGroup, VariablesFollowTheLevel) {
  struct Case {
    const char* name;
    mib::GroupId id;
    int level;
    int count;
  } cases[] = {
      {"TCP/IP unknown level", mib::GroupId::TcpIp, -1, 11},
      {"TCP/IP level 3", mib::GroupId::TcpIp, 3, 16},
      {"TCP/IP level 8", mib::GroupId::TcpIp, 8, 25},
      {"TCP/IP level 0 has everything", mib::GroupId::TcpIp, 0, 25},
      {"output port row level 2", mib::GroupId::OutputPortRow, 2, 16},
      {"wireless level 2", mib::GroupId::Wireless, 2, 18},
      {"wireless level 3", mib::GroupId::Wireless, 3, 40},
  };
  for (const auto& c : cases) {
    GroupParams p = level(c.level);
    p.row = 0;
    CMibGroup g(mib::group(c.id), p);
    EXPECT_EQ(g.count(), c.count) << c.name;
  }
}

TEST(MibGroup, OidsOfRowsColumnsAndProtocols) {
  COutputPortRow port(rowParams(E, 1));
  EXPECT_EQ(port.oidText(1), E + ".6.2.3.2.1.2.2");

  CIpTrapRow2 dest(rowParams(E, 0, -1, 3));
  ASSERT_EQ(dest.count(), 5);
  EXPECT_EQ(dest.oidText(2), E + ".6.3.1.4.10.1.4.1");
  EXPECT_EQ(dest.oidText(3), E + ".6.3.1.4.10.1.6.1");
  EXPECT_EQ(dest.oidText(4), E + ".6.3.1.4.10.1.7.1");

  GroupParams p;
  p.protocols = {{1, "TCP/IP"}, {4, "LAN Manager"}, {9, "Future"}};
  CProtocolEnableGroup enable(p);
  ASSERT_EQ(enable.count(), 3);
  EXPECT_EQ(enable.oidText(2), E + ".6.3.9.2.0");
  EXPECT_EQ(enable.entryName(2), "Future");

  CRestoreDefaultsGroup restore(p);
  ASSERT_EQ(restore.entryCount(), 2) << "protocol 4 and 9 have no restore entry";
  std::string name;
  EXPECT_EQ(restore.entryName(0, name), 0);
  EXPECT_EQ(name, "Output Ports");
  EXPECT_EQ(restore.entryName(1, name), 0);
  EXPECT_EQ(name, "TCP/IP");
  EXPECT_EQ(restore.setEntry(2), result::kIndexRange) << "index == count names no entry";
  EXPECT_EQ(restore.setEntry(-1), result::kIndexRange);
  EXPECT_EQ(restore.setEntry(1), 0);
  EXPECT_TRUE(restore.changed(1));

  GroupParams other;
  other.prefix = "1.3.6.1.4.1.683";
  CTcpIpGroup hlq(other);
  EXPECT_EQ(hlq.oidText(0), "1.3.6.1.4.1.683.6.3.1.4.1.0");
}

TEST(MibGroup, CountsFromParametersAreClamped) {
  GroupParams p;
  p.ports = 100000;
  p.row = 0;
  CIpTrapRow2 dest(p);
  EXPECT_EQ(dest.count(), 2 + static_cast<int>(mib::kMaxInstances));
}

TEST(MibGroup, SettersNeedAReadValueAndMarkOnlyChanges) {
  CTcpIpGroup g;
  EXPECT_EQ(g.setIntegerIfChanged(1, 5), result::kWrongType) << "never read";
  EXPECT_FALSE(g.changed(1));
  EXPECT_EQ(g.setIntegerIfChanged(99, 5), result::kIndexRange);
  EXPECT_EQ(g.setIntegerIfChanged(-1, 5), result::kIndexRange);
  std::int32_t v = 0;
  EXPECT_EQ(g.getInteger(400, v), result::kIndexRange);
  EXPECT_EQ(g.changedCount(), 0);

  CMibGroup* row = nullptr;
  COutputPortGroup ports;
  EXPECT_EQ(ports.row(0, row), result::kIndexRange) << "no rows yet";
}

TEST(MibGroup, TextHelpers) {
  const std::uint8_t bytes[] = {0x00, 0x40, 0x8C, 0xAB};
  EXPECT_EQ(bytesToHex(bytes, 4), "00408CAB");
  EXPECT_EQ(bytesToColonHex(bytes, 4), "00:40:8C:AB");
  EXPECT_EQ(bytesToColonHex(bytes, 0), "");
  std::string many(300, '\x11');
  EXPECT_EQ(bytesToHex(many.data(), many.size()).size(), 256u) << "at most 128 bytes";
  EXPECT_EQ(bytesToColonHex(many.data(), many.size()).size(), 85u * 3 - 1) << "at most 85 bytes";
  const std::uint8_t ip[] = {10, 0, 255, 1};
  EXPECT_EQ(ipv4ToText(ip), "10.0.255.1");

  struct IpCase {
    const char* text;
    int rc;
  } ipCases[] = {
      {"10.1.2.3", 0},          {"10.1.2", result::kIpDots},      {"10.1.2.300", result::kIpTooLong},
      {"10.1.2.x", result::kBadDigit}, {"10..2.3", result::kBadDigit}, {"1.2.3.4.5", result::kIpDots},
      {"1000.1000.1000.1", result::kIpTooLong}, {"", result::kIpDots}, {"255.255.255.255", 0},
      {"99999999999.1.2.3", result::kIpTooLong}, {"-1.2.3.4", result::kBadDigit},
  };
  for (const auto& c : ipCases) {
    std::uint8_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(ipv4TextToBytes(c.text, out), c.rc) << c.text;
    if (c.rc == 0 && std::string(c.text) == "10.1.2.3") {
      EXPECT_EQ(out[0], 10);
      EXPECT_EQ(out[3], 3);
    }
  }

  std::string out;
  EXPECT_EQ(hexTextToBytes("1B45ff", out), 0);
  EXPECT_EQ(out, std::string("\x1B\x45\xFF"));
  EXPECT_EQ(hexTextToBytes("1B4", out), result::kBadDigit) << "odd count";
  EXPECT_EQ(hexTextToBytes("1G", out), result::kBadDigit);
  long n = -1;
  EXPECT_EQ(decimalTextToNumber("", n), result::kBadDigit);
  EXPECT_EQ(decimalTextToNumber("12a", n), result::kBadDigit);
  EXPECT_EQ(decimalTextToNumber("-1", n), result::kBadDigit);
  EXPECT_EQ(decimalTextToNumber("1234", n), 0);
  EXPECT_EQ(n, 1234);
}

TEST(MibGroup, BackupValueForms) {
  CVarBind i, ip, text, binary, blank, longer, counter, null, country;
  i.setInteger(-42);
  const smiBYTE a[4] = {10, 1, 2, 3};
  ip.setIpAddress(a);
  text.setText("PS=1; [x]");
  binary.setBytes("\x1B\x45\x00\r\n", 5);
  blank.setBytes("", 0);
  const std::string big(256, 'a');
  longer.setBytes(big.data(), big.size());
  country.setText("US ");
  counter.setUnsigned(5);
  counter.setSyntax(SNMP_SYNTAX_CNTR32);
  const struct {
    const char* name;
    const CVarBind* b;
    const char* expected;
    int rc;
  } cases[] = {
      {"integer", &i, "<2>-42", 0},
      {"ip", &ip, "<0>10.1.2.3", 0},
      {"text keeps '=' ';' '['", &text, "<4>PS=1; [x]", 0},
      {"control bytes go hex", &binary, "<h>1B45000D0A", 0},
      {"empty", &blank, "<4>", 0},
      {"trailing blank goes hex", &country, "<h>555320", 0},
      {"256 bytes do not fit", &longer, "", result::kDoesNotFit},
      {"counter has no tag", &counter, "", 0},
      {"never read", &null, "", result::kWrongType},
  };
  for (const auto& c : cases) {
    std::string out;
    EXPECT_EQ(backupValue(*c.b, out), c.rc) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

}  // namespace
