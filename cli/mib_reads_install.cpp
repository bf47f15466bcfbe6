#include "cli/mib_reads_install.h"

#include <array>
#include <memory>
#include <string>

#include "access/snmp_target.h"
#include "app/access_list.h"
#include "app/oem_family_table.h"
#include "app/settings.h"
#include "devices/mib_device_reads.h"
#include "platform/registry.h"

namespace cli {

MibReadsInstall::MibReadsInstall() {
  platform::Registry registry;
  devices::MibReadSettings s;
  s.getTimeout = app::readSetting(registry, app::kTimeoutsKey, "GetTimeout");
  app::OemFamilyTable& table = app::oemFamilyTable();
  if (table.count() == 0) table.fill(registry);
  for (std::size_t i = 0; i < table.count(); ++i) s.families.emplace_back(table[i].code, table[i].prefix);
  // A device that reported no GET community is asked with its access-list entry's.
  auto lists = std::make_shared<std::array<app::CAccessList, 3>>();
  (*lists)[0].load(registry, app::kAccessIpKey, true);
  (*lists)[1].load(registry, app::kAccessNwKey, true);
  (*lists)[2].load(registry, app::kAccessComKey, true);
  s.fallbackCommunity = [lists](std::uint16_t family, std::string_view address) {
    const app::CAccessList& list = family == snmpaccess::kFamilyIpx      ? (*lists)[1]
                                   : family == snmpaccess::kFamilySerial ? (*lists)[2]
                                                                         : (*lists)[0];
    return std::string(list.lookup(address).getCommunity);
  };
  // Nothing else starts the engine for query and discover.
  s.startEngine = true;
  devices::installMibDeviceReads(s);
}

MibReadsInstall::~MibReadsInstall() { devices::uninstallMibDeviceReads(); }

}  // namespace cli
