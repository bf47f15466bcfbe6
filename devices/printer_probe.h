#pragma once
// The printer-MIB probe of one print server as steps: which port to ask next and what each answer
// means. A probe asked one request at a time (MibDeviceReads) and a batch of many probes on one
// socket (PrinterProbeBatch) walk the same steps, so both leave the same values in the device.
//
// Port p's printer is Printer-MIB entry p.1: its status (hrPrinterStatus-like state word) and the
// first line of its console. Port 1 decides whether the printer MIB answers at all; a later port
// without an entry keeps empty texts, and a print server that stops answering ends the probe.
#include <string>

#include "access/var_bind.h"

namespace devices {

class CIpDevice;

// Port p's two objects, in request order.
std::string printerStatusOid(int port);
std::string printerConsoleOid(int port);

class PrinterProbe {
 public:
  explicit PrinterProbe(CIpDevice& device) noexcept : device_(&device) {}

  // The 1-based port to ask next, or 0 when the probe is over.
  int nextPort() const noexcept { return done_ ? 0 : port_; }
  // The outcome of the request for nextPort(): 0 with the reply's bindings (status, console),
  // or the request's result code.
  void take(int rc, snmpaccess::CVarBind (&bindings)[2]);
  // Ends the probe before it asked anything, with `rc` (no agent, no community, ...).
  void fail(int rc) noexcept;

  // Port 1 answered.
  bool answered() const noexcept { return answered_; }
  // Port 1's result, or the later one that made the probe give up: what the reads that follow
  // the probe look at.
  int result() const noexcept { return result_; }
  CIpDevice& device() const noexcept { return *device_; }

 private:
  CIpDevice* device_;
  int port_ = 1;
  bool done_ = false;
  bool answered_ = false;
  int result_ = 0;
};

// Results after which asking the same print server again only waits out more time-outs.
bool probeGivesUp(int rc) noexcept;

}  // namespace devices
