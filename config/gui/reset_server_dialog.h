#pragma once
// "Reset Server": "&Reset", "&Cancel", "&Help" and the "Restore Factory Default Settings" group
// with the restorable parts and "Re&store"; every action is config::CResetServer's.
#include <QDialog>
#include <functional>

#include "config/reset_server.h"

class QListWidget;
class QPushButton;

namespace configgui {

class CResetServerDlg : public QDialog {
  Q_OBJECT
 public:
  CResetServerDlg(config::CResetServer& reset, QWidget* parent = nullptr);
  QListWidget* parts() const { return list_; }
  QPushButton* resetButton() const { return reset_; }
  QPushButton* restoreButton() const { return restore_; }
  // The OK/Cancel question ("Reset the Server?", ...); tests replace it.
  std::function<bool(std::uint32_t)> confirm;

 private:
  void onReset();
  void onRestore();

  config::CResetServer& model_;
  QListWidget* list_ = nullptr;
  QPushButton* reset_ = nullptr;
  QPushButton* restore_ = nullptr;
};

}  // namespace configgui
