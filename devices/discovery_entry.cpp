#include "devices/discovery_entry.h"

#include <charconv>
#include <fstream>

#include "devices/ipv4_text.h"

namespace devices {
namespace {

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }
bool endsWith(std::string_view s, std::string_view p) { return s.size() >= p.size() && s.substr(s.size() - p.size()) == p; }

// The text between "<" after `keyword` and a final ">" (the final ">" may be missing).
std::string_view bracketed(std::string_view entry, std::size_t keywordLength) {
  std::string_view rest = entry.substr(keywordLength);
  if (!rest.empty() && rest.front() == '<') rest.remove_prefix(1);
  if (!rest.empty() && rest.back() == '>') rest.remove_suffix(1);
  return rest;
}

}  // namespace

SearchEntry classifyEntry(std::string_view entry) {
  SearchEntry e;
  if (const std::size_t star = entry.find('*'); star != std::string_view::npos) {
    e.kind = EntryKind::Scan;
    e.text = std::string(entry.substr(0, star));
    return e;
  }
  if (endsWith(entry, "<DB>")) {
    e.kind = EntryKind::DirectedBroadcast;
    e.text = std::string(entry.substr(0, entry.size() - 4));
    e.valid = parseIpv4(e.text).has_value();
    return e;
  }
  if (startsWith(entry, "Multicast")) {
    e.kind = EntryKind::Multicast;
    const std::string_view number = bracketed(entry, 9);
    int ttl = -1;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), ttl);
    e.valid = ec == std::errc() && end == number.data() + number.size() && ttl >= 0 && ttl <= 255;
    e.ttl = e.valid ? ttl : 0;
    return e;
  }
  if (startsWith(entry, "File")) {
    e.kind = EntryKind::File;
    e.text = std::string(bracketed(entry, 4));
    e.valid = !e.text.empty();
    return e;
  }
  e.kind = EntryKind::Single;
  e.text = std::string(entry);
  return e;
}

std::optional<std::string> addressOfLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() > kMaxAddressLine) return std::nullopt;
  std::size_t n = 0;
  while (n < line.size() && (line[n] == '.' || (line[n] >= '0' && line[n] <= '9'))) ++n;
  const std::string_view address = line.substr(0, n);
  if (!parseIpv4(address)) return std::nullopt;
  return std::string(address);
}

std::vector<std::string> readAddressFile(const std::string& path, std::size_t maxAddresses) {
  std::vector<std::string> out;
  std::ifstream in(path, std::ios::binary);
  if (!in) return out;
  std::string line;
  bool overlong = false;
  char c;
  auto finish = [&] {
    if (!overlong)
      if (auto a = addressOfLine(line)) out.push_back(std::move(*a));
    line.clear();
    overlong = false;
  };
  // Read by character so that a line without an end never grows past the limit.
  while (out.size() < maxAddresses && in.get(c)) {
    if (c == '\n') {
      finish();
      continue;
    }
    if (line.size() <= kMaxAddressLine + 1)
      line.push_back(c);
    else
      overlong = true;
  }
  if (out.size() < maxAddresses && (!line.empty() || overlong)) finish();
  return out;
}

std::optional<std::uint32_t> ipxEntryNetwork(std::string_view entry) {
  if (entry.find('>') == std::string_view::npos) return std::nullopt;
  std::string_view s = entry;
  if (endsWith(s, "<DB>")) {
    s.remove_suffix(4);
  } else {
    while (!s.empty() && s.back() == '>') s.remove_suffix(1);
    if (const std::size_t lt = s.rfind('<'); lt != std::string_view::npos) s = s.substr(lt + 1);
  }
  // The last 8 characters, or all of a shorter text.
  if (s.size() > 8) s = s.substr(s.size() - 8);
  if (s.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (char ch : s) {
    int d;
    if (ch >= '0' && ch <= '9') d = ch - '0';
    else if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
    else return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return value;
}

}  // namespace devices
