#include "status/report_ethertalk_section.h"

#include "access/mib_group.h"
#include "status/status_pages.h"

namespace status {

namespace {

// CEtherTalkGroup: 2 node address, 3 network address (raw bytes), 5 state text.
enum EtherTalkVar { kNode = 2, kNetwork = 3, kState = 5 };
// CEtherTalkPortRow: the configured names (writable) beside the ones in use.
enum PortVar { kEnabled = 1, kName = 2, kCurrentName = 3, kType1 = 4, kType2 = 5, kZone = 6, kCurrentZone = 7 };

std::string hexOf(const snmpaccess::CMibGroup& g, int index) {
  std::string bytes;
  if (g.getBytes(index, bytes) != 0) return {};
  return snmpaccess::bytesToHex(bytes.data(), bytes.size());
}

}  // namespace

std::string etherTalkNameLine(const char* label, const std::string& current, const std::string& configured) {
  std::string line = std::string("   ") + label + ":\t" + current;
  if (current != configured) line += " (" + configured + ")";
  return line + "\r\n";
}

std::string etherTalkSectionDetails(snmpaccess::CEtherTalkGroup& group) {
  std::string out = "Node Address:\t" + hexOf(group, kNode) + "\r\n";
  out += "Network Address:\t" + hexOf(group, kNetwork) + "\r\n";
  out += "Status:\t" + textOf(group, kState) + "\r\n";
  // Rows are bounded by the group's clamped port count.
  for (int i = 0; i < group.rowCount(); ++i) {
    snmpaccess::CMibGroup* r = nullptr;
    if (group.row(i, r) != 0 || !r) break;
    out += "\r\nPort " + std::to_string(i + 1) + "\t" + (intOf(*r, kEnabled) == 2 ? "Enabled" : "Disabled") + "\r\n";
    out += etherTalkNameLine("Printer Name", textOf(*r, kCurrentName), textOf(*r, kName));
    out += "   Printer Type 1:\t" + textOf(*r, kType1) + "\r\n";
    const std::string type2 = textOf(*r, kType2);
    if (!type2.empty()) out += "   Printer Type 2:\t" + type2 + "\r\n";
    out += etherTalkNameLine("Zone Name", textOf(*r, kCurrentZone), textOf(*r, kZone));
  }
  return out;
}

}  // namespace status
