#pragma once
// SIGTERM and SIGINT as a Qt signal on the GUI thread (self-pipe and QSocketNotifier), so that
// the program closes its window and saves its state instead of dying in the middle of a write.
#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; one object per process.
  explicit TerminationSignals(QObject* parent = nullptr);
  ~TerminationSignals() override;

 signals:
  void terminationRequested(int signalNumber);

 private:
  void drain();
  QSocketNotifier* notifier_ = nullptr;
};
