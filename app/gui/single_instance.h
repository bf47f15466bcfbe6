#pragma once
// One running instance per user, settings file and display: the first instance answers on a local
// socket named after the user id and a digest of the settings file's path and the display (two
// settings files are two programs); a later one asks it to come to the front instead of starting a second window (unless
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

  // `settingsPath`: the settings file this instance runs on (empty: the default store).
  explicit SingleInstance(QString settingsPath = {}, QObject* parent = nullptr);
  ~SingleInstance() override;

  QString serverName() const { return serverNameFor(settingsPath_); }
  static QString serverNameFor(const QString& settingsPath);

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
  QString settingsPath_;
  QLocalServer* server_ = nullptr;
};
