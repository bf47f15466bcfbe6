// IPX packets inside UDP: the header layout, the bounds of parsing, and where a packet goes.
#include <gtest/gtest.h>

#include <vector>

#include "snmp/ipx_packet.h"

namespace {

using snmp::ipx::Address;
using snmp::ipx::Header;

Address address(std::vector<std::uint8_t> network, std::vector<std::uint8_t> node, std::uint16_t socket) {
  Address a;
  std::copy(network.begin(), network.end(), a.network);
  std::copy(node.begin(), node.end(), a.node);
  a.socket = socket;
  return a;
}

TEST(IpxPacket, EncodesTheHeaderFieldByField) {
  Header h;
  h.destination = address({0, 0, 0xAB, 0xCD}, {0, 0, 127, 0, 0, 5}, 0x900F);
  h.source = address({0, 0, 0xAB, 0xCD}, {0, 0, 127, 0, 0, 1}, 0x4001);
  const std::uint8_t payload[] = {0x30, 0x00};
  std::uint8_t out[64];
  ASSERT_EQ(snmp::ipx::encode(h, payload, sizeof payload, out, sizeof out), 32u);
  const std::vector<std::uint8_t> expected = {
      0xFF, 0xFF, 0x00, 0x20, 0x00, 0x04,                                      // checksum, length, control, type
      0x00, 0x00, 0xAB, 0xCD, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x05, 0x90, 0x0F,  // destination
      0x00, 0x00, 0xAB, 0xCD, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x01, 0x40, 0x01,  // source
      0x30, 0x00};
  EXPECT_EQ(std::vector<std::uint8_t>(out, out + 32), expected);

  Header back;
  const std::uint8_t* p = nullptr;
  std::size_t n = 0;
  ASSERT_TRUE(snmp::ipx::parse(out, 32, &back, &p, &n));
  EXPECT_EQ(back.destination, h.destination);
  EXPECT_EQ(back.source, h.source);
  EXPECT_EQ(back.length, 32);
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(p, out + 30);
}

TEST(IpxPacket, EncodeRefusesWhatDoesNotFit) {
  std::vector<std::uint8_t> big(snmp::ipx::kMaxPayload + 1);
  std::vector<std::uint8_t> out(big.size() + 64);
  EXPECT_EQ(snmp::ipx::encode({}, big.data(), big.size(), out.data(), out.size()), 0u) << "length field overflow";
  EXPECT_EQ(snmp::ipx::encode({}, big.data(), snmp::ipx::kMaxPayload, out.data(), out.size()), 0xFFFFu);
  EXPECT_EQ(snmp::ipx::encode({}, big.data(), 10, out.data(), 39), 0u) << "buffer one short";
  EXPECT_EQ(snmp::ipx::encode({}, nullptr, 0, out.data(), 30), 30u) << "an empty payload";
}

TEST(IpxPacket, ParseStaysInsideTheDatagram) {
  std::uint8_t packet[40] = {};
  struct Case {
    const char* name;
    std::size_t size;
    std::uint16_t lengthField;
    bool ok;
    std::size_t payload;
  };
  const Case cases[] = {
      {"shorter than a header", 29, 29, false, 0},
      {"length below the header", 40, 29, false, 0},
      {"length past the datagram", 35, 36, false, 0},
      {"header only", 30, 30, true, 0},
      {"padding after the packet is ignored", 40, 33, true, 3},
      {"length field 0xFFFF", 40, 0xFFFF, false, 0},
  };
  for (const Case& c : cases) {
    packet[2] = static_cast<std::uint8_t>(c.lengthField >> 8);
    packet[3] = static_cast<std::uint8_t>(c.lengthField);
    std::size_t n = 99;
    EXPECT_EQ(snmp::ipx::parse(packet, c.size, nullptr, nullptr, &n), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(n, c.payload) << c.name;
    }
  }
  EXPECT_FALSE(snmp::ipx::parse(nullptr, 40, nullptr, nullptr, nullptr));
}

TEST(IpxPacket, NodesMapToHostsAndBroadcastsToTheBroadcastAddress) {
  struct Case {
    const char* name;
    Address destination;
    bool routed;
    std::uint32_t host;
  };
  const Case cases[] = {
      {"host node", address({0, 0, 0, 0}, {0, 0, 127, 1, 2, 3}, 0x900F), true, 0x7F010203},
      {"network broadcast", address({0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 127, 0, 0, 1}, 0x900F), true, 0x7FFFFFFF},
      {"node broadcast", address({0, 0, 0, 1}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0x900F), true, 0x7FFFFFFF},
      {"a node of a real card", address({0, 0, 0xAB, 0xCD}, {2, 0, 0, 0x12, 0x34, 0x56}, 0x900F), false, 0},
  };
  for (const Case& c : cases) {
    const auto to = snmp::ipx::udpDestination(c.destination, 0x7FFFFFFF);
    ASSERT_EQ(to.has_value(), c.routed) << c.name;
    if (!to) continue;
    EXPECT_EQ(to->address, c.host) << c.name;
    EXPECT_EQ(to->port, 0x900F) << c.name;
  }
  const Address a = snmp::ipx::addressOf({0x7F000001, 0x9010}, 0x0000ABCD);
  EXPECT_EQ(a, address({0, 0, 0xAB, 0xCD}, {0, 0, 127, 0, 0, 1}, 0x9010));
  EXPECT_EQ(snmp::ipx::localAddressToward(0x7F000001), 0x7F000001u);
}

}  // namespace
