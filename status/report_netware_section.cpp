// The NetWare section of the Network page and of the status report.
#include "status/report_netware_section.h"

#include <cstdio>

#include "access/mib_enumerations.h"
#include "netware/fnk_binding.h"
#include "status/status_pages.h"

namespace status {

namespace {

// Variables of CNetWareGroup the section shows.
constexpr int kVarFrameType = 2;
constexpr int kVarMode = 4;
constexpr int kVarPrintServerName = 5;
constexpr int kVarQueueScanTime = 6;
constexpr int kVarErrorText = 9;
constexpr int kVarDirectPrinting = 14;
constexpr int kVarFeatureMask = 16;
// Of CNdsGroup.
constexpr int kNdsPrintServer = 0;
constexpr int kNdsTree = 1;
constexpr int kNdsFileServer = 2;
// Of CNetWarePortRow.
constexpr int kRowPclQueue = 3;
constexpr int kRowPostScriptQueue = 4;

std::uint32_t featureMask(const snmpaccess::CMibGroup& g) {
  switch (g.mibVersion()) {
    case 1: return 1064959;
    case 2: return 1572863;
    case 3: return 2097151;
    default: return static_cast<std::uint32_t>(intOf(g, kVarFeatureMask));
  }
}

// The NDS object name is kept as 16-bit characters, low byte first; the report shows the 8-bit text.
std::string narrowText(const snmpaccess::CMibGroup& g, int index) {
  std::string bytes;
  if (g.getBytes(index, bytes) != 0) return {};
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == '\0' && bytes[i + 1] == '\0') break;
    out += bytes[i];
  }
  return out;
}

std::string fileServerStatus(std::int32_t value) {
  for (const mib::EnumEntry& e : mib::kFileServerStatus.entries)
    if (e.value == value) return std::string(e.text);
  char hex[32];
  std::snprintf(hex, sizeof hex, " (0x%x)", static_cast<unsigned>(value));
  return std::string(mib::kFileServerStatus.otherText) + hex;
}

}  // namespace

NetWareSection::NetWareSection(const std::string& prefix, bool clientPresent)
    : prefix_(prefix), client_(clientPresent), config_(netware::fennick(), volumes_) {
  // The status sheet reports what it can read; a file server that cannot be read shows no queues.
  config_.showMessage = [](const std::string&) {};
}

int NetWareSection::read(snmpaccess::CSnmpSession& session) {
  if (client_) config_.attachServers();
  if (const int rc = config_.readSettings(session, prefix_)) return rc;
  if (client_) config_.readQueueAssignments();
  return 0;
}

std::string NetWareSection::text() const { return netWareSectionText(config_); }

std::string netWareSectionText(const netware::CNetWareConfig& c) {
  if (!c.netWareGroup || !c.ndsGroup || !c.portGroup) return {};
  const snmpaccess::CMibGroup& g = *c.netWareGroup;
  const snmpaccess::CMibGroup& nds = *c.ndsGroup;
  const std::uint32_t caps = featureMask(g);
  const int level = g.mibVersion();
  const std::int32_t mode = intOf(g, kVarMode);
  std::string out = "\r\nError:\t" + textOf(g, kVarErrorText) + "\r\n";
  if (caps & 0x8) out += "\r\nMode:\t" + std::string(mib::enumText(mib::kNetWareMode, mode)) + "\r\n";
  if (caps & 0x4) {
    std::string lines;
    for (int t = 0; t < g.childCount(); ++t) {
      const snmpaccess::CMibGroup* table = g.child(t);
      if (table->def().id != mib::GroupId::FileServerStatusTable) continue;
      for (int k = 0; k + 1 < table->count(); k += 2) {
        const std::string name = textOf(*table, k);
        if (name.empty()) continue;
        lines += (lines.empty() ? "File Server Name(s):\t" : "\t") + name + "  " + fileServerStatus(intOf(*table, k + 1)) + "\r\n";
      }
    }
    if (!lines.empty()) out += "\r\n" + lines;
  }
  if (caps & 0x10) out += "\r\nPrint Server Name:\t" + textOf(g, kVarPrintServerName) + "\r\n";
  if (mode != 3 && (level == 0 || level > 1)) {
    if (caps & 0x10000) out += "NDS File Server:\t" + textOf(nds, kNdsFileServer) + "\r\n";
    if (caps & 0x8000) out += "NDS Tree:\t" + textOf(nds, kNdsTree) + "\r\n";
    if (caps & 0x4000) out += "NDS Print Server:\t" + narrowText(nds, kNdsPrintServer) + "\r\n";
  }
  if (caps & 0x40) {
    char scan[48];
    std::snprintf(scan, sizeof scan, "%.1f", intOf(g, kVarQueueScanTime) / 10.0);
    out += "\r\nQueue Scan Time:\t" + std::string(scan) + " seconds";
  }
  if (caps & 0x1) out += "\r\nFrame Format:\t" + std::string(mib::enumText(mib::kFrameType, intOf(g, kVarFrameType)));
  if ((level == 0 || level > 2) && (caps & 0x80000))
    out += std::string("\r\nIPX/SPX Direct Printing:\t") + (intOf(g, kVarDirectPrinting) == 2 ? "Enabled" : "Disabled");
  out += "\r\n";
  if (mode == 2) {
    std::string fonts;
    for (int p = 0; p < c.portGroup->rowCount(); ++p) {
      const snmpaccess::CMibGroup* row = c.portGroup->child(p);
      if (!row) continue;
      const std::string port = "\tPort " + std::to_string(p + 1) + ":  ";
      if (const std::string q = textOf(*row, kRowPclQueue); !q.empty()) fonts += port + q + " (PCL)\r\n";
      if (const std::string q = textOf(*row, kRowPostScriptQueue); !q.empty()) fonts += port + q + " (PostScript)\r\n";
    }
    if (!fonts.empty()) out += "\r\nFont Download Queues:\r\n" + fonts;
  }
  c.queueReport(out);
  return out;
}

}  // namespace status
