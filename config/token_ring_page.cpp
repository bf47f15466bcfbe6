#include "config/token_ring_page.h"

namespace config {

namespace {

enum Var { kPriority = 2, kEarlyRelease = 3, kPacketSize = 4, kRouting = 5, kSpeed = 6, kAddress = 7 };

snmpaccess::GroupParams withPrefix(std::string prefix) {
  snmpaccess::GroupParams p;
  p.prefix = std::move(prefix);
  return p;
}

std::int32_t intOf(const snmpaccess::CMibGroup& g, int index, std::int32_t fallback) {
  std::int32_t v = fallback;
  return g.getInteger(index, v) == 0 ? v : fallback;
}

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

bool isNetworkAddressText(const std::string& text) {
  if (text.size() != 12) return false;
  for (char c : text)
    if (!isHex(c)) return false;
  return true;
}

CTokenRingPage::CTokenRingPage(std::string prefix) : group_(withPrefix(std::move(prefix))) {}

const std::vector<Choice>& CTokenRingPage::priorities() {
  static const std::vector<Choice> list{{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"}, {5, "5"}, {6, "6"}};
  return list;
}

const std::vector<Choice>& CTokenRingPage::packetSizes() {
  static const std::vector<Choice> list{{1, "1K"}, {2, "2K"}, {3, "4K"}};
  return list;
}

const std::vector<Choice>& CTokenRingPage::routings() {
  static const std::vector<Choice> list{{1, "None"},
                                        {2, "All-routes broadcast, nonbroadcast return"},
                                        {3, "Single-route broadcast, all routes broadcast return"},
                                        {4, "Single-route broadcast, nonbroadcast return"}};
  return list;
}

void CTokenRingPage::ShowValues() {
  priority = intOf(group_, kPriority, 0);
  packetSize = intOf(group_, kPacketSize, 1);
  routing = intOf(group_, kRouting, 1);
  earlyRelease = intOf(group_, kEarlyRelease, 1) != 1;
  std::string bytes;
  group_.getBytes(kAddress, bytes);
  address = snmpaccess::bytesToHex(bytes.data(), bytes.size());
  enable = address > std::string(kNoLocalAddress);
  shownAddress_ = address;
  shownEnable_ = enable;
}

TokenRingControls CTokenRingPage::controls() const {
  TokenRingControls c;
  std::uint32_t speed = 0;
  group_.getUnsigned(kSpeed, speed);
  c.earlyRelease = speed / 1000000 != 4;
  c.address = enable;
  return c;
}

PageCheck CTokenRingPage::check() {
  const bool touched = enable != shownEnable_ || address != shownAddress_;
  if (touched && enable && !isNetworkAddressText(address)) return PageCheck::fail(kTextInvalidNetworkAddress, "address");
  return PageCheck::pass();
}

void CTokenRingPage::storeFields() {
  group_.setIntegerIfChanged(kPriority, priority);
  group_.setIntegerIfChanged(kPacketSize, packetSize);
  group_.setIntegerIfChanged(kRouting, routing);
  if (enable != shownEnable_ || address != shownAddress_) {
    std::string bytes;
    const std::string text = enable && isNetworkAddressText(address) ? address : std::string(kNoLocalAddress);
    if (snmpaccess::hexTextToBytes(text, bytes) == 0) group_.setBytesIfChanged(kAddress, bytes.data(), bytes.size());
  }
  group_.setIntegerIfChanged(kEarlyRelease, earlyRelease ? 2 : 1);
}

}  // namespace config
