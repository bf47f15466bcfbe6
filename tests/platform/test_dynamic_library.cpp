#include "platform/dynamic_library.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <cstring>
#include <string>

using namespace platform;

TEST(DynamicLibrary, MissingLibraryFailsCleanly) {
  for (const char* path : {"libtrellan-does-not-exist.so", "/nonexistent/dir/libfennick.so", ""}) {
    DynamicLibrary lib;
    EXPECT_FALSE(lib.open(path)) << path;
    EXPECT_FALSE(lib.isOpen()) << path;
    EXPECT_FALSE(lib.error().empty()) << path;
    EXPECT_EQ(lib.symbol("strlen"), nullptr) << path;
    EXPECT_EQ(lib.ordinal("fnk", 1), nullptr) << path;
  }
}

TEST(DynamicLibrary, LooksUpFunctionsInLibc) {
  DynamicLibrary lib;
  ASSERT_TRUE(lib.open("libc.so.6")) << lib.error();
  using Strlen = std::size_t(const char*);
  Strlen* f = lib.function<Strlen>("strlen");
  ASSERT_NE(f, nullptr) << lib.error();
  EXPECT_EQ(f("fennick"), 7u);
  EXPECT_TRUE(lib.error().empty());

  // An export that is not there, by name or by ordinal name.
  EXPECT_EQ(lib.symbol("trellan_no_such_function"), nullptr);
  EXPECT_FALSE(lib.error().empty());
  EXPECT_EQ(lib.ordinal("fnk", 67), nullptr);
  EXPECT_EQ(lib.symbol(""), nullptr);

  // Moving hands the library over; the source is closed.
  DynamicLibrary moved = std::move(lib);
  EXPECT_FALSE(lib.isOpen());
  EXPECT_NE(moved.symbol("strlen"), nullptr);
  moved.close();
  EXPECT_EQ(moved.symbol("strlen"), nullptr);
}

TEST(DynamicLibrary, OrdinalNames) {
  EXPECT_EQ(ordinalSymbolName("fnk", 1), "fnk_1");
  EXPECT_EQ(ordinalSymbolName("fnk", 67), "fnk_67");
  EXPECT_EQ(ordinalSymbolName("calwin32", 377), "calwin32_377");
}

TEST(DynamicLibrary, BesideTheProgram) {
  const std::string dir = programDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.front(), '/');
  EXPECT_NE(dir.back(), '/');
  EXPECT_EQ(besideProgram("libfennick.so"), dir + "/libfennick.so");
  // CTest runs the test programs from the build's bin directory.
  if (const char* bin = std::getenv("TRELLAN_BIN_DIR")) {
    char real[PATH_MAX];
    if (::realpath(bin, real)) {
      EXPECT_EQ(dir, std::string(real));
    }
  }
}
