#include "devices/printer_probe.h"

#include <string_view>

#include "access/mib_enumerations.h"
#include "access/result_codes.h"
#include "devices/device.h"

namespace devices {

namespace result = snmpaccess::result;

std::string printerStatusOid(int port) { return "1.3.6.1.2.1.43.13.4.1.11." + std::to_string(port) + ".1"; }
std::string printerConsoleOid(int port) { return "1.3.6.1.2.1.43.16.5.1.2." + std::to_string(port) + ".1"; }

bool probeGivesUp(int rc) noexcept {
  return rc == result::kNoReply || rc == result::kStopped || rc == result::kNoSession;
}

void PrinterProbe::fail(int rc) noexcept {
  if (done_) return;
  result_ = rc;
  done_ = true;
}

void PrinterProbe::take(int rc, snmpaccess::CVarBind (&b)[2]) {
  if (done_) return;
  CIpDevice& device = *device_;
  const int ports = device.portCount();
  if (port_ == 1) {
    result_ = rc;
    if (rc != 0) {
      done_ = true;
      return;
    }
    answered_ = true;
  } else if (rc != 0) {
    // No printer entry for this port: its texts stay empty. No answer at all: stop asking.
    if (probeGivesUp(rc)) {
      result_ = rc;
      done_ = true;
      return;
    }
  }
  if (rc == 0 && port_ - 1 < ports) {
    smiINT status = 0;
    const bool haveStatus = b[0].getInteger(status) == 0;
    std::string_view state;
    mib::printerStateText(haveStatus, status, state);
    char console[snmpaccess::kDisplayTextSize];
    if (b[1].getPlainText(console, sizeof console) != 0) console[0] = '\0';
    device.portStatusTexts[port_ - 1].assign(state);
    device.printerDisplays[port_ - 1].assign(console);
  }
  ++port_;
  if (port_ > ports) done_ = true;
}

}  // namespace devices
