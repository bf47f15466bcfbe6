#include "app/gui/unlisted_ip_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace gui {

CUnlistedIpDialog::CUnlistedIpDialog(app::CUnlistedIpSetup& model, app::InitSendServices services, QWidget* parent)
    : QDialog(parent), model_(model), services_(std::move(services)) {
  setWindowTitle(QStringLiteral("Setup Unlisted IP Server"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* fields = new QVBoxLayout;
  auto field = [&](const char* label, const char* name, int length) {
    auto* row = new QHBoxLayout;
    auto* l = new QLabel(QString::fromLatin1(label));
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(length);
    l->setBuddy(e);
    row->addWidget(l);
    row->addWidget(e);
    fields->addLayout(row);
    return e;
  };
  serial_ = field("Serial Number:", "serial", static_cast<int>(app::kSerialNumberLength));
  serial_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), serial_));
  address_ = field("IP Address:", "address", static_cast<int>(app::kAddressTextLength));
  top->addLayout(fields);
  auto* buttons = new QVBoxLayout;
  next_ = new QPushButton(QStringLiteral("&Next"));
  ok_ = new QPushButton(QStringLiteral("&OK"));
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"));
  next_->setObjectName(QStringLiteral("next"));
  ok_->setObjectName(QStringLiteral("ok"));
  next_->setDefault(true);
  for (auto* b : {next_, ok_, cancel}) buttons->addWidget(b);
  buttons->addStretch();
  top->addLayout(buttons);
  layout->addLayout(top);

  lower_ = new QWidget;
  lower_->setObjectName(QStringLiteral("lower"));
  auto* lowerLayout = new QVBoxLayout(lower_);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  auto* explain = new QLabel(QStringLiteral(
      "Setup will use this address to send information to the server (This may need to be modified if your "
      "network is subnetted):"));
  explain->setWordWrap(true);
  destination_ = new QLineEdit;
  destination_->setObjectName(QStringLiteral("destination"));
  destination_->setMaxLength(static_cast<int>(app::kAddressTextLength));
  multicast_ = new QCheckBox(QStringLiteral("Use &Multicast"));
  multicast_->setObjectName(QStringLiteral("multicast"));
  lowerLayout->addWidget(explain);
  lowerLayout->addWidget(destination_);
  lowerLayout->addWidget(multicast_);
  layout->addWidget(lower_);

  connect(next_, &QPushButton::clicked, this, &CUnlistedIpDialog::next);
  connect(ok_, &QPushButton::clicked, this, &CUnlistedIpDialog::ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(multicast_, &QCheckBox::toggled, this, [this](bool on) {
    pull();
    model_.setMulticast(on);
    push();
  });
  push();
}

void CUnlistedIpDialog::pull() {
  model_.setSerialNumber(serial_->text().toStdString());
  model_.setIpAddress(address_->text().toStdString());
  if (!model_.multicast) model_.setDestination(destination_->text().toStdString());
}

void CUnlistedIpDialog::push() {
  serial_->setText(QString::fromStdString(model_.serialNumber));
  address_->setText(QString::fromStdString(model_.ipAddress));
  destination_->setText(QString::fromStdString(model_.destination));
  destination_->setEnabled(!model_.multicast);
  const QSignalBlocker block(multicast_);
  multicast_->setChecked(model_.multicast);
  // The short form hides the lower part and OK.
  lower_->setVisible(model_.longForm);
  ok_->setVisible(model_.longForm);
  next_->setVisible(!model_.longForm);
  ok_->setDefault(model_.longForm);
  next_->setDefault(!model_.longForm);
  adjustSize();
}

void CUnlistedIpDialog::next() {
  pull();
  model_.next(services_);
  push();
}

void CUnlistedIpDialog::ok() {
  pull();
  const bool close = model_.accept(services_);
  push();
  if (close) accept();
}

CEnterIpDialog::CEnterIpDialog(std::function<bool(const std::string&)> onOk, QWidget* parent)
    : QDialog(parent), onOk_(std::move(onOk)) {
  setWindowTitle(QStringLiteral("Enter IP address"));
  auto* layout = new QVBoxLayout(this);
  edit_ = new QLineEdit;
  edit_->setObjectName(QStringLiteral("address"));
  edit_->setMaxLength(static_cast<int>(app::kAddressTextLength));
  layout->addWidget(edit_);
  auto* row = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"));
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  connect(ok, &QPushButton::clicked, this, &CEnterIpDialog::ok);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::string CEnterIpDialog::address() const { return edit_->text().toStdString(); }

void CEnterIpDialog::ok() {
  if (!onOk_ || onOk_(address())) accept();
}

}  // namespace gui
