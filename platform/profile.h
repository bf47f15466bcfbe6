#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A private-profile (INI) file with the Windows rules: section and key names compare without
// case (ASCII letters), the first match wins, values are taken literally (no quoting, no escapes,
// commas are plain text; blanks around names and values are trimmed on reading), a write keeps
// every other line and its order, a new key goes after the last entry of its section, a new
// section goes to the end, and files are written with CR LF line ends, atomically. Lines that are
// neither sections nor "key=value" (comments starting with ";", blanks, text before the first
// section) are kept as they are. A file read and saved without changes is written byte for byte
// as it was read when it had CR LF line ends (a missing last line end and a UTF-8 byte order mark
// are kept too).
class Profile {
 public:
  Profile() = default;

  // Loads a file; a missing file gives an empty profile and true. False when unreadable or larger
  // than 16 MiB (the profile is empty then).
  bool load(const std::string& path);
  // Parses text already in memory (LF or CR LF line ends).
  void parse(std::string_view text);
  // Writes atomically (temporary file, fsync, rename). False on any failure, or when the text is
  // larger than load() accepts; the old file stays. An existing file keeps its mode.
  bool save(const std::string& path) const;
  // The file's text as save() writes it.
  std::string text() const;

  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string getString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // GetPrivateProfileInt: an optional sign and the decimal digits that follow it, up to the first
  // other character ("12abc" is 12, "0x10" is 0); a missing or empty value, or one that does not
  // start with a digit after the sign, gives fallback. Results beyond int are clamped.
  int getInt(std::string_view section, std::string_view key, int fallback) const;

  // Replaces the value of the first matching key, or appends the key after the last entry of the
  // first matching section (creating the section at the end of the file). Does nothing when
  // canStore() is false for the arguments.
  void set(std::string_view section, std::string_view key, std::string_view value);
  // Removes the first matching key of the first matching section.
  void remove(std::string_view section, std::string_view key);
  // Removes the first matching section with every line up to the next section.
  void removeSection(std::string_view section);

  // Whether set() can write these without changing the file's structure: no line breaks anywhere,
  // a section name without "]", a non-empty key without "=" that does not start with "[" or ";".
  static bool canStore(std::string_view section, std::string_view key, std::string_view value);

  bool hasSection(std::string_view section) const;
  // Section names in file order, each name once (the first spelling).
  std::vector<std::string> sections() const;
  // Keys of the first section of that name, in file order, each name once (the first spelling).
  std::vector<std::string> keys(std::string_view section) const;

 private:
  struct Line {
    std::string raw;      // the line as read, without its line end
    std::string section;  // for a "[section]" line: its name
    std::string key;      // for a "key=value" line: key and value
    std::string value;
    enum Kind { Other, Section, Entry } kind = Other;
  };
  static Line classify(std::string raw);
  // Index of the first section line of that name, or lines_.size().
  std::size_t findSection(std::string_view section) const;
  // One past the last line of the section whose header is at `header`.
  std::size_t sectionEnd(std::size_t header) const;
  std::size_t findEntry(std::size_t header, std::string_view key) const;

  std::vector<Line> lines_;
  bool bom_ = false;           // the text started with a UTF-8 byte order mark
  bool finalLineEnd_ = true;   // the last line had a line end
};

}  // namespace platform
