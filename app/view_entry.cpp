#include "app/view_entry.h"

#include <string>

#include "devices/ipv4_text.h"

namespace app {

namespace {
bool wrapped(std::string_view entry, std::string_view head, std::string_view& inner) {
  if (entry.size() <= head.size() + 1 || entry.substr(0, head.size()) != head || entry.back() != '>') return false;
  inner = entry.substr(head.size(), entry.size() - head.size() - 1);
  return true;
}
}  // namespace

bool validTcpIpEntry(std::string_view entry) {
  std::string_view inner;
  if (wrapped(entry, "File<", inner)) return !inner.empty();
  if (wrapped(entry, "Multicast<", inner)) {
    if (inner.empty() || inner.size() > 3) return false;
    int hops = 0;
    for (char c : inner) {
      if (c < '0' || c > '9') return false;
      hops = hops * 10 + (c - '0');
    }
    return hops >= 1 && hops <= 255;
  }
  std::string address(entry);
  if (address.size() > 4 && address.ends_with("<DB>")) address.resize(address.size() - 4);
  // A subnet search is checked with its "*" read as 1.
  if (const auto star = address.find('*'); star != std::string::npos) {
    if (address.find('*', star + 1) != std::string::npos) return false;
    address[star] = '1';
  }
  return devices::parseIpv4(address).has_value();
}

}  // namespace app
