#include "app/platform/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QLocalSocket>

#include <unistd.h>

namespace app {

namespace {

constexpr int TIMEOUT_MS = 2000;
// A command line is a word; anything longer is not a client of ours.
constexpr qint64 MAX_COMMAND = 64;

} // namespace

SingleInstance::SingleInstance(QObject* control, CommandHandler handler, QObject* parent)
    : QObject(parent), control_(control), handler_(std::move(handler)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketName() {
    // The user's runtime folder is private to the user; the temporary folder is shared, so
    // there the name carries the uid.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) {
        return runtime + QStringLiteral("/kadrel.socket");
    }
    return QStringLiteral("kadrel-%1").arg(::getuid());
}

SingleInstance::Role SingleInstance::claim() {
    Role role = Role::Primary;
    if (!claimOnSessionBus(role)) {
        claimLocalSocket(role);
    }
    return role;
}

bool SingleInstance::claimOnSessionBus(Role& role) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    channel_ = QStringLiteral("session bus");
    // The object first, so that a caller who sees the name finds it.
    bus.registerObject(QString::fromLatin1(PATH), control_,
                       QDBusConnection::ExportScriptableSlots |
                           QDBusConnection::ExportScriptableProperties);
    if (bus.registerService(QString::fromLatin1(SERVICE))) {
        role = Role::Primary;
        return true;
    }
    bus.unregisterObject(QString::fromLatin1(PATH));
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(SERVICE), QString::fromLatin1(PATH),
                                       QString::fromLatin1(INTERFACE), QStringLiteral("Reopen"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, TIMEOUT_MS);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // The owner vanished meanwhile or does not answer: guard with the socket instead.
        return false;
    }
    role = Role::Secondary;
    return true;
}

void SingleInstance::claimLocalSocket(Role& role) {
    channel_ = QStringLiteral("local socket");
    const QString name = socketName();
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(TIMEOUT_MS)) {
        socket.write("reopen\n");
        socket.waitForBytesWritten(TIMEOUT_MS);
        socket.waitForReadyRead(TIMEOUT_MS);
        role = Role::Secondary;
        return;
    }
    // Nobody answers: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(name);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    role = Role::Primary; // without the socket too, run unguarded rather than not at all
    if (!server_->listen(name)) {
        server_.reset();
        return;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            serve(client);
        }
    });
}

void SingleInstance::serve(QLocalSocket* client) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, client, [this, client] {
        if (!client->canReadLine()) {
            if (client->bytesAvailable() > MAX_COMMAND) {
                client->abort();
            }
            return;
        }
        const QString command = QString::fromUtf8(client->readLine(MAX_COMMAND)).trimmed();
        client->write(handler_(command).toUtf8());
        client->disconnectFromServer();
    });
}

} // namespace app
