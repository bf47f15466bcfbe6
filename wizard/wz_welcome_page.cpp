#include "wizard/wz_welcome_page.h"

namespace wizard {

const char* CWzWelcomeDlg::target(int index) {
  if (index < 0 || index >= linkCount()) return "";
  const WelcomeLink& link = kWelcomeLinks[static_cast<std::size_t>(index)];
  return link.url[0] ? link.url : link.text;
}

void CWzWelcomeDlg::opened(int index) {
  if (index >= 0 && index < linkCount()) visited_[static_cast<std::size_t>(index)] = true;
}

bool CWzWelcomeDlg::visited(int index) const {
  return index >= 0 && index < linkCount() && visited_[static_cast<std::size_t>(index)];
}

}  // namespace wizard
