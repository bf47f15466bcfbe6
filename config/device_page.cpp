#include "config/device_page.h"

namespace config {

void CDevicePage::open() {
  if (initialised_) return;
  initialised_ = true;
  AdjustControls();
  ShowValues();
}

int CDevicePage::LoadFromFile(const std::string& path) {
  noteRestored();
  return loadGroups(path);
}

int CDevicePage::Save(snmpaccess::CSnmpSession& session) {
  if (initialised_)
    storeFields();
  else if (restored_ == 0)
    return 0;  // never opened, never restored: nothing to write
  return writeGroups(session);
}

int CDevicePage::saveGroupsToFile(const std::string& path) {
  int first = 0;
  for (snmpaccess::CMibGroup* g : groups())
    if (const int rc = g->saveBackupFile(path); rc && !first) first = rc;
  return first;
}

int CDevicePage::loadGroupsFromFile(const std::string& path) {
  int first = 0;
  for (snmpaccess::CMibGroup* g : groups())
    if (const int rc = g->restoreBackupFile(path); rc && !first) first = rc;
  return first;
}

}  // namespace config
