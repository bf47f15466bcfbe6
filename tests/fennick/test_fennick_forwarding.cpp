// libfennick.so loaded with dlopen in front of a recording client: the client's five libraries
// are the import libraries, whose functions land in nwclient_call below (this program exports
// it), so every call that reaches the client is seen with its library, ordinal and slots.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "fennick/client/client_backend.h"

namespace {

struct ClientCall {
  std::string library;
  int ordinal;
  std::vector<FnkSlot> slots;
};

std::vector<ClientCall> g_calls;
std::function<FnkResult(const ClientCall&)> g_answer;

}  // namespace

extern "C" __attribute__((visibility("default"))) FnkResult nwclient_call(const char* library, int ordinal,
                                                                         const FnkSlot* slots, int count) {
  ClientCall call{library, ordinal, std::vector<FnkSlot>(slots, slots + count)};
  g_calls.push_back(call);
  return g_answer ? g_answer(call) : 0;
}

namespace {

class FennickTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* lib : {"calwin32", "clxwin32", "locwin32", "netwin32", "prtwin32"}) {
      const std::string path = std::string(FENNICK_IMPORT_DIR) + "/lib" + lib + ".so";
      void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
      ASSERT_NE(h, nullptr) << dlerror();
    }
    const char* bin = std::getenv("TRELLAN_BIN_DIR");
    ASSERT_NE(bin, nullptr) << "TRELLAN_BIN_DIR is not set";
    adapter_ = dlopen((std::string(bin) + "/libfennick.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(adapter_, nullptr) << dlerror();
  }
  void SetUp() override {
    ASSERT_NE(adapter_, nullptr);
    g_calls.clear();
    g_answer = nullptr;
  }
  void* fn(int ordinal) const { return dlsym(adapter_, ("fnk_" + std::to_string(ordinal)).c_str()); }

  // Calls fnk_<ordinal> with the given slots (as many as the export takes).
  FnkResult call(int ordinal, const std::vector<FnkSlot>& s) const {
    void* f = fn(ordinal);
    if (!f) return 0xDEADu;
    using S = FnkSlot;
    switch (s.size()) {
      case 0: return reinterpret_cast<FnkResult (*)()>(f)();
      case 1: return reinterpret_cast<FnkResult (*)(S)>(f)(s[0]);
      case 2: return reinterpret_cast<FnkResult (*)(S, S)>(f)(s[0], s[1]);
      case 3: return reinterpret_cast<FnkResult (*)(S, S, S)>(f)(s[0], s[1], s[2]);
      case 4: return reinterpret_cast<FnkResult (*)(S, S, S, S)>(f)(s[0], s[1], s[2], s[3]);
      case 5: return reinterpret_cast<FnkResult (*)(S, S, S, S, S)>(f)(s[0], s[1], s[2], s[3], s[4]);
      case 6: return reinterpret_cast<FnkResult (*)(S, S, S, S, S, S)>(f)(s[0], s[1], s[2], s[3], s[4], s[5]);
      case 7:
        return reinterpret_cast<FnkResult (*)(S, S, S, S, S, S, S)>(f)(s[0], s[1], s[2], s[3], s[4], s[5], s[6]);
      case 8:
        return reinterpret_cast<FnkResult (*)(S, S, S, S, S, S, S, S)>(f)(s[0], s[1], s[2], s[3], s[4], s[5], s[6],
                                                                           s[7]);
      case 9:
        return reinterpret_cast<FnkResult (*)(S, S, S, S, S, S, S, S, S)>(f)(s[0], s[1], s[2], s[3], s[4], s[5],
                                                                              s[6], s[7], s[8]);
      default: return 0xDEADu;
    }
  }
  static void* adapter_;
};
void* FennickTest::adapter_ = nullptr;

struct Forward {
  int ordinal;
  int slots;
  const char* library;
  int target;
};
#define FNK_TEST_ROW(ord, n, lib, t) {ord, n, #lib, t},
constexpr Forward kForwards[] = {FENNICK_FORWARDS(FNK_TEST_ROW)};

TEST_F(FennickTest, EveryForwardingOrdinalReachesItsClientFunctionWithItsSlotsUnchanged) {
  g_answer = [](const ClientCall& c) { return 0xC0DE0000u + static_cast<FnkResult>(c.ordinal); };
  for (const Forward& f : kForwards) {
    SCOPED_TRACE("fnk_" + std::to_string(f.ordinal));
    g_calls.clear();
    std::vector<FnkSlot> slots;
    // Full-width values: a slot carries pointers and high bits as they are.
    for (int i = 0; i < f.slots; ++i)
      slots.push_back((static_cast<FnkSlot>(0xA5u + i) << (8 * (sizeof(FnkSlot) - 1))) | (f.ordinal * 16u + i));
    EXPECT_EQ(call(f.ordinal, slots), 0xC0DE0000u + static_cast<FnkResult>(f.target));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].library, f.library);
    EXPECT_EQ(g_calls[0].ordinal, f.target);
    EXPECT_EQ(g_calls[0].slots, slots);
  }
}

TEST_F(FennickTest, ExportsExactlyOrdinalsOneToSixtySeven) {
  for (int ord = 1; ord <= 67; ++ord) EXPECT_NE(fn(ord), nullptr) << "fnk_" << ord;
  EXPECT_EQ(fn(0), nullptr);
  EXPECT_EQ(fn(68), nullptr);
  EXPECT_EQ(std::size(kForwards), 65u);
}

TEST_F(FennickTest, InitClientTurnsTheClientResultIntoOneOrZero) {
  const struct {
    const char* name;
    FnkResult client;
    FnkResult expected;
  } cases[] = {{"client ready", 0, 1}, {"client failed", 0x8801, 0}, {"client answers 1", 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_calls.clear();
    g_answer = [&](const ClientCall&) { return c.client; };
    EXPECT_EQ(call(1, {}), c.expected);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].library, "calwin32");
    EXPECT_EQ(g_calls[0].ordinal, 377);
    EXPECT_EQ(g_calls[0].slots, (std::vector<FnkSlot>{0, 0}));
  }
}

// A connection table for ordinal 6: the references it hands out, which of them cannot be read,
// and the code that ends the walk.
struct Table {
  std::vector<std::uint32_t> references;
  std::vector<std::uint32_t> unreadable;
  FnkResult endCode = FNK_END_OF_CONNECTIONS;
};

FnkResult answerFromTable(const Table& t, const ClientCall& c) {
  if (c.library == "clxwin32" && c.ordinal == 113) {
    auto* iterator = reinterpret_cast<std::uint32_t*>(c.slots[0]);
    auto* reference = reinterpret_cast<std::uint32_t*>(c.slots[1]);
    if (*iterator >= t.references.size()) return t.endCode;
    *reference = t.references[(*iterator)++];
    return 0;
  }
  if (c.library == "clxwin32" && c.ordinal == 102) {
    const auto ref = static_cast<std::uint32_t>(c.slots[0]);
    if (c.slots[1] != 2 || c.slots[2] != 0) return 0x8899;
    for (auto u : t.unreadable)
      if (u == ref) return 0x8801;
    *reinterpret_cast<std::uint32_t*>(c.slots[3]) = ref * 10;
    return 0;
  }
  return 0xFFFF;
}

TEST_F(FennickTest, ListConnectionsFillsUpToTheCapacityAndSkipsUnreadableEntries) {
  const struct {
    const char* name;
    Table table;
    std::uint16_t capacity;
    FnkResult result;
    std::vector<std::uint32_t> filled;
  } cases[] = {
      {"no connections", {}, 50, 0, {}},
      {"three connections", {{1, 2, 3}, {}, FNK_END_OF_CONNECTIONS}, 50, 0, {10, 20, 30}},
      {"more than the capacity", {{1, 2, 3, 4, 5}, {}, FNK_END_OF_CONNECTIONS}, 3, 0, {10, 20, 30}},
      {"unreadable reference skipped", {{1, 2, 3}, {2}, FNK_END_OF_CONNECTIONS}, 50, 0, {10, 30}},
      {"other end code in 16 bits", {{7}, {}, 0x12345}, 50, 0x2345, {70}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_answer = [&](const ClientCall& call) { return answerFromTable(c.table, call); };
    std::uint32_t slots[8] = {};
    std::uint16_t count = 0xBEEF;
    EXPECT_EQ(call(6, {0, reinterpret_cast<FnkSlot>(slots), c.capacity, reinterpret_cast<FnkSlot>(&count)}), c.result);
    ASSERT_EQ(count, c.filled.size());
    for (std::size_t i = 0; i < c.filled.size(); ++i) EXPECT_EQ(slots[i], c.filled[i]) << "slot " << i;
    for (std::size_t i = c.filled.size(); i < 8; ++i) EXPECT_EQ(slots[i], 0u) << "slot " << i << " untouched";
  }
}

}  // namespace
