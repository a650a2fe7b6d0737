#include "app/platform/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLocalSocket>

#include <unistd.h>

namespace app {

namespace {

constexpr int LOCAL_TIMEOUT_MS = 2000;

QString defaultSocketName() {
    // QLocalServer puts relative names in the temporary folder; the uid keeps users apart.
    return QStringLiteral("kadrel-%1").arg(::getuid());
}

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::claim(const QString& socketName) {
    Role role = Role::Primary;
    if (claimOnSessionBus(role)) {
        return role;
    }
    claimLocalSocket(socketName.isEmpty() ? defaultSocketName() : socketName, role);
    return role;
}

void SingleInstance::Reopen() {
    Q_EMIT reopenRequested();
}

bool SingleInstance::claimOnSessionBus(Role& role) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    channel_ = QStringLiteral("session bus");
    if (bus.registerService(QString::fromLatin1(SERVICE))) {
        bus.registerObject(QString::fromLatin1(PATH), this, QDBusConnection::ExportScriptableSlots);
        role = Role::Primary;
        return true;
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(SERVICE), QString::fromLatin1(PATH),
        QString::fromLatin1("org.kadrel.Kadrel"), QStringLiteral("Reopen"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, LOCAL_TIMEOUT_MS);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // The owner vanished between the two calls or does not answer: take over the socket
        // fallback rather than run without any guard.
        return false;
    }
    role = Role::Secondary;
    return true;
}

bool SingleInstance::claimLocalSocket(const QString& name, Role& role) {
    channel_ = QStringLiteral("local socket");
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(LOCAL_TIMEOUT_MS)) {
        socket.write("reopen\n");
        socket.waitForBytesWritten(LOCAL_TIMEOUT_MS);
        socket.disconnectFromServer();
        role = Role::Secondary;
        return true;
    }
    // Nobody answers: a socket file left by a crashed instance is stale.
    QLocalServer::removeServer(name);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) {
        server_.reset();
        role = Role::Primary; // run unguarded rather than not at all
        return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::readyRead, client, [this, client] {
                if (client->readAll().startsWith("reopen")) {
                    Reopen();
                }
                client->disconnectFromServer();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        }
    });
    role = Role::Primary;
    return true;
}

} // namespace app
