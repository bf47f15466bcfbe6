#include "status/gui/diagnostics_sheet_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace statusgui {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

// The unit's texts carry CR LF; the widgets break at LF.
QString shown(const std::string& s) {
  QString t = q(s);
  t.remove(QLatin1Char('\r'));
  return t;
}

}  // namespace

CDiagnosticsSheetDialog::CDiagnosticsSheetDialog(status::CDiagnosticsPropSheet& sheet, const QString& title,
                                                 QWidget* parent)
    : QDialog(parent), sheet_(sheet) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  layout->addWidget(tabs_);
  auto* buttons = new QHBoxLayout;
  refresh_ = new QPushButton(tr("&Refresh"), this);
  save_ = new QPushButton(tr("&Save"), this);
  auto* close = new QPushButton(tr("Close"), this);
  buttons->addWidget(refresh_);
  buttons->addWidget(save_);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(refresh_, &QPushButton::clicked, this, &CDiagnosticsSheetDialog::refresh);
  connect(save_, &QPushButton::clicked, this, &CDiagnosticsSheetDialog::saveReport);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  clock_ = [] { return std::time(nullptr); };
  build();
  resize(520, 440);
}

void CDiagnosticsSheetDialog::build() {
  tabs_->clear();
  rows_.clear();
  tabs_->addTab(printerPage(), tr("Printer"));
  tabs_->addTab(rowsPage(sheet_.serverPage()), tr("Server"));
  tabs_->addTab(networkPage(), tr("Network"));
  tabs_->addTab(rowsPage(sheet_.statisticsPage()), tr("Statistics"));
  tabs_->addTab(rowsPage(sheet_.techSupportPage()), tr("Tech Support"));
  tabs_->addTab(rowsPage(sheet_.systemPage()), tr("System"));
  if (sheet_.hasPjlPage()) tabs_->addTab(pjlPage(), tr("PJL"));
  if (sheet_.hasWirelessPage()) tabs_->addTab(rowsPage(sheet_.wirelessPage()), tr("Wireless"));
  showValues();
}

QWidget* CDiagnosticsSheetDialog::rowsPage(status::CStatusPage& page) {
  auto* w = new QWidget;
  auto* form = new QFormLayout(w);
  page.ShowValues();
  for (const status::StatusRow& r : page.rows()) {
    auto* name = new QLabel(q(r.label), w);
    QWidget* value = nullptr;
    if (r.value.find('\n') != std::string::npos || r.label == "Technical Support:") {
      auto* text = new QPlainTextEdit(w);
      text->setReadOnly(true);
      text->setMaximumHeight(80);
      value = text;
    } else {
      auto* line = new QLineEdit(w);
      line->setReadOnly(true);
      value = line;
    }
    value->setObjectName(q(r.label));
    form->addRow(name, value);
    rows_.push_back({&page, r.label, name, value});
  }
  return w;
}

QWidget* CDiagnosticsSheetDialog::printerPage() {
  auto* w = new QWidget;
  auto* layout = new QVBoxLayout(w);
  auto* top = new QHBoxLayout;
  auto* label = new QLabel(tr("Port &Number:"), w);
  ports_ = new QComboBox(w);
  label->setBuddy(ports_);
  for (int p = 0; p < sheet_.printerPage().portCount(); ++p) ports_->addItem(QString::number(p + 1));
  ports_->setCurrentIndex(sheet_.printerPage().port());
  label->setVisible(sheet_.printerPage().portListShown());
  ports_->setVisible(sheet_.printerPage().portListShown());
  top->addWidget(label);
  top->addWidget(ports_);
  top->addStretch();
  layout->addLayout(top);
  layout->addWidget(rowsPage(sheet_.printerPage()));
  layout->addStretch();
  connect(ports_, &QComboBox::currentIndexChanged, this, [this](int index) {
    sheet_.printerPage().selectPort(index);
    showValues();
  });
  return w;
}

QWidget* CDiagnosticsSheetDialog::networkPage() {
  auto* w = new QWidget;
  auto* layout = new QVBoxLayout(w);
  protocols_ = new QComboBox(w);
  for (const auto& [number, name] : sheet_.networkPage().items()) protocols_->addItem(q(name), number);
  networkText_ = new QPlainTextEdit(w);
  networkText_->setReadOnly(true);
  networkText_->setTabStopDistance(90);
  layout->addWidget(protocols_);
  layout->addWidget(networkText_);
  connect(protocols_, &QComboBox::currentIndexChanged, this, [this](int index) {
    sheet_.networkPage().selectProtocol(index < 0 ? 0 : protocols_->itemData(index).toInt());
    networkText_->setPlainText(shown(sheet_.networkPage().sectionText(sheet_.networkPage().selected())));
  });
  return w;
}

QWidget* CDiagnosticsSheetDialog::pjlPage() {
  status::CPjlPage& page = sheet_.pjlPage();
  // The log lives as long as the sheet: Refresh rebuilds the tabs, not the log.
  if (!pjlCreated_) page.create();
  pjlCreated_ = true;
  page.setMessageSink([this](const std::string& m) {
    if (inform_)
      inform_(q(m));
    else
      QMessageBox::warning(this, windowTitle(), q(m));
  });
  auto* w = new QWidget;
  auto* layout = new QVBoxLayout(w);
  auto* form = new QFormLayout;
  pjlPortLabel_ = new QLabel(tr("Port &Number:"), w);
  pjlPorts_ = new QComboBox(w);
  pjlPortLabel_->setBuddy(pjlPorts_);
  for (int p = 0; p < page.portCount(); ++p) pjlPorts_->addItem(QString::number(p + 1));
  pjlPorts_->setCurrentIndex(page.portIndex());
  form->addRow(pjlPortLabel_, pjlPorts_);
  pjlRequests_ = new QComboBox(w);
  for (const status::PjlRequest& r : status::kPjlRequests) pjlRequests_->addItem(QString::fromLatin1(r.item));
  auto* requestLabel = new QLabel(tr("&Request:"), w);
  requestLabel->setBuddy(pjlRequests_);
  form->addRow(requestLabel, pjlRequests_);
  layout->addLayout(form);
  auto* sendRow = new QHBoxLayout;
  pjlSend_ = new QPushButton(tr("&Send"), w);
  pjlStatus_ = new QLabel(tr("Status..."), w);
  sendRow->addWidget(pjlSend_);
  sendRow->addWidget(pjlStatus_, 1);
  layout->addLayout(sendRow);
  layout->addWidget(new QLabel(tr("Response:"), w));
  pjlResponse_ = new QPlainTextEdit(w);
  pjlResponse_->setReadOnly(true);
  layout->addWidget(pjlResponse_, 1);
  pjlMessage_ = new QLabel(w);
  layout->addWidget(pjlMessage_);
  auto* bottom = new QHBoxLayout;
  auto* clear = new QPushButton(tr("&Clear"), w);
  pjlSave_ = new QPushButton(tr("Save &PJL"), w);
  bottom->addWidget(clear);
  bottom->addStretch();
  bottom->addWidget(pjlSave_);
  layout->addLayout(bottom);

  connect(pjlPorts_, &QComboBox::currentIndexChanged, this, [this](int i) {
    sheet_.pjlPage().selectPort(i);
    showPjl();
  });
  connect(pjlRequests_, &QComboBox::currentIndexChanged, this, [this](int i) { sheet_.pjlPage().selectRequest(i); });
  connect(pjlSend_, &QPushButton::clicked, this, [this] {
    pjlStatus_->setText(q(status::pjltexts::kSending));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    sheet_.pjlPage().send();
    QApplication::restoreOverrideCursor();
    showPjl();
    if (const int lines = sheet_.pjlPage().scrollLines())
      pjlResponse_->verticalScrollBar()->setValue(pjlResponse_->verticalScrollBar()->value() + lines);
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    sheet_.pjlPage().clear();
    showPjl();
  });
  connect(pjlSave_, &QPushButton::clicked, this, [this] {
    QString path;
    if (!chooseFile(q(status::pjltexts::kSaveTitle), q(sheet_.pjlPage().defaultFileName()), path)) return;
    sheet_.pjlPage().save(path.toStdString(), clock_());
  });
  connect(tabs_, &QTabWidget::currentChanged, this, [this, w](int) {
    if (tabs_->currentWidget() == w) {
      sheet_.pjlPage().activate();
      showPjl();
    }
  });
  showPjl();
  return w;
}

void CDiagnosticsSheetDialog::showPjl() {
  if (!pjlResponse_) return;
  const status::CPjlPage& page = sheet_.pjlPage();
  pjlPortLabel_->setVisible(page.portListShown());
  pjlPorts_->setVisible(page.portListShown());
  pjlSend_->setEnabled(page.sendEnabled());
  pjlSave_->setEnabled(page.saveEnabled());
  pjlStatus_->setText(page.statusText().empty() ? tr("Status...") : q(page.statusText()));
  pjlMessage_->setText(q(page.message()));
  pjlResponse_->setPlainText(shown(page.response()));
}

void CDiagnosticsSheetDialog::showValues() {
  for (status::CStatusPage* p : sheet_.pages()) p->ShowValues();
  for (Row& r : rows_) {
    std::string value;
    bool visible = false;
    for (const status::StatusRow& row : r.page->rows())
      if (row.label == r.label) {
        value = row.value;
        visible = row.shown;
      }
    if (auto* line = qobject_cast<QLineEdit*>(r.value)) line->setText(q(value));
    if (auto* text = qobject_cast<QPlainTextEdit*>(r.value)) text->setPlainText(shown(value));
    r.name->setVisible(visible);
    r.value->setVisible(visible);
  }
  if (networkText_)
    networkText_->setPlainText(shown(sheet_.networkPage().sectionText(sheet_.networkPage().selected())));
}

QWidget* CDiagnosticsSheetDialog::field(const QString& page, const QString& label) const {
  for (const Row& r : rows_)
    if (QString::fromLatin1(r.page->title()) == page && q(r.label) == label) return r.value;
  return nullptr;
}

void CDiagnosticsSheetDialog::refresh() {
  if (busy_) busy_(true);
  const int rc = sheet_.Refresh();
  if (busy_) busy_(false);
  if (rc != 0) return;  // the message is said; the pages keep what they showed
  const int current = tabs_->currentIndex();
  build();
  tabs_->setCurrentIndex(current < tabs_->count() ? current : 0);
}

bool CDiagnosticsSheetDialog::chooseFile(const QString& title, const QString& defaultName, QString& path) {
  if (choose_) {
    path = choose_(title, defaultName);
    if (path.isEmpty()) return false;
    if (QFileInfo::exists(path)) {
      QString text = QString::fromLatin1(status::texts::kOverwrite);
      text.replace(QLatin1String("%s"), path);
      if (!confirm_ || !confirm_(text)) return false;
    }
    return true;
  }
  path = QFileDialog::getSaveFileName(this, title, QApplication::applicationDirPath() + "/" + defaultName,
                                      tr("Text Files (*.txt);;All Files (*.*)"));
  return !path.isEmpty();
}

void CDiagnosticsSheetDialog::saveReport() {
  QString path;
  if (!chooseFile(q(status::texts::kSaveTitle), q(sheet_.defaultReportName()), path)) return;
  sheet_.saveReport(path.toStdString(), clock_());
}

}  // namespace statusgui
