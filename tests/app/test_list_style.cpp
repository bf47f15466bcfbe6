// The list style in General\Flags: each style comes back from what is stored, the bits of the
// other window state do not disturb it, and the View-menu check marks follow it.
#include <gtest/gtest.h>

#include "app/command_state.h"
#include "app/list_style.h"

namespace app {
namespace {

constexpr ListStyle kAllStyles[] = {ListStyle::LargeIcons, ListStyle::SmallIcons, ListStyle::List,
                                    ListStyle::Details};

TEST(ListStyle, RoundTripThroughFlags) {
  struct Case {
    const char* name;
    ListStyle style;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {"large icons", ListStyle::LargeIcons, 0x20},
      {"small icons", ListStyle::SmallIcons, 0xC0},
      {"list", ListStyle::List, 0x10},
      {"details", ListStyle::Details, 0x40},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(listStyleFlags(c.style), c.bits) << c.name;
    EXPECT_EQ(listStyleFromFlags(c.bits), c.style) << c.name;
    // Tree hidden, view by printer and multi-select live in the same value.
    EXPECT_EQ(listStyleFromFlags(c.bits | 0x7), c.style) << c.name << " with the other bits";
    EXPECT_EQ(listStyleFlags(c.style) & ~kListStyleMask, 0u) << c.name << " touches no other bit";
  }
}

TEST(ListStyle, StoredValuesOfOtherWritersAndDamage) {
  struct Case {
    const char* name;
    std::uint32_t flags;
    ListStyle style;
  };
  const Case cases[] = {
      {"nothing stored", 0, ListStyle::Details},
      {"only other bits", 0x7, ListStyle::Details},
      {"0x40 alone is details", 0x40, ListStyle::Details},
      {"small-icons bit without 0x40", 0x80, ListStyle::Details},
      {"list wins over large icons", 0x30, ListStyle::List},
      {"large icons win over details", 0x60, ListStyle::LargeIcons},
      {"every bit", 0xFFFFFFFF, ListStyle::List},
  };
  for (const Case& c : cases) EXPECT_EQ(listStyleFromFlags(c.flags), c.style) << c.name;
}

TEST(ListStyle, CommandsAndCheckMarks) {
  for (ListStyle style : kAllStyles) {
    const cmd::CommandId id = listStyleCommand(style);
    ListStyle back = ListStyle::Details;
    ASSERT_TRUE(listStyleOfCommand(id, back)) << id;
    EXPECT_EQ(back, style) << id;
    EXPECT_TRUE(commandCheckable(id)) << id;
    CommandState s;  // nothing open, nothing focused: the style can still be switched
    EXPECT_TRUE(commandEnabled(id, s)) << id;
    for (ListStyle current : kAllStyles) {
      s.listStyle = current;
      EXPECT_EQ(commandChecked(id, s), current == style) << "command " << id;
    }
  }
  ListStyle unchanged = ListStyle::List;
  EXPECT_FALSE(listStyleOfCommand(cmd::kRefresh, unchanged));
  EXPECT_EQ(unchanged, ListStyle::List);
}

}  // namespace
}  // namespace app
