#pragma once
// The "Network Information" dialog: the network record's fields, one OK button.
#include <QDialog>

class CNetEnvironment;

class CNetworkInformationDlg : public QDialog {
  Q_OBJECT

 public:
  // Each value label is named "value:" + the field's label (e.g. "value:Host Name:").
  explicit CNetworkInformationDlg(const CNetEnvironment& environment, QWidget* parent = nullptr);
};

// Shows the dialog for the process-wide record (command 32887) and waits until it is closed.
void showNetworkInformation(QWidget* parent);
