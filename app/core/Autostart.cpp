#include "app/core/Autostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>

namespace app {

namespace {

void warn(const QString& what) {
    std::fprintf(stderr, "kadrel: %s\n", what.toLocal8Bit().constData());
}

// The value of `key` in the [Desktop Entry] group, or an empty string.
QString entryValue(const QByteArray& text, const QByteArray& key) {
    bool inEntry = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inEntry && equals > 0 && line.left(equals).trimmed() == key) {
            return QString::fromUtf8(line.mid(equals + 1).trimmed());
        }
    }
    return {};
}

} // namespace

QString execArgument(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (const QChar c : program) {
        quote = quote || reserved.contains(c);
    }
    if (!quote) {
        return program;
    }
    // Inside quotes, ", `, $ and \ take a backslash; the value's own escape rule then doubles
    // every backslash once more.
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += QStringLiteral("\\\\");
        }
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

Autostart::Autostart(QString entryPath, QString program)
    : entryPath_(std::move(entryPath)), program_(std::move(program)) {}

Autostart Autostart::forThisProgram() {
    return {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                QStringLiteral("/autostart/kadrel.desktop"),
            QCoreApplication::applicationFilePath()};
}

bool Autostart::isEnabled() const {
    QFile file(entryPath_);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray text = file.read(64 * 1024);
    return entryValue(text, "Hidden") != QStringLiteral("true") &&
           entryValue(text, "X-GNOME-Autostart-enabled") != QStringLiteral("false");
}

bool Autostart::setEnabled(bool enabled) {
    if (!enabled) {
        if (QFile::exists(entryPath_) && !QFile::remove(entryPath_)) {
            warn(QStringLiteral("cannot remove %1").arg(entryPath_));
            return false;
        }
        return true;
    }
    if (!QDir().mkpath(QFileInfo(entryPath_).absolutePath())) {
        warn(QStringLiteral("cannot make the folder of %1").arg(entryPath_));
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Kadrel\n"
                                         "Comment=Live wallpaper\n"
                                         "Exec=%1\n"
                                         "Icon=kadrel\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execArgument(program_));
    // Written whole or not at all: a half-written entry would start nothing at login.
    QSaveFile file(entryPath_);
    if (!file.open(QIODevice::WriteOnly) || file.write(entry.toUtf8()) < 0 || !file.commit()) {
        warn(QStringLiteral("cannot write %1: %2").arg(entryPath_, file.errorString()));
        return false;
    }
    return true;
}

} // namespace app
