#include "app/gui/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "platform/registry.h"

namespace {

constexpr qint64 kMaxRequest = 64;

}  // namespace

SingleInstance::SingleInstance(QString settingsPath, QObject* parent)
    : QObject(parent), settingsPath_(std::move(settingsPath)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverNameFor(const QString& settingsPath) {
  QString path = settingsPath.isEmpty() ? QString::fromStdString(platform::Registry::defaultPath()) : settingsPath;
  // One file named two ways is one program: the folder is resolved where it exists.
  const QFileInfo info(path);
  const QString folder = info.absoluteDir().canonicalPath();
  path = folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
  QByteArray display = qgetenv("WAYLAND_DISPLAY");
  if (display.isEmpty()) display = qgetenv("DISPLAY");
  // A digest keeps the socket path well within the length a local socket name may have.
  const QByteArray key = path.toUtf8() + '\0' + display;
  const QString digest = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
  const QString name = QStringLiteral("trellan-%1-%2").arg(::getuid()).arg(digest);
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  const QString dir = !runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()
                          ? QString::fromLocal8Bit(runtime)
                          : QDir::tempPath();
  return QDir(dir).filePath(name);
}

bool SingleInstance::request(const char* verb, int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(serverName());
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(verb);
  socket.write("\n");
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray reply;
  while (!reply.contains('\n') && reply.size() < kMaxRequest) {
    if (!socket.waitForReadyRead(timeoutMs)) break;
    reply += socket.read(kMaxRequest - reply.size());
  }
  return reply.trimmed() == kAnswer;
}

bool SingleInstance::ping(int timeoutMs) const { return request("PING", timeoutMs); }

bool SingleInstance::activate(int timeoutMs) const { return request("ACTIVATE", timeoutMs); }

bool SingleInstance::listening() const { return server_ && server_->isListening(); }

bool SingleInstance::listen() {
  if (listening()) return true;
  if (!server_) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::serve);
  }
  if (server_->listen(serverName())) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
  // Someone else may have just started; only a socket that nobody answers is stale.
  if (ping(500)) return false;
  QLocalServer::removeServer(serverName());
  return server_->listen(serverName());
}

void SingleInstance::serve() {
  while (QLocalSocket* client = server_->nextPendingConnection()) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    // A peer that connects and stays silent is dropped.
    QTimer::singleShot(5000, client, [client] { client->abort(); });
    connect(client, &QLocalSocket::readyRead, this, [this, client] {
      if (!client->canReadLine()) {
        // A peer that sends no line within the bound is not one of ours.
        if (client->bytesAvailable() > kMaxRequest) client->abort();
        return;
      }
      const QByteArray verb = client->readLine(kMaxRequest).trimmed();
      if (verb == "PING" || verb == "ACTIVATE") {
        client->write(kAnswer);
        client->write("\n");
        client->flush();
        if (verb == "ACTIVATE") emit activationRequested();
      }
      client->disconnectFromServer();
    });
  }
}
