#include "status/status_pages.h"

#include "access/mib_catalogue.h"
#include "access/mib_enumerations.h"
#include "status/report_ethertalk_section.h"
#include "status/report_netware_section.h"
#include "status/report_vines_section.h"
#include "status/status_format.h"

namespace status {

namespace {

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

std::string number(std::int32_t v) { return std::to_string(static_cast<long>(v)); }

}  // namespace

std::string CStatusPage::value(std::string_view label) const {
  for (const StatusRow& r : rows_)
    if (r.label == label) return r.value;
  return {};
}

std::string textOf(const snmpaccess::CMibGroup& g, int index) {
  std::string out;
  if (g.getDisplayText(index, out) != 0) return {};
  return out;
}

std::int32_t intOf(const snmpaccess::CMibGroup& g, int index, std::int32_t fallback) {
  std::int32_t v = 0;
  if (g.getInteger(index, v) == 0) return v;
  std::uint32_t u = 0;
  if (g.getUnsigned(index, u) == 0) return static_cast<std::int32_t>(u);
  return fallback;
}

std::string ipOf(const snmpaccess::CMibGroup& g, int index) {
  std::uint8_t a[4] = {};
  if (g.getIpAddress(index, a) != 0) return {};
  return snmpaccess::ipv4ToText(a);
}

// ---- Server ----

CServerStatusPage::CServerStatusPage(const std::string& prefix) : group_(withPrefix(prefix)) {}

void CServerStatusPage::ShowValues() {
  rows_.clear();
  std::string hw;
  group_.getBytes(4, hw);
  std::uint32_t speed = 0;
  group_.getUnsigned(11, speed);
  add("Product Name:", textOf(group_, 1));
  add("Product Number:", textOf(group_, 2));
  add("Serial Number:", textOf(group_, 3));
  add("F/W Version:", textOf(group_, 7));
  add("Date Code:", textOf(group_, 6));
  add("H/W Address:", hardwareAddressText(hw));
  add("Cable Type:", cableTypeText(intOf(group_, 5)));
  add("MIB Version:", number(intOf(group_, 8)));
  add("Net Speed:", netSpeedText(speed));
}

// ---- System ----

CSystemStatusPage::CSystemStatusPage() = default;

void CSystemStatusPage::ShowValues() {
  rows_.clear();
  std::uint32_t ticks = 0;
  group_.getUnsigned(2, ticks);
  add("Description:", textOf(group_, 0));
  add("Contact:", textOf(group_, 3));
  add("Name:", textOf(group_, 4));
  add("Location:", textOf(group_, 5));
  add("Up Time:", upTimeText(ticks));
}

// ---- Statistics ----

CStatisticsPage::CStatisticsPage(const std::string& prefix) : group_(withPrefix(prefix)) {}

void CStatisticsPage::ShowValues() {
  rows_.clear();
  // Receive: .4.2 total, .4.4 ECBs unavailable, .4.5 errors, .4.8 checksum errors;
  // transmit: .4.3 total, .4.7 retries, .4.6 errors.
  add("Receive Packets: Total:", number(intOf(group_, 1)));
  add("ECBs Unavailable:", number(intOf(group_, 3)));
  add("Errors:", number(intOf(group_, 4)));
  add("Checksum Errors:", number(intOf(group_, 7)));
  add("Transmit Packets: Total:", number(intOf(group_, 2)));
  add("Retries:", number(intOf(group_, 6)));
  add("Errors:", number(intOf(group_, 5)));
}

// ---- Tech Support ----

CTechSupportPage::CTechSupportPage(const std::string& prefix) : group_(withPrefix(prefix)) {}

void CTechSupportPage::ShowValues() {
  rows_.clear();
  add("Company Name:", textOf(group_, 1));
  add("Company Location:", textOf(group_, 2));
  add("Company Phone:", textOf(group_, 3));
  add("Technical Support:", supportText(textOf(group_, 4)));
}

// ---- Printer ----

namespace {
constexpr int kRowName = 1, kRowModel = 2, kRowOnline = 3, kRowPrinterStatus = 4, kRowOwner = 5, kRowLanguage = 7,
              kRowPortType = 12;
constexpr std::int32_t kInfraredInput = 32758, kSerialInput = 32761;
}  // namespace

CPrinterStatusPage::CPrinterStatusPage(const std::string& prefix) : group_(withPrefix(prefix)) {}

int CPrinterStatusPage::Read(snmpaccess::CSnmpSession& session) {
  const int rc = group_.read(session);
  if (rc == 0 && (port_ < 0 || port_ >= portCount())) port_ = 0;
  return rc;
}

int CPrinterStatusPage::portCount() const {
  int rows = 0;
  for (int i = 0; i < group_.childCount(); ++i)
    if (group_.child(i)->def().id == mib::GroupId::OutputPortRow) ++rows;
  return rows;
}

const snmpaccess::CMibGroup* CPrinterStatusPage::row(int port) const {
  int n = 0;
  for (int i = 0; i < group_.childCount(); ++i) {
    const snmpaccess::CMibGroup* c = group_.child(i);
    if (c->def().id != mib::GroupId::OutputPortRow) continue;
    if (n++ == port) return c;
  }
  return nullptr;
}

void CPrinterStatusPage::selectPort(int port) {
  if (port >= 0 && port < portCount()) port_ = port;
}

std::uint32_t CPrinterStatusPage::capabilities() const {
  const int level = group_.mibVersion();
  if (level == 1) return 0x18FFF;
  if (level >= 2 && level <= 4) return 0x1FFFF;
  return static_cast<std::uint32_t>(intOf(group_, 2));
}

std::vector<std::uint8_t> CPrinterStatusPage::portStates() const {
  std::vector<std::uint8_t> out;
  for (int p = 0; p < portCount(); ++p) {
    const snmpaccess::CMibGroup* r = row(p);
    if (intOf(*r, kRowPrinterStatus) == 2) out.push_back(kPortNoPrinter);  // "No Printer Attached"
    else if (intOf(*r, kRowLanguage) == 4) out.push_back(kPortAutoSwitch);  // "Automatic"
    else out.push_back(kPortPrinter);
  }
  return out;
}

void CPrinterStatusPage::ShowValues() {
  rows_.clear();
  const snmpaccess::CMibGroup* r = row(port_);
  if (!r) return;
  const std::uint32_t caps = capabilities();
  const bool aboveOne = mib::levelAtLeast(group_.mibVersion(), 2);
  const std::int32_t type = intOf(*r, kRowPortType);
  const bool direct = type == kInfraredInput || type == kSerialInput;
  std::string protocol(mib::enumText(mib::kPortOwner, intOf(*r, kRowOwner)));
  if (type == kInfraredInput) protocol = "Infrared Input";
  if (type == kSerialInput) protocol = "Serial Input";
  std::string display;
  for (int i = 0; i < r->childCount(); ++i)
    if (r->child(i)->def().id == mib::GroupId::PrinterStatus) display = textOf(*r->child(i), 1);
  add("Port Name:", textOf(*r, kRowName), (caps & 0x2) != 0);
  add("Printer Model:", textOf(*r, kRowModel), (caps & 0x2000) != 0 && aboveOne && !direct);
  add("State:", std::string(mib::enumText(mib::kPortOnline, intOf(*r, kRowOnline))), (caps & 0x4) != 0);
  add("Error:", std::string(mib::enumText(mib::kPortPrinterStatus, intOf(*r, kRowPrinterStatus))),
      (caps & 0x10) != 0);
  add("Current Protocol:", protocol, !direct);
  add("Front Panel Display:", display, (caps & 0x4000) != 0 && aboveOne && !direct);
}

// ---- Wireless ----

CWirelessStatusPage::CWirelessStatusPage(const std::string& prefix) : group_(withPrefix(prefix)) {}

void CWirelessStatusPage::ShowValues() {
  static constexpr const char* kRates[] = {"1", "2", "5.5", "11", "6", "9", "12", "18", "24", "48", "54", "108"};
  rows_.clear();
  const std::int32_t rate = intOf(group_, 8, -1);
  add("Current SSID", textOf(group_, 9));
  add("Current Channel", number(intOf(group_, 10)));
  add("TX Rate", rate >= 0 && rate < 12 ? std::string(kRates[rate]) + " Mbps" : "UNKNOWN");
  add("Signal Strength", number(intOf(group_, 11)) + "%");
  add("Signal Quality", number(intOf(group_, 12)) + "%");
  add("Noise Level", number(intOf(group_, 13)));
}

// ---- Network ----

CNetworkStatusPage::CNetworkStatusPage(const std::string& prefix) : prefix_(prefix) {}
CNetworkStatusPage::~CNetworkStatusPage() = default;

int CNetworkStatusPage::Read(snmpaccess::CSnmpSession& session) {
  snmpaccess::CProtocolListGroup list(withPrefix(prefix_));
  if (int rc = list.read(session)) return rc;
  protocols_ = list.protocols();
  tcpip_.reset();
  vines_.reset();
  ethertalk_.reset();
  enables_.clear();
  walk_ = {};
  netware_.reset();
  for (const auto& [id, name] : protocols_) {
    switch (id) {
      case 1: {
        auto g = std::make_unique<snmpaccess::CTcpIpGroup>(withPrefix(prefix_));
        if (int rc = g->read(session)) return rc;
        tcpip_ = std::move(g);
        walk_ = walkTcpConnections(session);
        break;
      }
      case 3: {
        auto g = std::make_unique<snmpaccess::CVinesGroup>(withPrefix(prefix_));
        if (int rc = g->read(session)) return rc;
        enables_.push_back({id, intOf(*g, 1)});
        vines_ = std::move(g);
        break;
      }
      case 5: {
        auto g = std::make_unique<snmpaccess::CEtherTalkGroup>(withPrefix(prefix_));
        if (int rc = g->read(session)) return rc;
        enables_.push_back({id, intOf(*g, 1)});
        ethertalk_ = std::move(g);
        break;
      }
      case 2: case 4: case 7: {
        if (id == 2) {
          netware_ = std::make_unique<NetWareSection>(prefix_, netwareClient_);
          if (int rc = netware_->read(session)) return rc;
        }
        // The protocol's enable switch: E.6.3.n.2.0, wireless E.8.3.18.0.
        const std::string oid = prefix_ + (id == 7 ? std::string(".8.3.18.0") : ".6.3." + std::to_string(id) + ".2.0");
        snmpaccess::CVarBind b(oid.c_str());
        snmpaccess::CVarBind* list1[] = {&b};
        if (int rc = session.get(list1, 1)) return rc;
        smiINT v = 0;
        b.getInteger(v);
        enables_.push_back({id, v});
        break;
      }
      default: break;
    }
  }
  if (selected_ == 0 || !items().empty()) {
    bool still = false;
    for (const auto& [id, n] : items()) still = still || id == selected_;
    if (!still) selected_ = items().empty() ? 0 : items().front().first;
  }
  return 0;
}

std::vector<std::pair<std::int32_t, std::string>> CNetworkStatusPage::items() const {
  std::vector<std::pair<std::int32_t, std::string>> out;
  for (const auto& p : protocols_)
    if (p.first >= 1 && p.first <= 5) out.push_back(p);
  return out;
}

void CNetworkStatusPage::selectProtocol(std::int32_t number) { selected_ = number; }

void CNetworkStatusPage::ShowValues() {
  rows_.clear();
  add("", sectionText(selected_));
}

bool CNetworkStatusPage::enabled(std::int32_t number) const {
  std::int32_t enable = 0;
  if (number == 1 && tcpip_) enable = intOf(*tcpip_, 6);
  for (const auto& [id, v] : enables_)
    if (id == number) enable = v;
  return enable == 2;
}

std::string CNetworkStatusPage::statusLine(std::int32_t number) const {
  return std::string("(") + (enabled(number) ? "Enabled" : "Disabled") + ")\r\n";
}

std::string CNetworkStatusPage::sectionText(std::int32_t number) const {
  switch (number) {
    case 1: return tcpip_ ? tcpIpText() : std::string();
    case 2: case 3: case 4: case 5: {
      bool read = false;
      for (const auto& [id, v] : enables_) read = read || id == number;
      if (!read) return {};
      if (number == 2 && netware_ && enabled(2)) return statusLine(2) + netware_->text();
      if (number == 3 && vines_ && enabled(3)) return statusLine(3) + vinesSectionDetails(*vines_);
      if (number == 5 && ethertalk_ && enabled(5)) return statusLine(5) + etherTalkSectionDetails(*ethertalk_);
      return statusLine(number);
    }
    default: return {};  // wireless has the heading only
  }
}

std::string CNetworkStatusPage::tcpIpText() const {
  const snmpaccess::CMibGroup& g = *tcpip_;
  std::string out = statusLine(1);
  if (intOf(g, 6) != 2) return out;
  const int level = g.mibVersion();
  std::uint32_t caps = 0;
  if (level == 1 || level == 2) caps = 0x83F;
  else if (level == 3) caps = 0xBFF;
  else caps = static_cast<std::uint32_t>(intOf(g, 16));
  out += "\r\nError:\t" + textOf(g, 7) + "\r\n";
  out += "\r\nIP Address:\t" + ipOf(g, 0) + "\r\n";
  const std::int32_t method = intOf(g, 9);
  const std::string source(mib::enumText(mib::kAddressMethod, method));
  if (method == 1) {
    out += "Source:\t" + source + "\r\n";
  } else {
    // The server that supplied the address, kept by the unit as a 32-bit number.
    const std::uint32_t server = static_cast<std::uint32_t>(intOf(g, 10));
    std::uint8_t a[4] = {std::uint8_t(server >> 24), std::uint8_t(server >> 16), std::uint8_t(server >> 8),
                         std::uint8_t(server)};
    out += "Source:\t" + source + "  (" + snmpaccess::ipv4ToText(a) + ")\r\n";
  }
  out += "Subnet Mask:\t" + ipOf(g, 2) + "\r\n";
  out += "Default Gateway Address:\t" + ipOf(g, 3) + "\r\n";
  if (mib::levelAtLeast(level, 3)) {
    if (caps & 0x40) {
      if (method == 5 && intOf(g, 13) == 1)
        out += "WINS Server Address:\t" + ipOf(g, 12) + " (via DHCP)\r\n";
      else
        out += "WINS Server Address:\t" + ipOf(g, 12) + "\r\n";
    }
    if (caps & 0x200) {
      const std::int32_t minutes = intOf(g, 15);
      if (minutes != 0)
        out += "Unsolicited ARP Refresh:\tEnabled (" + std::to_string(minutes) + " minutes)\r\n";
      else
        out += "Unsolicited ARP Refresh:\tDisabled\r\n";
    }
  }
  if (caps & 0x4) {
    if (intOf(g, 4) == 2) {
      const std::int32_t seconds = mib::levelAtLeast(level, 3) ? intOf(g, 14) : 300;
      out += "Timeout Checking:\tEnabled (" + std::to_string(seconds) + " seconds)\r\n";
    } else {
      out += "Timeout Checking:\tDisabled\r\n";
    }
  }
  out += connectionsText(walk_.rows);
  return out;
}

}  // namespace status
