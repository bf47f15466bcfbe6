#include "wizard/wz_finish_page.h"

namespace wizard {

std::string CWzFinishDlg::build(const std::vector<CWzPage*>& saveList) {
  std::string text = "The following changes will be made: \r\n";
  for (const CWzPage* page : saveList) text += page->GetChangeSummary();
  text += kRule;
  return text;
}

}  // namespace wizard
