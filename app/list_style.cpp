#include "app/list_style.h"

#include <initializer_list>

namespace app {

ListStyle listStyleFromFlags(std::uint32_t flags) noexcept {
  // One style wins when a damaged store holds several bits.
  if (flags & kFlagStyleList) return ListStyle::List;
  if (flags & kFlagStyleLargeIcons) return ListStyle::LargeIcons;
  if ((flags & kFlagStyleDetailsOrSmall) && (flags & kFlagStyleSmallIcons)) return ListStyle::SmallIcons;
  return ListStyle::Details;
}

std::uint32_t listStyleFlags(ListStyle style) noexcept {
  switch (style) {
    case ListStyle::List: return kFlagStyleList;
    case ListStyle::LargeIcons: return kFlagStyleLargeIcons;
    case ListStyle::SmallIcons: return kFlagStyleDetailsOrSmall | kFlagStyleSmallIcons;
    case ListStyle::Details: break;
  }
  return kFlagStyleDetailsOrSmall;
}

cmd::CommandId listStyleCommand(ListStyle style) noexcept {
  switch (style) {
    case ListStyle::LargeIcons: return cmd::kLargeIcons;
    case ListStyle::SmallIcons: return cmd::kSmallIcons;
    case ListStyle::List: return cmd::kListStyle;
    case ListStyle::Details: break;
  }
  return cmd::kDetails;
}

bool listStyleOfCommand(cmd::CommandId id, ListStyle& style) noexcept {
  for (ListStyle s : {ListStyle::LargeIcons, ListStyle::SmallIcons, ListStyle::List, ListStyle::Details}) {
    if (listStyleCommand(s) == id) {
      style = s;
      return true;
    }
  }
  return false;
}

}  // namespace app
