#include "wizard/wz_print_service_dlg.h"

#include <algorithm>

#include "vines/streettalk_name.h"
#include "vines/vines_page.h"

namespace wizard {

CPrintServiceDlg::CPrintServiceDlg(int portCount, std::string name, int port) {
  const int count = std::clamp(portCount, 1, 16);
  for (int p = 1; p <= count; ++p) ports_.push_back({std::to_string(p), p});
  portIndex_ = std::max(0, config::findItem(ports_, port));
  if (!setName(name)) name_.clear();
}

int CPrintServiceDlg::nameLimit() { return static_cast<int>(vines::kStreetTalkNameLimit); }

void CPrintServiceDlg::selectPort(int index) {
  if (index >= 0 && index < static_cast<int>(ports_.size())) portIndex_ = index;
}

bool CPrintServiceDlg::setName(const std::string& text) {
  if (text.size() > vines::kStreetTalkNameLimit) return false;
  if (!std::all_of(text.begin(), text.end(), vines::streetTalkCharacterAccepted)) return false;
  name_ = text;
  return true;
}

config::PageCheck CPrintServiceDlg::accept() const {
  if (name_.empty() || !vines::isValidStreetTalkName(name_))
    return config::PageCheck::fail(vines::kTextInvalidName, "serviceName");
  return config::PageCheck::pass();
}

}  // namespace wizard
