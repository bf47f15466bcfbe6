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

}  // namespace config
