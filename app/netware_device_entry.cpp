#include "app/netware_device_entry.h"

#include <algorithm>
#include <cctype>

namespace app {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r' || c == '\n'; }

std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> out;
  std::string word;
  for (char c : text) {
    if (isSeparator(c)) {
      if (!word.empty()) out.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) out.push_back(std::move(word));
  return out;
}

}  // namespace

const std::vector<NetWareEntryOption>& netWareEntryOptions() {
  static const std::vector<NetWareEntryOption> options = {
      {NetWareEntryKind::SerialNumbers, "Print Server Serial Number(s)", "Enter serial numbers (separated by commas):"},
      {NetWareEntryKind::Network, "All Print Servers on a Network", "Enter a network number (hexadecimal):"},
  };
  return options;
}

NetWareEntries buildNetWareEntries(NetWareEntryKind kind, std::string_view text) {
  NetWareEntries out;
  const std::vector<std::string> typed = words(text);
  if (typed.empty()) {
    out.error = kTextNoNetWareEntry;
    return out;
  }
  if (kind == NetWareEntryKind::Network) {
    if (typed.size() != 1) {
      out.error = kTextNetWareInvalid;
      return out;
    }
    std::string digits = typed.front();
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); })) {
      out.error = kTextNetWareInvalid;
      return out;
    }
    if (digits.size() > 8) {
      out.error = kTextNetworkTooLong;
      return out;
    }
    for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    out.entries.push_back(kNetworkEntryHead + std::string(8 - digits.size(), '0') + digits);
    return out;
  }
  for (const std::string& serial : typed) {
    if (!std::all_of(serial.begin(), serial.end(), [](unsigned char c) { return std::isalnum(c); })) {
      out.error = kTextNetWareInvalid;
      out.entries.clear();
      return out;
    }
    if (serial.size() > kNetWareSerialLimit) {
      out.error = kTextSerialTooLong;
      out.entries.clear();
      return out;
    }
    if (std::find(out.entries.begin(), out.entries.end(), serial) == out.entries.end()) out.entries.push_back(serial);
  }
  return out;
}

}  // namespace app
