#include "app/device_reads_install.h"

#include <array>
#include <memory>
#include <string>

#include "access/snmp_target.h"
#include "app/access_list.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "devices/mib_device_reads.h"
#include "platform/registry.h"

namespace app {

DeviceReadsInstall::DeviceReadsInstall(const platform::Registry& registry, bool startEngine) {
  devices::MibReadSettings s;
  s.getTimeout = readSetting(registry, kTimeoutsKey, "GetTimeout");
  OemFamilyTable& table = oemFamilyTable();
  if (table.count() == 0) table.fill(registry);
  for (std::size_t i = 0; i < table.count(); ++i) s.families.emplace_back(table[i].code, table[i].prefix);
  // A device that reported no GET community is asked with its access-list entry's.
  auto lists = std::make_shared<std::array<CAccessList, 3>>();
  (*lists)[0].load(registry, kAccessIpKey, true);
  (*lists)[1].load(registry, kAccessNwKey, true);
  (*lists)[2].load(registry, kAccessComKey, true);
  s.fallbackCommunity = [lists](std::uint16_t family, std::string_view address) {
    const CAccessList& list = family == snmpaccess::kFamilyIpx      ? (*lists)[1]
                                   : family == snmpaccess::kFamilySerial ? (*lists)[2]
                                                                         : (*lists)[0];
    return std::string(list.lookup(address).getCommunity);
  };
  s.startEngine = startEngine;
  devices::installMibDeviceReads(s);
}

DeviceReadsInstall::~DeviceReadsInstall() { devices::uninstallMibDeviceReads(); }

}  // namespace app
