// Feeds arbitrary text to the backup-file loader: the text is read as a profile file and every
// catalogue group (rows up to the twelfth, so the sections past "9" are looked up too) takes
// its sections from it, by catalogue section and by string id. No input may crash, read out of
// bounds, or mark a variable that a backup file never restores.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "access/mib_group.h"
#include "access/mib_strings.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace snmpaccess;
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::Profile file;
  file.parse(text);
  for (const mib::GroupDef* def : mib::allGroups()) {
    for (long row : {-1L, 0L, 9L, 11L}) {
      if ((def->kind == mib::GroupKind::Row) != (row >= 0)) continue;
      GroupParams p;
      p.row = row;
      p.level = 8;
      p.entries = 2;
      p.ports = 2;
      CMibGroup g(*def, p);
      g.restoreBackup(file);
      g.restoreById(mib::kStringTcpIpSection, file);
      g.restoreById(def->backup.stringId, file);
      for (int i = 0; i < g.count(); ++i)
        if (g.excluded(i) && g.changed(i)) std::abort();
    }
  }
  return 0;
}
