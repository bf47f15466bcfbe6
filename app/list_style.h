#pragma once
// How the device list shows its rows (large icons, small icons, list, details) and how that
// choice travels in the General\Flags bits. A plain value, so the menu rules and the store can
// be checked without a display.
#include <cstdint>

#include "app/command_ids.h"

namespace app {

enum class ListStyle : std::uint8_t { LargeIcons, SmallIcons, List, Details };

// General\Flags bits of the list style.
inline constexpr std::uint32_t kFlagStyleList = 0x10;
inline constexpr std::uint32_t kFlagStyleLargeIcons = 0x20;
inline constexpr std::uint32_t kFlagStyleDetailsOrSmall = 0x40;
// Set beside 0x40 for small icons: a reader that knows only 0x40 still starts in details,
// while this one gives the user's small icons back.
inline constexpr std::uint32_t kFlagStyleSmallIcons = 0x80;
inline constexpr std::uint32_t kListStyleMask =
    kFlagStyleList | kFlagStyleLargeIcons | kFlagStyleDetailsOrSmall | kFlagStyleSmallIcons;

// The style stored in `flags`; details when no style bit says otherwise.
ListStyle listStyleFromFlags(std::uint32_t flags) noexcept;
// The style bits to store for `style` (the other bits are the caller's).
std::uint32_t listStyleFlags(ListStyle style) noexcept;

// The View-menu command that switches to `style`, and the style a command asks for.
cmd::CommandId listStyleCommand(ListStyle style) noexcept;
bool listStyleOfCommand(cmd::CommandId id, ListStyle& style) noexcept;

}  // namespace app
