#pragma once
// The stand-in NetWare client loaded into the test program in front of libfennick.so, seeded per
// test with its own state file and SYS volumes in a fresh folder.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "../app/scratch_dir.h"
#include "netware/fnk_binding.h"
#include "netware/nw_volumes.h"

class StandInTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* lib : {"nwstandin", "calwin32", "clxwin32", "locwin32", "netwin32", "prtwin32"}) {
      const std::string path = std::string(NETWARE_STANDIN_DIR) + "/lib" + lib + ".so";
      void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
      ASSERT_NE(h, nullptr) << dlerror();
      if (std::string(lib) == "nwstandin") reset_ = reinterpret_cast<void (*)()>(dlsym(h, "nwstandin_reset"));
    }
    ASSERT_NE(reset_, nullptr);
  }

  static std::string adapterPath() {
    const char* bin = std::getenv("TRELLAN_BIN_DIR");
    return std::string(bin ? bin : ".") + "/libfennick.so";
  }

  // Seeds the stand-in with `json` (no state yet) and loads the adapter in front of it.
  void seed(const std::string& json) {
    {
      std::ofstream(dir_.file("seed.json")) << json;
    }
    ::setenv("TRELLAN_NETWARE_STANDIN", dir_.file("seed.json").c_str(), 1);
    ::setenv("TRELLAN_NETWARE_STATE", dir_.file("state.json").c_str(), 1);
    ::setenv("TRELLAN_NETWARE_VOLUMES", dir_.file("volumes").c_str(), 1);
    std::remove(dir_.file("state.json").c_str());
    reset_();
    ASSERT_EQ(fnk_.load(adapterPath()), 1u) << fnk_.loadError();
  }
  // A new program run: the stand-in forgets everything but its state file.
  void restartClient() { reset_(); }

  netware::NwVolumes volumes() const { return netware::NwVolumes(dir_.file("volumes")); }

  ScratchDir dir_;
  netware::CFennick fnk_;
  static void (*reset_)();
};
inline void (*StandInTest::reset_)() = nullptr;

// Two file servers: FS1 (default) with queues Q1 and Q2, FS2 with Q3; a print server object of
// the devices' type with its IPX address on FS1.
inline constexpr const char* kTwoServers = R"({
  "servers": [
    {"name": "FS1", "user": "ADMIN", "objects": [
      {"name": "Q1", "type": 3}, {"name": "Q2", "type": 3},
      {"name": "KDV100234", "type": 867, "net_address": "0000ABCD-00007F000010"}]},
    {"name": "FS2", "objects": [
      {"name": "Q3", "type": 3},
      {"name": "ZBN200111", "type": 2343, "net_address": "0000BEEF-00007F000011"}]}
  ]
})";
