#pragma once
// StreetTalk names: item@group@organization.
#include <string_view>

namespace vines {

// Empty, or exactly two "@" with at least one character before, between and after them.
bool isValidStreetTalkName(std::string_view name);
// The name fields refuse these typed characters: " $ & ' * / \ [ ] ` ? : < > =
bool streetTalkCharacterAccepted(char typed);

}  // namespace vines
