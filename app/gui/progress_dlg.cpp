#include "app/gui/progress_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "access/community_check.h"
#include "platform/qt/qt_message_target.h"
#include "platform/string_table.h"

namespace gui {
namespace {

constexpr qint64 kShowAfterMs = 300;
constexpr qint64 kPerWaitOverheadMs = 20;
constexpr std::uint32_t kTextPleaseWait = 42110;

QString stringOf(std::uint32_t id) {
  const char* s = platform::loadString(id);
  return QString::fromUtf8(s ? s : "");
}

}  // namespace

// The text line that doubles as a progress bar: the done part in the highlight colours, the
// rest in the button colour, the text centred over both.
class ProgressLine final : public QWidget {
 public:
  explicit ProgressLine(QWidget* parent) : QWidget(parent) { setMinimumSize(280, fontMetrics().height() + 8); }
  void set(const QString& text, int percent) {
    text_ = text;
    percent_ = percent;
    update();
  }
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect all = rect();
    const int split = all.width() * percent_ / 100;
    const QRect done(all.left(), all.top(), split, all.height());
    const QRect rest(all.left() + split, all.top(), all.width() - split, all.height());
    p.fillRect(done, palette().highlight());
    p.fillRect(rest, palette().button());
    p.setClipRect(done);
    p.setPen(palette().highlightedText().color());
    p.drawText(all, Qt::AlignCenter, text_);
    p.setClipRect(rest);
    p.setPen(palette().buttonText().color());
    p.drawText(all, Qt::AlignCenter, text_);
  }

 private:
  QString text_;
  int percent_ = 0;
};

CProgressDlg::CProgressDlg(QWidget* owner)
    : QDialog(owner), messages_(new platform::qt::QtMessageTarget(this)), owner_(owner) {
  setWindowTitle(stringOf(kTextPleaseWait));
  line_ = new ProgressLine(this);
  cancel_ = new QPushButton(stringOf(snmpaccess::kTextCancel), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(line_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  buttons->addStretch();
  layout->addLayout(buttons);
  setCursor(Qt::WaitCursor);
  cancel_->setCursor(Qt::ArrowCursor);
  setModal(true);
  connect(cancel_, &QPushButton::clicked, this, [this] { stop(); });
  messages_->setHandler([this](const platform::Message& m) { onMessage(m.msg, m.wParam, m.lParam); });
}

CProgressDlg::~CProgressDlg() {
  if (loop_) loop_->quit();
}

void CProgressDlg::setSilent(StatusSink sink) {
  silent_ = true;
  sink_ = std::move(sink);
  if (visible_) becomeHidden();
}

platform::MessageTarget* CProgressDlg::target() { return messages_; }

void CProgressDlg::onMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (!waiting_.load() || msg != awaited_.load()) return;
  wParam_.store(wParam);
  lParam_.store(lParam);
  arrived_.store(true);
  if (loop_) loop_->quit();
}

snmpaccess::WaitResult CProgressDlg::waitFor(std::uint32_t msg, int timeoutMs) {
  timeoutMs = std::max(timeoutMs, 0);
  awaited_.store(msg);
  stop_.store(false);
  arrived_.store(false);
  waiting_.store(true);
  QElapsedTimer clock;
  clock.start();
  bool shownHere = false;

  if (QThread::currentThread() == thread()) {
    QEventLoop loop;
    loop_ = &loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(timeoutMs);
    QTimer reveal;
    reveal.setSingleShot(true);
    connect(&reveal, &QTimer::timeout, this, [&] {
      if (!visible_ && !silent_) {
        becomeVisible();
        shownHere = true;
      }
    });
    if (!visible_ && !silent_) reveal.start(static_cast<int>(std::max<qint64>(0, kShowAfterMs + 1 - accumulatedMs_)));
    loop.exec();
    loop_ = nullptr;
  } else {
    // Another thread: the GUI thread's handler and Cancel set the flags; look every 10 ms.
    while (!stop_.load() && !arrived_.load() && clock.elapsed() < timeoutMs) QThread::msleep(10);
  }
  waiting_.store(false);
  if (shownHere) becomeHidden();
  accumulatedMs_ += clock.elapsed() + kPerWaitOverheadMs;

  snmpaccess::WaitResult r;
  if (stop_.load()) {
    r.status = snmpaccess::WaitStatus::Stopped;
  } else if (arrived_.load()) {
    r.status = snmpaccess::WaitStatus::Arrived;
    r.message = {msg, wParam_.load(), lParam_.load()};
  } else {
    r.status = snmpaccess::WaitStatus::TimedOut;
  }
  return r;
}

void CProgressDlg::begin(QWidget* disable, QWidget* centre) {
  if (nesting_++ == 0) {
    disabled_ = disable ? disable : owner_.data();
    centre_ = centre ? centre : owner_.data();
    accumulatedMs_ = 0;
  }
  if (!visible_ && !silent_) becomeVisible();
}

void CProgressDlg::end() {
  if (nesting_ == 0) return;
  if (--nesting_ == 0) {
    if (visible_) becomeHidden();
    setPercent(0);
  }
}

void CProgressDlg::becomeVisible() {
  visible_ = true;
  ++timesShown_;
  adjustSize();
  if (QWidget* c = centre_ ? centre_.data() : owner_.data()) {
    move(c->frameGeometry().center() - rect().center());
  } else if (QScreen* s = screen()) {
    move(s->availableGeometry().center() - rect().center());
  }
  show();
  cancel_->setFocus();
}

void CProgressDlg::becomeHidden() {
  visible_ = false;
  hide();
  // The focus goes back to the window that had it before.
  if (QWidget* d = disabled_ ? disabled_.data() : owner_.data()) d->activateWindow();
}

void CProgressDlg::setText(std::uint32_t stringId) {
  if (silent_) {
    if (sink_) sink_(stringId, std::string());
    return;
  }
  const char* s = platform::loadString(stringId);
  setText(std::string(s ? s : ""));
}

void CProgressDlg::setText(const std::string& text) {
  if (silent_) {
    if (sink_) sink_(0, text);
    return;
  }
  line_->set(QString::fromStdString(text), percent_);
}

void CProgressDlg::setPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  line_->set(line_->text(), percent_);
}

QString CProgressDlg::text() const { return line_->text(); }

void CProgressDlg::stop() {
  stop_.store(true);
  if (QThread::currentThread() == thread()) {
    if (loop_) loop_->quit();
  } else {
    QMetaObject::invokeMethod(this, [this] {
      if (loop_) loop_->quit();
    }, Qt::QueuedConnection);
  }
}

void CProgressDlg::reject() { stop(); }

}  // namespace gui
