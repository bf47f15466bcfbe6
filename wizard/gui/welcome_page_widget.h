#pragma once
// The Welcome page: the greeting, two informational lines each followed by its link, and the
// picture that links to the maker's site. A click opens the link through the hooks; a refused
// open beeps, an accepted one draws the link in the visited colour.
#include <QWidget>
#include <functional>

#include "wizard/gui/wizard_page_hooks.h"
#include "wizard/wz_welcome_page.h"

namespace wizardgui {

// Builds the page's controls into `page`; returns what refreshes them from the model.
std::function<void()> buildWelcomePage(QWidget* page, wizard::CWzWelcomeDlg& model, const PageHooks& hooks);

}  // namespace wizardgui
