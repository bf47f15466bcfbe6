// Bindery names, directory names and the fixed records of a print server's files, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "netware/bindery_name.h"
#include "netware/nw_records.h"

using namespace netware;

namespace {

std::string field(const std::string& name) {
  std::string f(48, '\0');
  std::memcpy(f.data(), name.data(), name.size());
  return f;
}

TEST(BinderyNames, TypedCharactersAreUpperCasedSpacesBecomeUnderscoresForbiddenOnesAreDropped) {
  const struct {
    char typed;
    std::optional<char> taken;
  } cases[] = {{'a', 'A'}, {'Z', 'Z'}, {'7', '7'}, {' ', '_'}, {'*', std::nullopt}, {'/', std::nullopt},
               {'\\', std::nullopt}, {'"', std::nullopt}, {'[', std::nullopt}, {';', std::nullopt},
               {'-', '-'}, {'.', '.'}};
  for (const auto& c : cases) EXPECT_EQ(filterTypedNameCharacter(c.typed), c.taken) << "typed '" << c.typed << "'";
}

TEST(BinderyNames, PastedNamesWithSpacesOrForbiddenCharactersAreRefused) {
  const struct {
    const char* name;
    bool invalid;
  } cases[] = {{"PS_LOBBY", false}, {"PS LOBBY", true}, {"PS*", true}, {"A=B", true}, {"", false}, {"Q|1", true}};
  for (const auto& c : cases) EXPECT_EQ(hasInvalidNameCharacters(c.name), c.invalid) << c.name;
  EXPECT_TRUE(fitsBinderyName(std::string(47, 'A')));
  EXPECT_FALSE(fitsBinderyName(std::string(48, 'A')));
}

TEST(BinderyNames, NamesFromFieldsStopAtTheTerminatorAndNeverExceed47Characters) {
  const std::string full(64, 'N');
  const struct {
    const char* name;
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"terminated", std::string("FS1\0junk", 8), "FS1"},
      {"unterminated field", full, std::string(47, 'N')},
      {"control bytes dropped", std::string("A\x01" "B\x7F" "C", 5), "ABC"},
      {"empty", std::string(), ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(nameFromField(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()), c.expected)
        << c.name;
}

TEST(BinderyNames, DirectoryNameIsTheIdentifierLastByteFirst) {
  const struct {
    std::uint8_t bytes[4];
    const char* dir;
  } cases[] = {{{0x12, 0x34, 0x56, 0x78}, "78563412"}, {{0x00, 0x01, 0xA2, 0xB3}, "B3A20100"}, {{0, 0, 0, 1}, "01000000"}};
  for (const auto& c : cases) {
    std::uint32_t id;
    std::memcpy(&id, c.bytes, 4);
    EXPECT_EQ(objectDirectoryName(id), c.dir);
  }
}

TEST(BinderyProperties, SetSegmentsEndAtTheFirstZeroAndHoldAtMost32Members) {
  std::uint8_t seg[128] = {};
  for (int i = 0; i < 32; ++i) seg[4 * i + 3] = static_cast<std::uint8_t>(i + 1);
  EXPECT_EQ(setMembersFromSegment(seg, sizeof seg).size(), 32u);
  seg[4 * 5 + 3] = 0;
  EXPECT_EQ(setMembersFromSegment(seg, sizeof seg).size(), 5u);
  EXPECT_EQ(setMembersFromSegment(seg, 6).size(), 1u) << "a short segment reads whole identifiers only";
  const std::uint8_t addr[12] = {0, 0, 0xAB, 0xCD, 0, 0, 0x7F, 0, 0, 0x10, 0x40, 0x0B};
  auto a = netAddressFromValue(addr, 12);
  ASSERT_TRUE(a);
  EXPECT_EQ(networkText(a->network), "0000ABCD");
  EXPECT_EQ(a->node[2], 0x7F);
  EXPECT_EQ(a->socket, 0x400B);
  EXPECT_FALSE(netAddressFromValue(addr, 11));
}

TEST(ConfigurationFiles, RecordsAreLaidOutByteForByte) {
  EXPECT_EQ(fileServRecord("FS2"), field("FS2"));
  std::string routing = field("FS1") + field("Q1") + std::string("\x03\x00", 2);
  EXPECT_EQ(routingRecord({"FS1", "Q1", 3}), routing);
  EXPECT_EQ(queueRecord("Q1"), field("Q1") + "\x01");

  std::string print = field("Printer5") + std::string(22, '\0');
  for (auto [at, v] : {std::pair{48, 0x0E}, {50, 0x01}, {52, 0x07}, {56, 0x03}, {58, 0x05}, {60, 0x08}})
    print[static_cast<std::size_t>(at)] = static_cast<char>(v);
  EXPECT_EQ(printRecord(5, ""), print);
  // An existing file keeps its first 48 bytes; the rest is rewritten.
  std::string old = field("LASER") + std::string(22, '\x55');
  std::string kept = print;
  kept.replace(0, 48, field("LASER"));
  EXPECT_EQ(printRecord(5, old), kept);
  EXPECT_EQ(queueFileName(7), "QUEUE.007");
  EXPECT_EQ(printFileName(123), "PRINT.123");
}

TEST(ConfigurationFiles, ReadersTakeWholeRecordsOnly) {
  const std::string two = routingRecord({"FS1", "Q1", 1}) + routingRecord({"FS2", "Q3", 258});
  auto r = routingRecords(two + "partial");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[1].fileServer, "FS2");
  EXPECT_EQ(r[1].queue, "Q3");
  EXPECT_EQ(r[1].port, 258);
  EXPECT_EQ(fileServNames(fileServRecord("A") + "xx"), std::vector<std::string>{"A"});
  EXPECT_EQ(queueNames(queueRecord("Q9")), std::vector<std::string>{"Q9"});
}

}  // namespace
