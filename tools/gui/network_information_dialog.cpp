#include "tools/gui/network_information_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "tools/net_environment.h"
#include "tools/network_information.h"

CNetworkInformationDlg::CNetworkInformationDlg(const CNetEnvironment& environment, QWidget* parent) : QDialog(parent) {
  const CNetworkInformation info(environment);
  setWindowTitle(QString::fromUtf8(CNetworkInformation::kTitle));

  auto* form = new QFormLayout;
  for (const auto& field : info.fields()) {
    auto* value = new QLabel(QString::fromStdString(field.text));
    value->setObjectName(QStringLiteral("value:") + QString::fromStdString(field.label));
    // Texts from the network and the system: shown as they are, never as markup.
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromStdString(field.label), value);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void showNetworkInformation(QWidget* parent) {
  CNetworkInformationDlg dialog(netEnvironment(), parent);
  dialog.exec();
}
