#pragma once
// The three-state check box of the multi-unit dialogs: grey leaves the setting as each unit has
// it, ticked and cleared send it. A click moves grey -> ticked -> cleared -> grey.
#include <cstdint>
#include <string>
#include <vector>

namespace multi {

enum class TriState { Unchanged, Checked, Cleared };

constexpr TriState nextTriState(TriState s) noexcept {
  return s == TriState::Unchanged ? TriState::Checked : s == TriState::Checked ? TriState::Cleared : TriState::Unchanged;
}

// One entry of a multi-unit list box: data 0 is "<no change>" and sends nothing.
struct DialogChoice {
  std::string text;
  std::int32_t data = 0;
  bool operator==(const DialogChoice&) const = default;
};

inline constexpr const char* kTextNoChange = "<no change>";

// A failed OK check: the message and the control that takes the focus.
struct DialogCheck {
  std::string message;
  std::string field;
  bool ok() const { return message.empty(); }
};

// "Please enter an integer between 1 and 255."
std::string rangeText(int minimum, int maximum);

}  // namespace multi
