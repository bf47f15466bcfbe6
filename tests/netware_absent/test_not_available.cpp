// Where the adapter or the client is missing, every NetWare operation answers "not available"
// without touching its out-arguments. No client library is on this program's loader path.
#include <gtest/gtest.h>

#include <cstdlib>

#include "netware/fnk_binding.h"
#include "netware/nw_config.h"

using namespace netware;

namespace {

std::string adapterPath() {
  const char* bin = std::getenv("TRELLAN_BIN_DIR");
  return std::string(bin ? bin : ".") + "/libfennick.so";
}

TEST(NetWareNotAvailable, AdapterOrClientMissingMakesEveryOperationNotAvailable) {
  const struct {
    const char* name;
    std::string path;
  } cases[] = {{"no adapter file", "/nonexistent/libfennick.so"}, {"adapter without its client", adapterPath()}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CFennick fnk;
    EXPECT_EQ(fnk.load(c.path), 0u);
    EXPECT_FALSE(fnk.loaded());
    EXPECT_FALSE(fnk.loadError().empty());
    std::uint32_t conn = 0xA5A5A5A5;
    EXPECT_EQ(fnk.GetDefaultConnection(&conn), kFnkNotAvailable);
    EXPECT_EQ(conn, 0xA5A5A5A5u) << "out-argument untouched";
    std::uint32_t id = kScanStart;
    char name[48] = "untouched";
    EXPECT_EQ(fnk.ScanObject(1, "*", kTypeQueue, &id, name), kFnkNotAvailable);
    EXPECT_EQ(id, kScanStart);
    EXPECT_STREQ(name, "untouched");
    for (int ord = 1; ord <= 67; ++ord) EXPECT_EQ(fnk.call(ord), kFnkNotAvailable) << "ordinal " << ord;

    NwVolumes volumes("/nonexistent");
    CNetWareConfig config(fnk, volumes);
    EXPECT_EQ(config.attachServers(), kFnkNotAvailable);
    EXPECT_FALSE(config.clientPresent);
    EXPECT_TRUE(config.attachedServers.empty());
    config.defaultFileServer = "FS1";
    EXPECT_EQ(config.readQueueAssignments(), 0);
    EXPECT_TRUE(config.servers.empty());
  }
}

}  // namespace
