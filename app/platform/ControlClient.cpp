#include "app/platform/ControlClient.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QLocalSocket>
#include <QVariantMap>

#include <cstdio>

#include "app/platform/SingleInstance.h"

namespace app {

namespace {

constexpr int TIMEOUT_MS = 5000;

const QString SERVICE = QString::fromLatin1(SingleInstance::SERVICE);
const QString PATH = QString::fromLatin1(SingleInstance::PATH);
const QString INTERFACE = QString::fromLatin1(SingleInstance::INTERFACE);

void print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    if (!text.endsWith(QLatin1Char('\n'))) {
        std::fputc('\n', stdout);
    }
}

void fail(const QString& text) {
    std::fprintf(stderr, "kadrel: %s\n", text.toUtf8().constData());
}

QString methodFor(const QString& command) {
    if (command == QLatin1String("enable"))
        return QStringLiteral("Enable");
    if (command == QLatin1String("disable"))
        return QStringLiteral("Disable");
    if (command == QLatin1String("toggle"))
        return QStringLiteral("Toggle");
    if (command == QLatin1String("next-camera"))
        return QStringLiteral("NextCamera");
    if (command == QLatin1String("settings"))
        return QStringLiteral("ShowSettings");
    if (command == QLatin1String("about"))
        return QStringLiteral("ShowAbout");
    return {};
}

int overBus(QDBusConnection& bus, const QString& command) {
    if (command == QLatin1String("status")) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            SERVICE, PATH, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("GetAll"));
        call << INTERFACE;
        const QDBusReply<QVariantMap> reply = bus.call(call, QDBus::Block, TIMEOUT_MS);
        if (!reply.isValid()) {
            fail(QStringLiteral("Kadrel did not answer: %1").arg(reply.error().message()));
            return 1;
        }
        const QVariantMap p = reply.value();
        print(describeStatus(p.value(QStringLiteral("Enabled")).toBool(),
                             p.value(QStringLiteral("Paused")).toBool(),
                             p.value(QStringLiteral("PauseReason")).toString(),
                             p.value(QStringLiteral("Fps")).toInt()));
        return 0;
    }
    const QDBusMessage reply =
        bus.call(QDBusMessage::createMethodCall(SERVICE, PATH, INTERFACE, methodFor(command)),
                 QDBus::Block, TIMEOUT_MS);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        fail(QStringLiteral("Kadrel did not answer: %1").arg(reply.errorMessage()));
        return 1;
    }
    return 0;
}

int overSocket(const QString& command) {
    QLocalSocket socket;
    socket.connectToServer(SingleInstance::socketName());
    if (!socket.waitForConnected(TIMEOUT_MS)) {
        return -1;
    }
    socket.write((command + QLatin1Char('\n')).toUtf8());
    QByteArray answer;
    while (socket.waitForReadyRead(TIMEOUT_MS)) {
        answer += socket.readAll();
    }
    answer += socket.readAll();
    const QString text = QString::fromUtf8(answer);
    if (text.startsWith(QLatin1String("error: "))) {
        fail(text.mid(7).trimmed());
        return 1;
    }
    if (!text.trimmed().isEmpty() && text.trimmed() != QLatin1String("ok")) {
        print(text);
    }
    return 0;
}

} // namespace

QString describeStatus(bool enabled, bool paused, const QString& reason, int fps) {
    QString text =
        QStringLiteral("enabled: %1\npaused: %2\n")
            .arg(QLatin1String(enabled ? "yes" : "no"), QLatin1String(paused ? "yes" : "no"));
    if (paused) {
        text += QStringLiteral("reason: %1\n").arg(reason);
    }
    return text + QStringLiteral("fps: %1\n").arg(fps);
}

int runControlCommand(const QString& command) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()->isServiceRegistered(SERVICE)) {
        return overBus(bus, command);
    }
    const int status = overSocket(command);
    if (status >= 0) {
        return status;
    }
    fail(QStringLiteral("Kadrel is not running."));
    return 1;
}

} // namespace app
