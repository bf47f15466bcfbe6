#pragma once
// The TCP/IP page's two dialogs as Qt windows over their models: "Change Password" and
// "Advanced TCP/IP Configuration". Each returns true on an accepted OK.
#include <QWidget>
#include <string>

#include "config/advanced_tcpip.h"
#include "config/change_password.h"

namespace configgui {

// The new password on OK (the rules' checks keep the dialog open with their message).
bool runChangePassword(QWidget* parent, const config::PasswordRules& rules, std::string& password);
// Edits `dialog.values`; OK only when the dialog's check passes.
bool runAdvancedTcpIp(QWidget* parent, config::CAdvancedTcpIpDlg& dialog);

}  // namespace configgui
