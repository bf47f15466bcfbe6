#include "tools/network_information.h"

#include <cstdint>

#include "platform/string_table.h"
#include "tools/net_environment.h"

namespace {

constexpr std::uint32_t kYes = 6170;
constexpr std::uint32_t kNo = 6171;

void addText(std::vector<NetworkInformationField>& fields, const char* label, const std::string& value) {
  fields.push_back({label, value.empty() ? CNetworkInformation::kUnknown : value});
}

void addYesNo(std::vector<NetworkInformationField>& fields, const char* label, bool on) {
  const char* word = platform::loadString(on ? kYes : kNo);
  fields.push_back({label, word ? word : CNetworkInformation::kFalse});
}

}  // namespace

CNetworkInformation::CNetworkInformation(const CNetEnvironment& env) {
  const std::uint32_t flags = env.flags();
  addText(fields_, "Winsock:", env.winsockDescription());
  addText(fields_, "Host Name:", env.hostName());
  addText(fields_, "Host IP Address:", env.hostAddress());
  addText(fields_, "IPX Subnet:", env.ipxNetworks());
  addText(fields_, "Hardware Address:", env.hardwareAddresses());
  addText(fields_, "Operating System:", env.operatingSystem());
  addYesNo(fields_, "IP Support:", flags & CNetEnvironment::kUdp);
  addYesNo(fields_, "IPX Support:", flags & CNetEnvironment::kIpx);
  addYesNo(fields_, "VINES Support:", flags & CNetEnvironment::kVinesClient);
  addYesNo(fields_, "Novell Support:", flags & CNetEnvironment::kNetWareClient);
}

const std::string* CNetworkInformation::text(const std::string& label) const {
  for (const auto& f : fields_)
    if (f.label == label) return &f.text;
  return nullptr;
}
