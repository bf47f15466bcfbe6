#pragma once
// A fixed-size, always NUL-terminated text field. Device records keep their texts in these so that
// a reply, file or settings value can never write past a field: every assignment is cut to the
// field and terminated.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace devices {

template <std::size_t N>
class FixedText {
  static_assert(N > 0, "a text field needs room for its terminator");

 public:
  static constexpr std::size_t kSize = N;          // bytes, terminator included
  static constexpr std::size_t kCapacity = N - 1;  // characters

  constexpr FixedText() noexcept = default;
  explicit FixedText(std::string_view text) noexcept { assign(text); }

  // Copies at most kCapacity characters and terminates; stops early at an embedded NUL.
  void assign(std::string_view text) noexcept {
    std::size_t n = text.size() < kCapacity ? text.size() : kCapacity;
    if (const void* nul = n ? std::memchr(text.data(), '\0', n) : nullptr)
      n = static_cast<std::size_t>(static_cast<const char*>(nul) - text.data());
    if (n) std::memcpy(buf_, text.data(), n);
    buf_[n] = '\0';
  }

  // A wire field of `size` bytes holding a text that ends at its first NUL or at the field's end.
  void assignField(const std::uint8_t* field, std::size_t size) noexcept {
    assign(std::string_view(reinterpret_cast<const char*>(field), size));
  }

  void clear() noexcept { buf_[0] = '\0'; }
  bool empty() const noexcept { return buf_[0] == '\0'; }
  const char* c_str() const noexcept { return buf_; }
  std::string_view view() const noexcept {
    const void* nul = std::memchr(buf_, '\0', N);
    return std::string_view(buf_, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buf_) : kCapacity);
  }

  friend bool operator==(const FixedText& a, std::string_view b) noexcept { return a.view() == b; }

 private:
  char buf_[N] = {};
};

}  // namespace devices
