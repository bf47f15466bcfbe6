#pragma once
// The "Change Password" dialog's rules: the new password typed twice, one word, at least the
// caller's minimum and at most its maximum. Used by the TCP/IP page (24, 5) and later by the
// NetWare, VINES and multi-unit dialogs.
#include <cstddef>
#include <string>
#include <string_view>

#include "config/device_page.h"

namespace config {

struct PasswordRules {
  std::size_t maxLength = 9;
  std::size_t minLength = 0;
  bool showOld = false;
};

inline constexpr const char* kTextPasswordsDiffer = "The Passwords do not match.";
inline constexpr const char* kTextPasswordOneWord = "Password must be one word.";
// The minimum goes in as a number.
std::string passwordTooShortText(std::size_t minimum);

// OK of the dialog: a failed check names the field that takes the focus ("new").
PageCheck checkNewPassword(const PasswordRules& rules, std::string_view password, std::string_view verify);

}  // namespace config
