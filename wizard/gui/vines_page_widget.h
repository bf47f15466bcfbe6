#pragma once
// The VINES page: StreetTalk user, password and its confirmation, the notice, the print-service
// list ("VINES Print Service", "Port #") with Add, Edit and Remove, which open the "Print Service"
// dialog. The buttons open and close by the page model's counts.
#include <QWidget>
#include <functional>

#include "wizard/gui/wizard_page_hooks.h"
#include "wizard/wz_vines_page.h"

namespace wizardgui {

// Builds the page's controls into `page`; returns what refreshes them from the model.
std::function<void()> buildVinesPage(QWidget* page, wizard::CWzBanyanDlg& model, const PageHooks& hooks);

}  // namespace wizardgui
