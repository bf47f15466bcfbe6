#include "platform/profile.h"

#include <climits>
#include <cstdint>
#include <unordered_set>

#include "platform/atomic_file.h"
#include "platform/registry_key.h"

namespace platform {
namespace {

constexpr std::size_t kMaxProfileBytes = 16u << 20;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view trimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

Profile::Line Profile::classify(std::string raw) {
  Line line;
  line.raw = std::move(raw);
  std::string_view t = trimBlanks(line.raw);
  if (!t.empty() && t[0] == '[') {
    std::string_view name = t.substr(1);
    name = name.substr(0, name.find(']'));
    line.kind = Line::Section;
    line.section = std::string(trimBlanks(name));
  } else if (!t.empty() && t[0] != ';') {
    std::size_t eq = t.find('=');
    if (eq != std::string_view::npos && !trimBlanks(t.substr(0, eq)).empty()) {
      line.kind = Line::Entry;
      line.key = std::string(trimBlanks(t.substr(0, eq)));
      line.value = std::string(trimBlanks(t.substr(eq + 1)));
    }
  }
  return line;
}

bool Profile::load(const std::string& path) {
  FileRead r = readFileBounded(path, kMaxProfileBytes);
  switch (r.status) {
    case ReadStatus::Ok:
      parse(r.data);
      return true;
    case ReadStatus::Missing:
      parse({});
      return true;
    case ReadStatus::TooLarge:
    case ReadStatus::Failed:
      break;
  }
  parse({});
  return false;
}

void Profile::parse(std::string_view text) {
  lines_.clear();
  bom_ = text.substr(0, kBom.size()) == kBom;
  if (bom_) text.remove_prefix(kBom.size());
  finalLineEnd_ = text.empty() || text.back() == '\n';
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    std::string_view raw = text.substr(pos, end - pos);
    // Only a CR in front of an LF is part of the line end; a lone CR at the very end is text,
    // or the file would lose it on every save.
    if (nl != std::string_view::npos && !raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    lines_.push_back(classify(std::string(raw)));
    pos = end + 1;
  }
}

bool Profile::save(const std::string& path) const {
  std::string t = text();
  // load() refuses larger files; writing one would make the data unreadable.
  if (t.size() > kMaxProfileBytes) return false;
  return writeFileAtomically(path, t);
}

std::string Profile::text() const {
  std::string out;
  if (bom_) out += kBom;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i].raw;
    if (i + 1 < lines_.size() || finalLineEnd_) out += "\r\n";
  }
  return out;
}

std::size_t Profile::findSection(std::string_view section) const {
  section = trimBlanks(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Section && namesEqual(lines_[i].section, section)) return i;
  }
  return lines_.size();
}

std::size_t Profile::sectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Line::Section) ++i;
  return i;
}

std::size_t Profile::findEntry(std::size_t header, std::string_view key) const {
  key = trimBlanks(key);
  std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Line::Entry && namesEqual(lines_[i].key, key)) return i;
  }
  return lines_.size();
}

std::optional<std::string> Profile::get(std::string_view section, std::string_view key) const {
  std::size_t header = findSection(section);
  if (header == lines_.size()) return std::nullopt;
  std::size_t entry = findEntry(header, key);
  if (entry == lines_.size()) return std::nullopt;
  return lines_[entry].value;
}

std::string Profile::getString(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto v = get(section, key);
  return v ? std::move(*v) : std::string(fallback);
}

int Profile::getInt(std::string_view section, std::string_view key, int fallback) const {
  auto v = get(section, key);
  if (!v || v->empty()) return fallback;
  std::string_view s = *v;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s[0] < '0' || s[0] > '9') return fallback;
  // Accumulate the magnitude, stopping the growth just past what int can hold.
  std::int64_t magnitude = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    if (magnitude <= static_cast<std::int64_t>(INT_MAX) + 1) magnitude = magnitude * 10 + (c - '0');
  }
  if (negative) return magnitude > static_cast<std::int64_t>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

bool Profile::canStore(std::string_view section, std::string_view key, std::string_view value) {
  if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) return false;
  if (section.find(']') != std::string_view::npos) return false;
  std::string_view k = trimBlanks(key);
  return !k.empty() && k.find('=') == std::string_view::npos && k[0] != '[' && k[0] != ';';
}

void Profile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (!canStore(section, key, value)) return;
  section = trimBlanks(section);
  key = trimBlanks(key);
  finalLineEnd_ = true;
  std::size_t header = findSection(section);
  if (header == lines_.size()) {
    lines_.push_back(classify("[" + std::string(section) + "]"));
    lines_.push_back(classify(std::string(key) + "=" + std::string(value)));
    return;
  }
  std::size_t entry = findEntry(header, key);
  if (entry != lines_.size()) {
    // Keep the key as the file spells it.
    lines_[entry] = classify(lines_[entry].key + "=" + std::string(value));
    return;
  }
  std::size_t at = header + 1;
  std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Line::Entry) at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                classify(std::string(key) + "=" + std::string(value)));
}

void Profile::remove(std::string_view section, std::string_view key) {
  std::size_t header = findSection(section);
  if (header == lines_.size()) return;
  std::size_t entry = findEntry(header, key);
  if (entry == lines_.size()) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(entry));
  finalLineEnd_ = true;
}

void Profile::removeSection(std::string_view section) {
  std::size_t header = findSection(section);
  if (header == lines_.size()) return;
  std::size_t end = sectionEnd(header);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header), lines_.begin() + static_cast<std::ptrdiff_t>(end));
  finalLineEnd_ = true;
}

bool Profile::hasSection(std::string_view section) const { return findSection(section) != lines_.size(); }

std::vector<std::string> Profile::sections() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const auto& line : lines_) {
    if (line.kind != Line::Section) continue;
    if (seen.insert(foldName(line.section)).second) names.push_back(line.section);
  }
  return names;
}

std::vector<std::string> Profile::keys(std::string_view section) const {
  std::vector<std::string> names;
  std::size_t header = findSection(section);
  if (header == lines_.size()) return names;
  std::unordered_set<std::string> seen;
  std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind != Line::Entry) continue;
    if (seen.insert(foldName(lines_[i].key)).second) names.push_back(lines_[i].key);
  }
  return names;
}

}  // namespace platform
