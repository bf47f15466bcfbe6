// The binding over libfennick.so and the stand-in client: connections, bindery scans with
// byte-swapped types, and a client that does not start.
#include <gtest/gtest.h>

#include "netware/bindery_name.h"
#include "standin_fixture.h"

using namespace netware;

namespace {

class BindingTest : public StandInTest {};

TEST_F(BindingTest, ScansFindObjectsByTheirByteSwappedTypesOnce) {
  seed(kTwoServers);
  std::uint32_t conn = 0;
  ASSERT_EQ(fnk_.GetDefaultConnection(&conn), 0u);
  const struct {
    std::uint16_t type;
    std::vector<std::string> names;
  } cases[] = {{kTypeQueue, {"Q1", "Q2"}},
               {kTypeDevice0363, {"KDV100234"}},
               {kTypeDevice0927, {}},
               {kTypeFileServer, {"FS1", "FS2"}},
               {kTypePrintServer, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    std::vector<std::string> found;
    std::uint32_t id = kScanStart;
    char name[48];
    for (int i = 0; i < 100 && fnk_.ScanObject(conn, "*", c.type, &id, name) == 0; ++i)
      found.push_back(nameFromField(reinterpret_cast<std::uint8_t*>(name), 48));
    EXPECT_EQ(found, c.names);
  }
  std::uint8_t value[128], more = 1, flags = 1;
  ASSERT_EQ(fnk_.ReadPropertyValue(conn, "KDV100234", kTypeDevice0363, "NET_ADDRESS", 1, value, &more, &flags), 0u);
  EXPECT_EQ(networkText(netAddressFromValue(value, 12)->network), "0000ABCD");
  EXPECT_EQ(more, 0);
}

TEST_F(BindingTest, AClientThatDoesNotStartLeavesNetWareOff) {
  seed(kTwoServers);
  {
    std::ofstream(dir_.file("seed.json")) << R"({"client_starts": false})";
  }
  restartClient();
  CFennick other;
  EXPECT_EQ(other.load(adapterPath()), 0u);
  EXPECT_TRUE(other.loaded()) << "the module is kept even when the client does not start";
}

TEST_F(BindingTest, AttachingTwiceAnswersAlreadyAttached) {
  seed(kTwoServers);
  std::uint32_t conn = 0, out = 0;
  ASSERT_EQ(fnk_.GetDefaultConnection(&conn), 0u);
  EXPECT_EQ(fnk_.AttachToServer(conn, "FS2", &out), kFnkAlreadyAttached);
}

}  // namespace
