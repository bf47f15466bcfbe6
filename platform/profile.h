#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A private-profile (INI) file with the Windows rules: section and key names compare without
// case, the first match wins, values are taken literally (no quoting, no escapes, commas are
// plain text), a write keeps every other line and its order, a new section goes to the end,
// and files are written with CR LF line ends, atomically. Lines that are neither sections nor
// "key=value" (comments, blanks) are kept as they are.
class Profile {
 public:
  Profile() = default;

  // Loads a file; a missing file gives an empty profile and true. False when unreadable.
  bool load(const std::string& path);
  // Parses text already in memory (LF or CR LF line ends).
  void parse(std::string_view text);
  // Writes atomically (temporary file, fsync, rename). False on any failure; the old file stays.
  bool save(const std::string& path) const;
  // The file's text as save() writes it.
  std::string text() const;

  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string getString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // GetPrivateProfileInt: leading optional sign and decimal digits; anything else gives fallback.
  int getInt(std::string_view section, std::string_view key, int fallback) const;

  // Replaces the value of the first matching key, or appends the key to the section (creating
  // the section at the end of the file).
  void set(std::string_view section, std::string_view key, std::string_view value);
  void remove(std::string_view section, std::string_view key);
  void removeSection(std::string_view section);

  bool hasSection(std::string_view section) const;
  std::vector<std::string> sections() const;
  // Keys of the first section of that name, in file order.
  std::vector<std::string> keys(std::string_view section) const;

 private:
  struct Line {
    std::string raw;      // the line as read, without its line end
    std::string section;  // for a "[section]" line: its name
    std::string key;      // for a "key=value" line: key and value
    std::string value;
    enum Kind { Other, Section, Entry } kind = Other;
  };
  std::vector<Line> lines_;
};

}  // namespace platform
