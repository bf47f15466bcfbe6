#pragma once
// The SNMP reads that follow a discovery reply: the printer-MIB probe, the extra list columns and
// the second family's own exchanges. They live with the MIB groups; the device query only calls
// them through this seam, so a query works (with the reply's data alone) before any are installed.
#include <memory>

namespace devices {

class CIpDevice;
class PrinterProbeBatch;

class DeviceSnmpReads {
 public:
  virtual ~DeviceSnmpReads() = default;
  // Reads the printer status group: fills each port's status text and returns whether the
  // printer MIB answered.
  virtual bool probePrinterMib(CIpDevice& device) = 0;
  // The columns the reply lacks (wireless, firmware, printer id and display, location): 0 or the
  // first SNMP error; fields read before an error stay.
  virtual int readExtraColumns(CIpDevice& device) = 0;
  // A second-family device after its probe reply: ports and status (72-byte form) and the
  // configuration image. 0 or -1.
  virtual int readSecondFamily(CIpDevice& device) = 0;
  // Printer-MIB probes of many devices at once, with the same outcome per device as
  // probePrinterMib (devices/printer_probe_batch.h); null: probe one device at a time.
  virtual std::unique_ptr<PrinterProbeBatch> newProbeBatch();
};

// Process-wide, not owned; null (the default) skips the reads. Install before searches start.
void setDeviceSnmpReads(DeviceSnmpReads* reads) noexcept;
DeviceSnmpReads* deviceSnmpReads() noexcept;

}  // namespace devices

namespace devices {
// What follows a parsed reply in every query and search: the installed SNMP reads, then the
// status texts under the device's masks.
void completeReply(CIpDevice& device);
}  // namespace devices
