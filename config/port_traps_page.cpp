#include "config/port_traps_page.h"

#include <algorithm>

#include "access/mib_catalogue.h"
#include "config/ipv4_field.h"

namespace config {

namespace {

constexpr int kSlots = 1, kPortCount = 2, kSupportedGpio = 3;  // TCP/IP group (second form)
constexpr int kEmailServer = 3;

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

std::int32_t intOf(const snmpaccess::CMibGroup* g, int index) {
  std::int32_t v = 0;
  if (!g || g->getInteger(index, v) != 0) return 0;
  return v;
}

}  // namespace

CPortTrapsPage::CPortTrapsPage(std::string prefix) : prefix_(std::move(prefix)) {}

int CPortTrapsPage::Read(snmpaccess::CSnmpSession& session) {
  using snmpaccess::result::kIndexRange;
  if (!list_) return kIndexRange;
  ip_.reset();
  email_.reset();
  ipx_.reset();
  names_.reset();
  commonLevel_ = 255;
  supportedGpio_ = 0;
  for (const auto& [number, name] : list_->protocols()) {
    if (number == 1) {
      ip_ = std::make_unique<snmpaccess::CIpTrapGroup2>(withPrefix(prefix_));
      if (ip_->read(session) != 0) return kIndexRange;
      const int level = ip_->mibVersion();
      commonLevel_ = std::min(commonLevel_, level);
      supportedGpio_ = (level >= 1 && level <= 3) ? 0u : static_cast<std::uint32_t>(intOf(ip_.get(), kSupportedGpio));
      if (emailPossible_) {
        email_ = std::make_unique<snmpaccess::CEmailTrapGroup2>(withPrefix(prefix_));
        if (email_->read(session) != 0) {
          email_.reset();
          emailPossible_ = false;
        }
      }
    } else if (number == 2) {
      ipx_ = std::make_unique<snmpaccess::CIpxTrapGroup2>(withPrefix(prefix_));
      if (ipx_->read(session) != 0) return kIndexRange;
      const int level = ipx_->mibVersion();
      commonLevel_ = std::min(commonLevel_, level);
      supportedGpio_ = (level >= 1 && level <= 3) ? 0u : static_cast<std::uint32_t>(intOf(ipx_.get(), 8));
    }
  }
  if (!ip_) return kIndexRange;
  ports_ = static_cast<int>(mib::clampCount(intOf(ip_.get(), kPortCount), 32));
  gpioGroups_ = ip_->gpioGroupCount();
  snmpaccess::GroupParams p = withPrefix(prefix_);
  p.ports = ports_;
  p.gpioGroups = gpioGroups_;
  names_ = std::make_unique<snmpaccess::CTrapEventGroup>(p);
  return names_->read(session);
}

std::string CPortTrapsPage::text(snmpaccess::CMibGroup* g, int index) const {
  std::string s;
  if (g) g->getBytes(index, s);
  return s;
}

void CPortTrapsPage::AdjustControls() {
  kinds.clear();
  for (const auto& [number, name] : list_ ? list_->protocols() : std::vector<std::pair<std::int32_t, std::string>>{}) {
    if (number == 1 && ip_) {
      kinds.push_back({name, kTrapTcpIp});
      if (emailPossible_ && email_) kinds.push_back({"SMTP", kTrapSmtp});
    } else if (number == 2 && ipx_) {
      kinds.push_back({name, kTrapIpx});
    }
  }
  if (!kinds.empty()) kind = kinds.front().kind;
  port = ports_ > 0 ? 1 : 0;
  gpioEvents.clear();
  for (int b = 0; b < 2 * gpioGroups_ && b < 32; ++b)
    if (supportedGpio_ & (1u << b)) gpioEvents.push_back({text(names_.get(), b), 1u << b, false});
}

snmpaccess::CMibGroup* CPortTrapsPage::rowOf(int slot) {
  if (kind == kTrapIpx) return ipx_.get();
  snmpaccess::CMibGroup* owner = kind == kTrapSmtp ? static_cast<snmpaccess::CMibGroup*>(email_.get())
                                                   : static_cast<snmpaccess::CMibGroup*>(ip_.get());
  snmpaccess::CMibGroup* row = nullptr;
  if (!owner || owner->row(slot, row) != 0) return nullptr;
  return row;
}

int CPortTrapsPage::gpioIndex() const { return kind == kTrapIpx ? 3 : 1; }

int CPortTrapsPage::portEventIndex(int p) const {
  if (kind != kTrapIpx) return 1 + p;  // port 1 is variable 2, then one per port
  if (p == 1) return 4;
  return 10 + ports_ + (p - 2);  // after the per-port supported masks
}

int CPortTrapsPage::slotCount() const {
  switch (kind) {
    case kTrapSmtp: return email_ ? std::min(email_->rowCount(), intOf(email_.get(), kSlots)) : 0;
    case kTrapTcpIp: return ip_ ? std::min(ip_->rowCount(), intOf(ip_.get(), kSlots)) : 0;
    default: return ipx_ ? 1 : 0;
  }
}

bool CPortTrapsPage::slotFree(int slot) {
  snmpaccess::CMibGroup* row = rowOf(slot);
  if (!row) return true;
  if (kind == kTrapSmtp) return text(row, 0).empty();
  if (kind == kTrapTcpIp) {
    std::uint8_t a[4] = {};
    row->getIpAddress(0, a);
    return (a[0] | a[1] | a[2] | a[3]) == 0;
  }
  const std::string net = text(row, 1), node = text(row, 2);
  return net.find_first_not_of('\0') == std::string::npos && node.find_first_not_of('\0') == std::string::npos;
}

void CPortTrapsPage::ShowValues() {
  destinations.clear();
  free_.clear();
  if (kind == kTrapSmtp && email_) {
    std::uint8_t a[4] = {};
    email_->getIpAddress(kEmailServer, a);
    smtpServer = (a[0] | a[1] | a[2] | a[3]) ? formatIpv4(a) : std::string();
  }
  for (int s = 0; s < slotCount(); ++s) {
    if (slotFree(s)) {
      free_.push_back(s);
      continue;
    }
    snmpaccess::CMibGroup* row = rowOf(s);
    std::string t;
    if (kind == kTrapSmtp) {
      t = text(row, 0);
    } else if (kind == kTrapTcpIp) {
      std::uint8_t a[4] = {};
      row->getIpAddress(0, a);
      t = formatIpv4(a);
    } else {
      const std::string net = text(row, 1), node = text(row, 2);
      t = snmpaccess::bytesToHex(net.data(), net.size()) + "-" + snmpaccess::bytesToHex(node.data(), node.size());
    }
    destinations.push_back({t, s});
  }
  std::sort(destinations.begin(), destinations.end(),
            [](const TrapDestinationItem& a, const TrapDestinationItem& b) { return a.text < b.text; });
  if (destinations.empty()) destinations.push_back({kTextNoDestination, kNoSlot});
  position = 0;
  slot_ = destinations.front().slot;
  address_ = destinations.front().text;
  showMasks();
}

void CPortTrapsPage::showMasks() {
  const std::uint32_t gpio = slot_ == kNoSlot ? 0u : static_cast<std::uint32_t>(intOf(rowOf(slot_), gpioIndex()));
  for (TrapCheckItem& e : gpioEvents) e.checked = (gpio & e.data) != 0;
  showPortEvents();
}

void CPortTrapsPage::showPortEvents() {
  portEvents.clear();
  if (port < 1 || port > ports_) return;
  // The kind's supported events of the port: variable k + 4 of the TCP/IP group, the IPX
  // group's per-port masks after its fixed variables.
  const std::uint32_t supported = static_cast<std::uint32_t>(
      kind == kTrapIpx ? intOf(ipx_.get(), 9 + port) : intOf(ip_.get(), 4 + port));
  const std::uint32_t mask =
      slot_ == kNoSlot ? 0u : static_cast<std::uint32_t>(intOf(rowOf(slot_), portEventIndex(port)));
  for (int b = 0; b < 16; ++b)
    if (supported & (1u << b))
      portEvents.push_back({text(names_.get(), 2 * gpioGroups_ + 16 * (port - 1) + b), 1u << b, (mask & (1u << b)) != 0});
}

void CPortTrapsPage::storeSlot() {
  if (kind == kTrapSmtp && email_) {
    std::uint8_t a[4] = {};
    if (parseIpv4Field(smtpServer, a)) email_->setIpAddressIfChanged(kEmailServer, a);
  }
  if (slot_ == kNoSlot) return;
  snmpaccess::CMibGroup* row = rowOf(slot_);
  if (!row) return;
  if (kind == kTrapSmtp) {
    row->setTextIfChanged(0, address_);
  } else if (kind == kTrapTcpIp) {
    std::uint8_t a[4] = {};
    if (parseIpv4Field(address_, a)) row->setIpAddressIfChanged(0, a);
  } else if (address_.size() >= 12) {
    std::string net, node;
    if (snmpaccess::hexTextToBytes(address_.substr(0, 8), net) == 0 &&
        snmpaccess::hexTextToBytes(address_.substr(address_.size() - 12), node) == 0) {
      row->setBytesIfChanged(1, net.data(), net.size());
      row->setBytesIfChanged(2, node.data(), node.size());
    }
  }
  auto build = [&](const std::vector<TrapCheckItem>& items, int index) {
    if (index >= row->count()) return;
    std::uint32_t mask = static_cast<std::uint32_t>(intOf(row, index));
    for (const TrapCheckItem& item : items) mask = item.checked ? (mask | item.data) : (mask & ~item.data);
    row->setIntegerIfChanged(index, static_cast<std::int32_t>(mask));
  };
  if (port >= 1 && port <= ports_) build(portEvents, portEventIndex(port));
  build(gpioEvents, gpioIndex());
}

void CPortTrapsPage::selectKind(int k) {
  storeSlot();
  kind = k;
  ShowValues();
}

void CPortTrapsPage::selectDestination(int pos) {
  if (pos < 0 || pos >= static_cast<int>(destinations.size())) return;
  storeSlot();
  position = pos;
  slot_ = destinations[static_cast<std::size_t>(pos)].slot;
  address_ = destinations[static_cast<std::size_t>(pos)].text;
  showMasks();
}

void CPortTrapsPage::selectPort(int index) {
  storeSlot();
  port = index + 1;
  showPortEvents();
}

PageCheck CPortTrapsPage::add(const DestinationEntry& entry) {
  const int slots = slotCount();
  const bool none = !destinations.empty() && destinations.front().slot == kNoSlot;
  if ((static_cast<int>(destinations.size()) >= slots && !none) || free_.empty())
    return PageCheck::fail(maximumDestinationsText(slots), "add");
  DestinationEntry e = entry;
  std::string t;
  if (const PageCheck c = checkDestination(kind, e, t); !c.ok()) return c;
  if (none)
    destinations.clear();
  else
    storeSlot();
  const int slot = free_.front();
  free_.pop_front();
  destinations.push_back({t, slot});
  position = static_cast<int>(destinations.size()) - 1;
  slot_ = slot;
  address_ = t;
  if (snmpaccess::CMibGroup* row = rowOf(slot)) {
    row->setIntegerIfChanged(gpioIndex(), 0xFFFF);
    if (port >= 1 && portEventIndex(port) < row->count()) row->setIntegerIfChanged(portEventIndex(port), 0xFFFF);
  }
  showMasks();
  return PageCheck::pass();
}

void CPortTrapsPage::remove() {
  if (slot_ == kNoSlot) return;
  snmpaccess::CMibGroup* row = rowOf(slot_);
  if (row) {
    if (kind == kTrapSmtp) row->setTextIfChanged(0, "");
    else if (kind == kTrapTcpIp) {
      const std::uint8_t zero[4] = {};
      row->setIpAddressIfChanged(0, zero);
    } else {
      const std::string net(4, '\0'), node(6, '\0');
      row->setBytesIfChanged(1, net.data(), net.size());
      row->setBytesIfChanged(2, node.data(), node.size());
    }
    row->setIntegerIfChanged(gpioIndex(), 0);
    if (port >= 1 && portEventIndex(port) < row->count()) row->setIntegerIfChanged(portEventIndex(port), 0);
  }
  free_.push_back(slot_);
  destinations.erase(destinations.begin() + position);
  if (destinations.empty()) destinations.push_back({kTextNoDestination, kNoSlot});
  position = 0;
  slot_ = destinations.front().slot;
  address_ = destinations.front().text;
  showMasks();
}

std::vector<snmpaccess::CMibGroup*> CPortTrapsPage::groups() {
  std::vector<snmpaccess::CMibGroup*> g;
  if (email_) g.push_back(email_.get());
  if (ip_) g.push_back(ip_.get());
  if (ipx_) g.push_back(ipx_.get());
  return g;
}

int CPortTrapsPage::writeGroups(snmpaccess::CSnmpSession& session) {
  for (snmpaccess::CMibGroup* g : groups())
    if (const int rc = g->writeChanged(session)) return rc;
  return 0;
}

}  // namespace config
