#include "devices/discovery_serial.h"

#include "devices/device.h"
#include "devices/device_column.h"

namespace devices {

CSerialDiscovery::CSerialDiscovery(platform::MessageTarget* owner, std::unique_ptr<snmpaccess::ProgressWindow> progress)
    : CDiscovery(kProtocolSerial, owner, std::move(progress)) {}

CSerialDiscovery::~CSerialDiscovery() { stopAndWait(); }

bool CSerialDiscovery::wantsExtraColumns(const SearchRequest& request, bool) const {
  return showsPortColumn(request.columnBits);
}

int CSerialDiscovery::runSearch(const SearchRequest& request, bool extraColumns) {
  postText(kTextCheckingSerialPorts);
  for (const std::string& port : request.entries) {
    if (stopRequested()) return 2;
    auto device = std::make_unique<CSerialDevice>(port);
    prepare(*device, extraColumns);
    const int result = device->query();
    // A silent port is listed too: its row says "No Response".
    post(std::move(device));
    if (result == 2) return 2;
  }
  return stopRequested() ? 2 : 0;
}

}  // namespace devices
