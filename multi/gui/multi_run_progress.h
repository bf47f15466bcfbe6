#pragma once
// The "Please Wait" window of a multi-unit run: the run goes on a worker thread (which serves a
// few units at once), each unit's "Setting NAME" comes back as a posted call and moves the bar,
// Stop asks the run to take no further unit. The window stays responsive throughout and closes
// itself when the worker is done; the worker is joined before the window goes away.
#include <QDialog>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace multigui {

class CMultiRunProgressDlg : public QDialog {
  Q_OBJECT

 public:
  // `job(stop, progress)`: `progress` may be called from any thread.
  using Job = std::function<void(const std::atomic<bool>& stop, const std::function<void(const std::string&)>& progress)>;

  CMultiRunProgressDlg(const QString& firstText, int steps, QWidget* parent = nullptr);
  ~CMultiRunProgressDlg() override;

  // Shows the window modally until `job` has returned.
  void run(Job job);
  bool stopped() const { return stop_.load(); }
  QString text() const;
  int done() const { return done_; }
  QPushButton* stopButton() const { return stopButton_; }

 public slots:
  void stop();

 protected:
  void reject() override;  // Escape and closing press Stop

 private:
  void step(const QString& text);

  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* stopButton_;
  std::atomic<bool> stop_{false};
  bool finished_ = false;
  int done_ = 0;
  std::thread worker_;
};

}  // namespace multigui
