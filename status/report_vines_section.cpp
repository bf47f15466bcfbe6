#include "status/report_vines_section.h"

#include "status/status_pages.h"

namespace status {

namespace {

// CVinesGroup: 2 StreetTalk user, 4 last error, 5 routing state, 6 routing mode.
enum VinesVar { kUser = 2, kError = 4, kRoutingState = 5, kRoutingMode = 6 };
// CVinesPortRow: one print service and the job it is printing.
enum ServiceVar {
  kServiceName = 0,
  kServiceStatus = 1,
  kDestination = 2,
  kPrinterStatus = 3,
  kJobActive = 4,
  kJobSource = 5,
  kJobTitle = 6,
  kJobSize = 7,
  kJobNumber = 8,
};

}  // namespace

std::string vinesRoutingStateText(std::int32_t state) {
  switch (state) {
    case 32767: return "Protocol Disabled";
    case 32766: return "Routing Unknown";
    case 1: return "Using Sequenced RTP";
    case 2: return "Using Non-Sequenced RTP";
    default: return "UNKNOWN";
  }
}

std::string vinesRoutingLine(std::int32_t mode, std::int32_t state) {
  const std::string text = vinesRoutingStateText(state);
  if (mode == 1) return "\r\nRouting Protocol:\tAutomatic Routing (" + text + ")\r\n";
  return "\r\nRouting Protocol:\t" + text + "\r\n";
}

std::string vinesSectionDetails(snmpaccess::CVinesGroup& group) {
  std::string out = "\r\nError:\t" + textOf(group, kError) + "\r\n";
  out += "\r\nUser Name:\t" + textOf(group, kUser) + "\r\n";
  // Rows are bounded by the group's clamped port count.
  for (int i = 0; i < group.rowCount(); ++i) {
    snmpaccess::CMibGroup* r = nullptr;
    if (group.row(i, r) != 0 || !r) break;
    const std::string name = textOf(*r, kServiceName);
    if (name.empty()) continue;
    out += "\r\nPrint Service " + std::to_string(i + 1) + ":\t" + name + "\r\n";
    out += "  Service Status:\t" + textOf(*r, kServiceStatus) + "\r\n";
    out += "  Destination:\tPort " + std::to_string(intOf(*r, kDestination)) + "\r\n";
    out += "  Printer Status:\t" + textOf(*r, kPrinterStatus) + "\r\n";
    if (intOf(*r, kJobActive) == 2) {
      out += "  Job Active:\tYes\r\n";
      out += "     Job Source:\t" + textOf(*r, kJobSource) + "\r\n";
      out += "     Job Title:\t" + textOf(*r, kJobTitle) + "\r\n";
      out += "     Job Size:\t" + textOf(*r, kJobSize) + "\r\n";
      out += "     Job Number:\t" + textOf(*r, kJobNumber) + "\r\n";
    } else {
      out += "  Job Active:\tNo\r\n";
    }
  }
  out += vinesRoutingLine(intOf(group, kRoutingMode), intOf(group, kRoutingState));
  return out;
}

}  // namespace status
