#pragma once
// "Write Only Information": four fields over config::WriteOnlyInfoModel; OK stores them in the
// model, any other close leaves the model empty.
#include <QDialog>

#include "config/config_backup.h"

class QLineEdit;

namespace configgui {

class CWriteOnlyInfoDlg : public QDialog {
  Q_OBJECT
 public:
  CWriteOnlyInfoDlg(config::WriteOnlyInfoModel& model, QWidget* parent = nullptr);
  void accept() override;
  QLineEdit* field(config::WriteOnlyInfoModel::Field f) const { return fields_[f]; }

 private:
  config::WriteOnlyInfoModel& model_;
  QLineEdit* fields_[config::WriteOnlyInfoModel::FieldCount] = {};
};

}  // namespace configgui
