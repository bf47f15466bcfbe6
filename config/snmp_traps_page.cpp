#include "config/snmp_traps_page.h"

#include <algorithm>

#include "access/mib_catalogue.h"
#include "access/mib_group.h"
#include "config/ipv4_field.h"

namespace config {

using mib::levelAtLeast;

namespace {

constexpr int kRowAddress = 0, kRowEvents = 2, kRowPorts = 3;  // TCP/IP and e-mail rows
constexpr int kIpxNetwork = 1, kIpxNode = 2, kIpxEvents = 4, kIpxPorts = 5, kIpxPortCount = 6, kIpxSupported = 7;
constexpr int kGroupSlots = 1, kGroupPortCount = 2, kGroupSupported = 3, kEmailServer = 4;

struct EventRow {
  std::uint32_t supportedBit;
  const char* text;
  std::uint32_t maskBit;
  int fromLevel;
};
constexpr EventRow kEvents[] = {
    {1, "On-line (Condition cleared)", 1, 1}, {2, "Off-line", 2, 1},
    {4, "No Printer Attached", 4, 1},         {16, "Paper Out", 16, 2},
    {8, "Toner Low (If Bidi)", 8, 2},         {32, "Paper Jam (If Bidi)", 32, 2},
    {64, "Door Open (If Bidi)", 64, 2},       {128, "Printer Error", 32768, 1},
};

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

std::uint32_t supportedFor(int level, const snmpaccess::CMibGroup& g, int index) {
  if (level == 1) return 135;
  if (level == 2 || level == 3) return 255;
  std::int32_t v = 0;
  g.getInteger(index, v);
  return static_cast<std::uint32_t>(v);
}

std::string upperHex(const std::string& bytes) { return snmpaccess::bytesToHex(bytes.data(), bytes.size()); }

}  // namespace

std::string maximumDestinationsText(int slots) {
  return "The maximum supported number of trap destinations on this device for this protocol is " +
         std::to_string(slots) + ".";
}

CSnmpTrapsPage::CSnmpTrapsPage(std::string prefix) : prefix_(std::move(prefix)) {}

int CSnmpTrapsPage::readInt(snmpaccess::CMibGroup* g, int index) const {
  std::int32_t v = 0;
  if (!g || g->getInteger(index, v) != 0) return 0;
  return v;
}

int CSnmpTrapsPage::Read(snmpaccess::CSnmpSession& session) {
  using snmpaccess::result::kIndexRange;
  if (!list_) return kIndexRange;
  const auto protocols = list_->protocols();
  ip_.reset();
  email_.reset();
  ipx_.reset();
  commonLevel_ = 255;
  supported_ = 0;
  usable_ = true;
  for (const auto& [number, name] : protocols) {
    if (number == 1) {
      ip_ = std::make_unique<snmpaccess::CIpTrapGroup>(withPrefix(prefix_));
      if (ip_->read(session) != 0) return kIndexRange;
      const int level = ip_->mibVersion();
      commonLevel_ = std::min(commonLevel_, level);
      supported_ = supportedFor(level, *ip_, kGroupSupported);
      if (supported_ == 0) usable_ = false;
      if (emailPossible_) {
        email_ = std::make_unique<snmpaccess::CEmailTrapGroup>(withPrefix(prefix_));
        if (email_->read(session) != 0) {
          email_.reset();
          emailPossible_ = false;
        } else {
          std::int32_t v = 0;
          if (email_->getInteger(kGroupSupported, v) == 0) supported_ = static_cast<std::uint32_t>(v);
        }
      }
    } else if (number == 2) {
      ipx_ = std::make_unique<snmpaccess::CIpxTrapGroup>(withPrefix(prefix_));
      if (ipx_->read(session) != 0) return kIndexRange;
      const int level = ipx_->mibVersion();
      commonLevel_ = std::min(commonLevel_, level);
      supported_ = supportedFor(level, *ipx_, kIpxSupported);
      if (supported_ == 0) usable_ = false;
    }
  }
  if (ip_)
    portCount_ = readInt(ip_.get(), kGroupPortCount);
  else if (ipx_)
    portCount_ = readInt(ipx_.get(), kIpxPortCount);
  else
    return kIndexRange;
  portCount_ = static_cast<int>(mib::clampCount(portCount_, 32));
  return 0;
}

int CSnmpTrapsPage::slotCount(int k) const {
  switch (k) {
    case kTrapSmtp: return email_ ? std::min(email_->rowCount(), readInt(email_.get(), kGroupSlots)) : 0;
    case kTrapTcpIp: return ip_ ? std::min(ip_->rowCount(), readInt(ip_.get(), kGroupSlots)) : 0;
    default: return ipx_ ? 1 : 0;
  }
}

void CSnmpTrapsPage::AdjustControls() {
  kinds.clear();
  if (list_)
    for (const auto& [number, name] : list_->protocols()) {
      if (number == 1 && ip_) {
        kinds.push_back({name, kTrapTcpIp});
        if (emailPossible_ && email_) kinds.push_back({"SMTP", kTrapSmtp});
      } else if (number == 2 && ipx_) {
        kinds.push_back({name, kTrapIpx});
      }
    }
  if (!kinds.empty()) kind = kinds.front().kind;
  ports.clear();
  for (int p = 1; p <= portCount_; ++p) ports.push_back({"Port " + std::to_string(p), 1u << (p - 1), false});
  events.clear();
  for (const EventRow& e : kEvents)
    if (supported_ & e.supportedBit) events.push_back({e.text, e.maskBit, false});
}

snmpaccess::CMibGroup* CSnmpTrapsPage::rowOf(int slot) {
  snmpaccess::CMibGroup* row = nullptr;
  snmpaccess::CMibGroup* owner = kind == kTrapSmtp ? static_cast<snmpaccess::CMibGroup*>(email_.get())
                                                   : static_cast<snmpaccess::CMibGroup*>(ip_.get());
  if (kind == kTrapIpx) return ipx_.get();
  if (!owner || owner->row(slot, row) != 0) return nullptr;
  return row;
}

int CSnmpTrapsPage::maskIndex(bool portMask) const {
  if (kind == kTrapIpx) return portMask ? kIpxPorts : kIpxEvents;
  return portMask ? kRowPorts : kRowEvents;
}

bool CSnmpTrapsPage::slotFree(int k, int slot) {
  const int saved = kind;
  kind = k;
  snmpaccess::CMibGroup* row = rowOf(slot);
  kind = saved;
  if (!row) return true;
  if (k == kTrapSmtp) {
    std::string text;
    row->getBytes(kRowAddress, text);
    return text.empty();
  }
  if (k == kTrapTcpIp) {
    std::uint8_t a[4] = {};
    row->getIpAddress(kRowAddress, a);
    return a[0] == 0 && a[1] == 0 && a[2] == 0 && a[3] == 0;
  }
  std::string net, node;
  row->getBytes(kIpxNetwork, net);
  row->getBytes(kIpxNode, node);
  return net.find_first_not_of('\0') == std::string::npos && node.find_first_not_of('\0') == std::string::npos;
}

std::string CSnmpTrapsPage::addressLabel() const {
  switch (kind) {
    case kTrapSmtp: return "SMTP Address:";
    case kTrapTcpIp: return "TCP/IP &Address:";
    default: return "NetWare (IPX) &Address:";
  }
}

void CSnmpTrapsPage::ShowValues() {
  destinations.clear();
  free_.clear();
  if (kind == kTrapSmtp && email_) {
    std::uint8_t a[4] = {};
    email_->getIpAddress(kEmailServer, a);
    smtpServer = (a[0] | a[1] | a[2] | a[3]) ? formatIpv4(a) : std::string();
  }
  const int slots = slotCount(kind);
  for (int s = 0; s < slots; ++s) {
    if (slotFree(kind, s)) {
      free_.push_back(s);
      continue;
    }
    snmpaccess::CMibGroup* row = rowOf(s);
    std::string text;
    if (kind == kTrapSmtp) {
      row->getBytes(kRowAddress, text);
    } else if (kind == kTrapTcpIp) {
      std::uint8_t a[4] = {};
      row->getIpAddress(kRowAddress, a);
      text = formatIpv4(a);
    } else {
      std::string net, node;
      row->getBytes(kIpxNetwork, net);
      row->getBytes(kIpxNode, node);
      text = upperHex(net) + "-" + upperHex(node);
    }
    destinations.push_back({text, s});
  }
  std::sort(destinations.begin(), destinations.end(),
            [](const TrapDestinationItem& a, const TrapDestinationItem& b) { return a.text < b.text; });
  editRemoveEnabled_ = !destinations.empty();
  if (destinations.empty()) destinations.push_back({kTextNoDestination, kNoSlot});
  const int real = editRemoveEnabled_ ? static_cast<int>(destinations.size()) : 0;
  addEnabled_ = real < slots;
  position = 0;
  slot_ = destinations.front().slot;
  address_ = destinations.front().text;
  showMasks();
}

void CSnmpTrapsPage::showMasks() {
  int portMask = 0, eventMask = 0;
  if (slot_ != kNoSlot)
    if (snmpaccess::CMibGroup* row = rowOf(slot_)) {
      portMask = readInt(row, maskIndex(true));
      eventMask = readInt(row, maskIndex(false));
    }
  for (std::size_t i = 0; i < ports.size(); ++i) ports[i].checked = (portMask >> i) & 1;
  const bool level2 = levelAtLeast(commonLevel_, 2);
  for (TrapCheckItem& e : events) {
    const bool basic = e.data == 1 || e.data == 2 || e.data == 4 || e.data == 32768;
    e.checked = (basic || level2) && (static_cast<std::uint32_t>(eventMask) & e.data) != 0;
  }
}

void CSnmpTrapsPage::storeSlot() {
  if (slot_ == kNoSlot && kind != kTrapSmtp) return;
  if (kind == kTrapSmtp && email_) {
    std::uint8_t a[4] = {};
    if (parseIpv4Field(smtpServer, a)) email_->setIpAddressIfChanged(kEmailServer, a);
  }
  if (slot_ == kNoSlot) return;
  snmpaccess::CMibGroup* row = rowOf(slot_);
  if (!row) return;
  if (kind == kTrapSmtp) {
    row->setTextIfChanged(kRowAddress, address_);
  } else if (kind == kTrapTcpIp) {
    std::uint8_t a[4] = {};
    if (parseIpv4Field(address_, a)) row->setIpAddressIfChanged(kRowAddress, a);
  } else {
    std::string net, node;
    if (address_.size() >= 12 && snmpaccess::hexTextToBytes(address_.substr(0, 8), net) == 0 &&
        snmpaccess::hexTextToBytes(address_.substr(address_.size() - 12), node) == 0) {
      row->setBytesIfChanged(kIpxNetwork, net.data(), net.size());
      row->setBytesIfChanged(kIpxNode, node.data(), node.size());
    }
  }
  // Bits the lists do not show are kept as the unit holds them.
  auto build = [&](const std::vector<TrapCheckItem>& items, int index) {
    std::uint32_t mask = static_cast<std::uint32_t>(readInt(row, index));
    for (const TrapCheckItem& item : items) mask = item.checked ? (mask | item.data) : (mask & ~item.data);
    row->setIntegerIfChanged(index, static_cast<std::int32_t>(mask));
  };
  build(ports, maskIndex(true));
  build(events, maskIndex(false));
}

void CSnmpTrapsPage::selectKind(int k) {
  storeSlot();
  kind = k;
  ShowValues();
}

void CSnmpTrapsPage::selectDestination(int pos) {
  if (pos < 0 || pos >= static_cast<int>(destinations.size())) return;
  storeSlot();
  position = pos;
  slot_ = destinations[static_cast<std::size_t>(pos)].slot;
  address_ = destinations[static_cast<std::size_t>(pos)].text;
  showMasks();
}

PageCheck CSnmpTrapsPage::canAdd() const {
  const int slots = slotCount(kind);
  const bool none = !destinations.empty() && destinations.front().slot == kNoSlot;
  if ((static_cast<int>(destinations.size()) >= slots && !none) || free_.empty())
    return PageCheck::fail(maximumDestinationsText(slots), "add");
  return PageCheck::pass();
}

PageCheck CSnmpTrapsPage::add(const DestinationEntry& entry) {
  if (const PageCheck c = canAdd(); !c.ok()) return c;
  const int slots = slotCount(kind);
  const bool none = !destinations.empty() && destinations.front().slot == kNoSlot;
  DestinationEntry e = entry;
  std::string text;
  if (const PageCheck c = checkDestination(kind, e, text); !c.ok()) return c;
  if (none)
    destinations.clear();
  else
    storeSlot();
  const int slot = free_.front();
  free_.pop_front();
  destinations.push_back({text, slot});
  std::sort(destinations.begin(), destinations.end(),
            [](const TrapDestinationItem& a, const TrapDestinationItem& b) { return a.text < b.text; });
  for (std::size_t i = 0; i < destinations.size(); ++i)
    if (destinations[i].slot == slot) position = static_cast<int>(i);
  slot_ = slot;
  address_ = text;
  if (snmpaccess::CMibGroup* row = rowOf(slot)) {
    row->setIntegerIfChanged(maskIndex(true), 0xFFFF);
    row->setIntegerIfChanged(maskIndex(false), 0xFFFF);
  }
  editRemoveEnabled_ = true;
  addEnabled_ = static_cast<int>(destinations.size()) < slots;
  showMasks();
  return PageCheck::pass();
}

DestinationEntry CSnmpTrapsPage::selectedEntry() const {
  if (slot_ == kNoSlot) return {};
  if (kind == kTrapIpx && address_.size() >= 12) return {address_.substr(0, 8), address_.substr(address_.size() - 12)};
  return {address_, {}};
}

void CSnmpTrapsPage::edit(const DestinationEntry& entry) {
  if (slot_ == kNoSlot) return;
  DestinationEntry e = entry;
  std::string text;
  if (!checkDestination(kind, e, text).ok()) return;
  destinations[static_cast<std::size_t>(position)].text = text;
  address_ = text;
}

void CSnmpTrapsPage::clearSlot(int slot) {
  snmpaccess::CMibGroup* row = rowOf(slot);
  if (!row) return;
  if (kind == kTrapSmtp) {
    row->setTextIfChanged(kRowAddress, "");
  } else if (kind == kTrapTcpIp) {
    const std::uint8_t zero[4] = {};
    row->setIpAddressIfChanged(kRowAddress, zero);
  } else {
    const std::string net(4, '\0'), node(6, '\0');
    row->setBytesIfChanged(kIpxNetwork, net.data(), net.size());
    row->setBytesIfChanged(kIpxNode, node.data(), node.size());
  }
  row->setIntegerIfChanged(maskIndex(true), 0);
  row->setIntegerIfChanged(maskIndex(false), 0);
}

void CSnmpTrapsPage::remove() {
  if (slot_ == kNoSlot) return;
  const int slot = slot_;
  destinations.erase(destinations.begin() + position);
  free_.push_back(slot);
  clearSlot(slot);
  if (destinations.empty()) {
    destinations.push_back({kTextNoDestination, kNoSlot});
    editRemoveEnabled_ = false;
  }
  position = 0;
  slot_ = destinations.front().slot;
  address_ = destinations.front().text;
  addEnabled_ = true;
  showMasks();
}

int CSnmpTrapsPage::writeGroups(snmpaccess::CSnmpSession& session) {
  if (email_)
    if (const int rc = email_->writeChanged(session)) return rc;
  if (ip_)
    if (const int rc = ip_->writeChanged(session)) return rc;
  return ipx_ ? ipx_->writeChanged(session) : 0;
}

int CSnmpTrapsPage::loadGroups(const std::string& path) {
  int first = 0;
  for (snmpaccess::CMibGroup* g : {static_cast<snmpaccess::CMibGroup*>(email_.get()),
                                   static_cast<snmpaccess::CMibGroup*>(ip_.get()),
                                   static_cast<snmpaccess::CMibGroup*>(ipx_.get())})
    if (g)
      if (const int rc = g->restoreBackupFile(path); rc && !first) first = rc;
  return first;
}

int CSnmpTrapsPage::SaveToFile(const std::string& path) {
  int first = 0;
  for (snmpaccess::CMibGroup* g : {static_cast<snmpaccess::CMibGroup*>(email_.get()),
                                   static_cast<snmpaccess::CMibGroup*>(ip_.get()),
                                   static_cast<snmpaccess::CMibGroup*>(ipx_.get())})
    if (g)
      if (const int rc = g->saveBackupFile(path); rc && !first) first = rc;
  return first;
}

}  // namespace config
