// The community verification as a table: stored and reported communities, what the user
// answers in each dialog, and what comes out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "access/community_check.h"

using namespace snmpaccess;

namespace {

struct Answer {
  int button;
  const char* text;
};

struct Case {
  const char* name;
  const char* storedGet;
  const char* storedSet;
  const char* reportedGet;
  const char* reportedSet;
  std::vector<Answer> answers;
  int expected;
  const char* finalGet;
  const char* finalSet;
  std::vector<bool> ignoreShown;  // per dialog shown
};

const std::string kGetPrompt = "The GET community name (password) is invalid, enter a new value below:";
const std::string kSetPrompt =
    "The SET community name (password) is invalid, select 'Ignore' for read-only access or enter a new value below:";

}  // namespace

TEST(CommunityCheck, Flow) {
  const Case cases[] = {
      {"both match: no dialog", "public", "private", "public", "private", {}, kCommunityReadWrite, "public", "private", {}},
      {"no SET community: read-only", "public", "", "public", "private", {}, kCommunityReadOnly, "public", "", {}},
      {"GET corrected", "wrong", "private", "public", "private", {{1, "public"}}, kCommunityReadWrite, "public",
       "private", {false}},
      {"GET asked again until it matches", "wrong", "private", "public", "private", {{1, "still"}, {1, "public"}},
       kCommunityReadWrite, "public", "private", {false, false}},
      {"GET cancelled", "wrong", "private", "public", "private", {{2, ""}}, kCommunityCancelled, "wrong", "private",
       {false}},
      {"GET phase treats any other button as cancel", "wrong", "private", "public", "private", {{1001, ""}},
       kCommunityCancelled, "wrong", "private", {false}},
      {"SET corrected", "public", "wrong", "public", "private", {{1, "private"}}, kCommunityReadWrite, "public",
       "private", {true}},
      {"SET ignored: read-only", "public", "wrong", "public", "private", {{1001, ""}}, kCommunityReadOnly, "public",
       "wrong", {true}},
      {"SET cancelled", "public", "wrong", "public", "private", {{2, ""}}, kCommunityCancelled, "public", "wrong",
       {true}},
      {"both corrected", "a", "b", "public", "private", {{1, "public"}, {1, "private"}}, kCommunityReadWrite, "public",
       "private", {false, true}},
      {"entry cut to 31 characters", "x", "", "0123456789012345678901234567890", "",
       {{1, "0123456789012345678901234567890123"}}, kCommunityReadOnly, "0123456789012345678901234567890", "",
       {false}},
  };
  for (const Case& c : cases) {
    SnmpTarget target;
    target.setGetCommunity(c.storedGet);
    target.setSetCommunity(c.storedSet);
    std::size_t asked = 0;
    std::vector<bool> shown;
    const int r = verifyCommunities(target, c.reportedGet, c.reportedSet, [&](CommunityQuestion& q) {
      shown.push_back(q.ignoreVisible);
      const bool getPhase = q.prompt.find("GET") != std::string::npos;
      EXPECT_EQ(q.prompt, getPhase ? kGetPrompt : kSetPrompt) << c.name;
      EXPECT_LE(q.text.size(), kCommunityEditLimit) << c.name;
      if (asked >= c.answers.size()) return kCommunityCancelled;  // a script that runs out ends the loop
      const Answer a = c.answers[asked++];
      q.text = a.text;
      return a.button;
    });
    EXPECT_EQ(r, c.expected) << c.name;
    EXPECT_EQ(asked, c.answers.size()) << c.name;
    EXPECT_EQ(shown, c.ignoreShown) << c.name;
    EXPECT_STREQ(target.getCommunity, c.finalGet) << c.name;
    EXPECT_STREQ(target.setCommunity, c.finalSet) << c.name;
  }
}

TEST(CommunityCheck, QuestionStartsWithTheStoredTextCut) {
  const CommunityQuestion q = makeQuestion("Enter the SET value", std::string(40, 'c'));
  EXPECT_EQ(q.text.size(), 31u);
  EXPECT_TRUE(q.ignoreVisible);
  EXPECT_FALSE(ignoreVisibleFor("the GET name"));
}

TEST(CommunityCheck, TargetFieldsAreBounded) {
  SnmpTarget t;
  t.setGetCommunity(std::string(100, 'g'));
  t.setAddress(std::string(100, '1'));
  EXPECT_EQ(std::string(t.getCommunity).size(), 32u);
  EXPECT_EQ(std::string(t.address).size(), 32u);
}
