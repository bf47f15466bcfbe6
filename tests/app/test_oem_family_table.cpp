#include <gtest/gtest.h>

#include "app/oem_family_table.h"
#include "platform/registry.h"
#include "scratch_dir.h"

namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

std::vector<std::string> codes(const app::OemFamilyTable& t) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < t.count(); ++i) out.emplace_back(t[i].code);
  return out;
}

TEST(OemFamilyTable, FillCases) {
  const std::string longPrefix(50, '1');
  struct Case {
    const char* name;
    Values values;
    std::vector<std::string> codes;
  };
  const Case cases[] = {
      {"empty key: the two built-ins", {}, {"ZBN", "HLQ"}},
      {"OEM values first, in order", {{"ABC", "1.3.6.1.4.1.9"}, {"X", "1.3.6.1.4.1.10"}}, {"ABC", "X", "ZBN", "HLQ"}},
      {"names over 4 characters and empty names are not taken",
       {{"ABCDE", "1.3.6.1.4.1.9"}, {"", "1.3.6.1.4.1.9"}, {"ABCD", "1.3.6.1.4.1.9"}},
       {"ABCD", "ZBN", "HLQ"}},
      {"data over 49 characters is not taken", {{"LONG", longPrefix}}, {"ZBN", "HLQ"}},
      {"data that is no OID is not taken", {{"BAD", "1.3.x"}, {"DOT", "1..3"}, {"E", ""}}, {"ZBN", "HLQ"}},
      {"7 OEM values leave room for one built-in",
       {{"A1", "1.1"}, {"A2", "1.2"}, {"A3", "1.3"}, {"A4", "1.4"}, {"A5", "1.5"}, {"A6", "1.6"}, {"A7", "1.7"}},
       {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "ZBN"}},
      {"8 OEM values leave no room for the built-ins",
       {{"A1", "1.1"}, {"A2", "1.2"}, {"A3", "1.3"}, {"A4", "1.4"}, {"A5", "1.5"}, {"A6", "1.6"}, {"A7", "1.7"},
        {"A8", "1.8"}, {"A9", "1.9"}},
       {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8"}},
  };
  for (const auto& c : cases) {
    app::OemFamilyTable t;
    t.fill(c.values);
    EXPECT_EQ(codes(t), c.codes) << c.name;
  }
}

TEST(OemFamilyTable, FillFromTheStoreInEnumerationOrder) {
  ScratchDir dir;
  platform::Registry reg(dir.file("Trellan.reg"));
  ASSERT_TRUE(reg.setString("OEM", "QRS", "1.3.6.1.4.1.42"));
  ASSERT_TRUE(reg.setDword("OEM", "NUM", 5));  // not text: not taken
  ASSERT_TRUE(reg.setString("OEM", "ABC", "1.3.6.1.4.1.43"));
  app::OemFamilyTable t;
  t.fill(reg);
  EXPECT_EQ(codes(t), (std::vector<std::string>{"QRS", "ABC", "ZBN", "HLQ"}));
  EXPECT_STREQ(t.prefixOf("HLQ"), "1.3.6.1.4.1.683");
  EXPECT_STREQ(t.prefixOf("ABC"), "1.3.6.1.4.1.43");
  EXPECT_EQ(t.prefixOf("KDV"), nullptr);  // the native family is never in the table
  ASSERT_EQ(t.rejected().size(), 1u);
  EXPECT_EQ(t.rejected()[0].name, "NUM");
}

TEST(OemFamilyTable, SelectFamily) {
  app::OemFamilyTable t;
  t.fill(Values{{"ABC", "1.3.6.1.4.1.99"}});
  struct Case {
    const char* code;
    bool known;
    const char* prefix;
  };
  const Case cases[] = {
      {"ABC", true, "1.3.6.1.4.1.99"},
      {"KDV", true, "1.3.6.1.4.1.1240.2.3.5"},
      {"HLQ", true, "1.3.6.1.4.1.683"},
      {"ABC", true, "1.3.6.1.4.1.99"},
      // unknown after another family: the native prefix, never the previous device's
      {"ZZZ", false, "1.3.6.1.4.1.1240.2.3.5"},
      {"abc", false, "1.3.6.1.4.1.1240.2.3.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::selectFamily(c.code, t), c.known) << c.code;
    EXPECT_EQ(app::currentFamilyCode(), c.code);
    EXPECT_EQ(app::currentEnterprisePrefix(), c.prefix) << c.code;
  }
}

}  // namespace
