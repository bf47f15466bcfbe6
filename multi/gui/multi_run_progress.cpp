#include "multi/gui/multi_run_progress.h"

#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace multigui {

CMultiRunProgressDlg::CMultiRunProgressDlg(const QString& firstText, int steps, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Please Wait"));
  setObjectName(QStringLiteral("multiRunProgress"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  label_ = new QLabel(firstText, this);
  label_->setObjectName(QStringLiteral("text"));
  label_->setMinimumWidth(320);
  layout->addWidget(label_);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, std::max(1, steps));
  bar_->setValue(0);
  layout->addWidget(bar_);
  stopButton_ = new QPushButton(QStringLiteral("Stop"), this);
  stopButton_->setObjectName(QStringLiteral("stop"));
  connect(stopButton_, &QPushButton::clicked, this, &CMultiRunProgressDlg::stop);
  layout->addWidget(stopButton_, 0, Qt::AlignHCenter);
}

CMultiRunProgressDlg::~CMultiRunProgressDlg() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

void CMultiRunProgressDlg::run(Job job) {
  finished_ = false;
  auto progress = [this](const std::string& text) {
    // Queued to this window's thread; dropped when the window is gone.
    QMetaObject::invokeMethod(this, [this, t = QString::fromStdString(text)] { step(t); }, Qt::QueuedConnection);
  };
  worker_ = std::thread([this, job = std::move(job), progress] {
    job(stop_, progress);
    QMetaObject::invokeMethod(this, [this] {
      finished_ = true;
      QDialog::accept();
    }, Qt::QueuedConnection);
  });
  exec();
  worker_.join();
}

void CMultiRunProgressDlg::step(const QString& text) {
  label_->setText(text);
  bar_->setValue(std::min(bar_->maximum(), ++done_));
}

QString CMultiRunProgressDlg::text() const { return label_->text(); }

void CMultiRunProgressDlg::stop() {
  // Units already in flight finish; no further unit is taken.
  stop_ = true;
  stopButton_->setEnabled(false);
}

void CMultiRunProgressDlg::reject() {
  if (finished_) {
    QDialog::reject();
    return;
  }
  stop();
}

}  // namespace multigui
