#pragma once
// Byte strings (printer switch sequences, pre/post-job strings) as editable text: printable ASCII
// stands for itself, a backslash is written "\\" and every other byte "\xHH". A sequence such as
// ESC E therefore reads "\x1BE" and survives an edit unchanged, NUL, CR and LF included.
#include <optional>
#include <string>
#include <string_view>

namespace config {

std::string bytesToEditText(std::string_view bytes);
// nullopt for a lone backslash, an unknown escape or "\x" without two hexadecimal digits.
std::optional<std::string> editTextToBytes(std::string_view text);

}  // namespace config
