#pragma once
// One running instance per user: the first instance answers on a local socket named after the
// user id; a later one asks it to come to the front instead of starting a second window (unless
// started with /new). The socket lives in $XDG_RUNTIME_DIR (private to the user), else in the
// temporary folder with access for the owner only.
#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // The answer a running instance gives, as it did to the old private message 0x8013.
  static constexpr const char* kAnswer = "123456789";

  explicit SingleInstance(QObject* parent = nullptr);
  ~SingleInstance() override;

  static QString serverName();

  // True when a running instance answers. `activate` also asks it to come to the front.
  bool ping(int timeoutMs = 2000) const;
  bool activate(int timeoutMs = 2000) const;
  // Starts answering later instances. A socket left by an instance that no longer answers is
  // replaced.
  bool listen();
  bool listening() const;

 signals:
  void activationRequested();

 private:
  bool request(const char* verb, int timeoutMs) const;
  void serve();
  QLocalServer* server_ = nullptr;
};
