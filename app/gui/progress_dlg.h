#pragma once
// The "Please Wait" window and the one wait of the user-interface thread. waitFor runs a nested
// event loop that ends on the awaited message, on Cancel, or on the time-out; the window shows
// only once a wait (with what begin() accumulated) has lasted 300 ms, and never in silent mode,
// where texts go to a sink instead. Called from another thread, waitFor polls the flags that
// this object's message handler sets on the GUI thread.
#include <QDialog>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "access/progress.h"

class QEventLoop;
class QPushButton;

namespace platform::qt {
class QtMessageTarget;
}

namespace gui {

class ProgressLine;

class CProgressDlg : public QDialog, public snmpaccess::ProgressWindow {
  Q_OBJECT

 public:
  // Silent mode's receiver of texts: a string id (0 when the text is given) and a text.
  using StatusSink = std::function<void(std::uint32_t stringId, const std::string& text)>;

  // `owner`: the window disabled while this one shows and centred on (the main window).
  explicit CProgressDlg(QWidget* owner = nullptr);
  ~CProgressDlg() override;

  // Silent mode: never shown; texts go to `sink` (which may be called on the waiting thread).
  void setSilent(StatusSink sink);
  bool isSilent() const { return silent_; }

  platform::MessageTarget* target() override;
  snmpaccess::WaitResult waitFor(std::uint32_t msg, int timeoutMs) override;
  void begin() override { begin(nullptr, nullptr); }
  // `disable` and `centre` default to the owner.
  void begin(QWidget* disable, QWidget* centre);
  void end() override;
  void setText(std::uint32_t stringId) override;
  void setText(const std::string& text) override;
  void setPercent(int percent) override;
  void stop() override;
  bool isStopped() const override { return stop_.load(); }

  QString text() const;
  int percent() const { return percent_; }
  int nesting() const { return nesting_; }
  QPushButton* cancelButton() const { return cancel_; }
  // How many times the window has become visible (tests, diagnostics).
  int timesShown() const { return timesShown_; }

 protected:
  void reject() override;  // Escape and closing press Cancel

 private:
  void becomeVisible();
  void becomeHidden();
  void onMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

  platform::qt::QtMessageTarget* messages_;
  ProgressLine* line_;
  QPushButton* cancel_;
  QPointer<QWidget> owner_;
  QPointer<QWidget> disabled_;
  QPointer<QWidget> centre_;
  QEventLoop* loop_ = nullptr;
  int nesting_ = 0;
  qint64 accumulatedMs_ = 0;
  bool visible_ = false;
  bool silent_ = false;
  StatusSink sink_;
  int percent_ = 0;
  int timesShown_ = 0;
  // Written by the GUI thread's handler and Cancel, read by a waiting thread.
  std::atomic<std::uint32_t> awaited_{0};
  std::atomic<bool> waiting_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> arrived_{false};
  std::atomic<std::uintptr_t> wParam_{0};
  std::atomic<std::intptr_t> lParam_{0};
};

}  // namespace gui
