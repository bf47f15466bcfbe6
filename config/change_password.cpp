#include "config/change_password.h"

namespace config {

std::string passwordTooShortText(std::size_t minimum) {
  return "The password must be at least " + std::to_string(minimum) + " characters.";
}

PageCheck checkNewPassword(const PasswordRules& rules, std::string_view password, std::string_view verify) {
  if (password != verify) return PageCheck::fail(kTextPasswordsDiffer, "new");
  if (password.find(' ') != std::string_view::npos) return PageCheck::fail(kTextPasswordOneWord, "new");
  if (password.size() < rules.minLength) return PageCheck::fail(passwordTooShortText(rules.minLength), "new");
  // The dialog's fields stop typing at the maximum; text from elsewhere is held to it too.
  if (password.size() > rules.maxLength)
    return PageCheck::fail("The password must be at most " + std::to_string(rules.maxLength) + " characters.", "new");
  return PageCheck::pass();
}

}  // namespace config
