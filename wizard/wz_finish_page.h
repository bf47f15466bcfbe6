#pragma once
// CWzFinishDlg: "Verify Settings Before Saving". Lists every pending change: the summary of each
// page on the save list, in the order the pages were read.
#include <string>
#include <vector>

#include "wizard/wz_page.h"

namespace wizard {

inline constexpr const char* kVerifyIntro =
    "Please verify that the following settings are correct.  If you press \"Finish\", the Server will retain "
    "these settings and reset. ";

class CWzFinishDlg : public CWzPage {
 public:
  int id() const override { return kFinishId; }
  const char* title() const override { return "Verify Settings Before Saving"; }
  // Built on every activation.
  static std::string build(const std::vector<CWzPage*>& saveList);
};

}  // namespace wizard
