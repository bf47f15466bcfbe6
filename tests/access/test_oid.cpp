// COid: parsing, status word, appending, copies, order.
#include <gtest/gtest.h>

#include <string>

#include "access/oid.h"

using snmpaccess::COid;

TEST(COid, EmptyHasStatusOneAndNoText) {
  COid o;
  EXPECT_EQ(o.count(), 0u);
  EXPECT_EQ(o.status(), 1u);
  EXPECT_EQ(o.text(), "");
  char buffer[8] = "x";
  EXPECT_FALSE(o.toText(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "");
}

TEST(COid, TextsAndTheirStatus) {
  struct Case {
    const char* text;
    unsigned status;
    const char* back;
  };
  const Case cases[] = {
      {"1.3.6.1.2.1.1.5.0", 9, "1.3.6.1.2.1.1.5.0"},
      {".1.3.6.1.4.1.1240", 7, "1.3.6.1.4.1.1240"},
      {"1.3.4294967295", 3, "1.3.4294967295"},
      {"1.3.4294967296", 0, ""},
      {"1..3", 0, ""},
      {"1.3.", 0, ""},
      {"abc", 0, ""},
      {"", 0, ""},
      {nullptr, 0, ""},
  };
  for (const Case& c : cases) {
    const std::string name = c.text ? c.text : "(null)";
    COid o(c.text);
    EXPECT_EQ(o.status(), c.status) << name;
    EXPECT_EQ(o.text(), c.back) << name;
    EXPECT_EQ(o.count(), c.status) << name;
  }
}

TEST(COid, AssigningReplacesTheOldValue) {
  COid o("1.3.6.1");
  o = "1.3.6.1.2.1.1.1.0";
  EXPECT_EQ(o.count(), 9u);
  o = "bad";
  EXPECT_TRUE(o.empty());
  EXPECT_EQ(o.status(), 0u);
}

TEST(COid, AppendTextAndNumbers) {
  COid o("1.3.6.1.4.1.1240.2.3.5");
  o.append(".1.15.2.1.3").append(4u);
  EXPECT_EQ(o.text(), "1.3.6.1.4.1.1240.2.3.5.1.15.2.1.3.4");
  EXPECT_EQ(o.status(), 16u);

  COid empty;
  empty.append("1.3.6");
  EXPECT_EQ(empty.text(), "1.3.6") << "appending to nothing starts the OID";

  COid bad("1.3");
  bad.append("x");
  EXPECT_EQ(bad.status(), 0u);
  EXPECT_TRUE(bad.empty());

  std::string many;
  for (int i = 0; i < 150; ++i) many += "4000000000.";
  many += "1";  // 128 sub-identifiers' worth of text past the 1408-byte buffer
  COid huge("1");
  huge.append(many.c_str());
  EXPECT_EQ(huge.status(), 0u);
  EXPECT_TRUE(huge.empty());
}

TEST(COid, CopiesAreDeepAndMovesEmptyTheSource) {
  COid a("1.3.6.1.2.1");
  COid b(a);
  a.append(7u);
  EXPECT_EQ(b.text(), "1.3.6.1.2.1");
  COid c;
  c = a;
  EXPECT_EQ(c.text(), "1.3.6.1.2.1.7");
  COid d(std::move(c));
  EXPECT_EQ(d.text(), "1.3.6.1.2.1.7");
  EXPECT_TRUE(c.empty());  // NOLINT(bugprone-use-after-move): moved-from state is defined
  COid e;
  COid f(e);
  EXPECT_TRUE(f.empty());
  EXPECT_EQ(f.status(), 1u);
  COid& same = c;
  c = same;  // self-assignment keeps the value
  EXPECT_TRUE(c.empty());
}

TEST(COid, OrderAndSubtrees) {
  struct Case {
    const char* a;
    const char* b;
    int order;
    bool aUnderB;
  };
  const Case cases[] = {
      {"1.3.6.1", "1.3.6.1", 0, true},     {"1.3.6.1.2", "1.3.6.1", 1, true},
      {"1.3.6.1", "1.3.6.1.2", -1, false}, {"1.3.6.2", "1.3.6.10", -1, false},
      {"1.3.7", "1.3.6.1", 1, false},
  };
  for (const Case& c : cases) {
    const COid a(c.a), b(c.b);
    EXPECT_EQ(a.compare(b), c.order) << c.a << " vs " << c.b;
    EXPECT_EQ(a.startsWith(b), c.aUnderB) << c.a << " under " << c.b;
  }
}
