#include "app/core/Display.h"

#include <QByteArray>

namespace app {

namespace {

// Kadrel's own namespace for monitor UUIDs. Never change it: stored "display" values were
// made in it.
const QUuid kMonitorNamespace = QUuid::fromString(u"76cb19aa-f4c4-4527-a8cc-baaf06944556");

bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Exactly 8-4-4-4-12 hex digits. QUuid's own parser is more forgiving than the stored form.
bool isCanonicalUuidText(QStringView s) {
    if (s.size() != 36)
        return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? s[i] != u'-' : !isHex(s[i]))
            return false;
    }
    return true;
}

// Each field as its length and its UTF-8 bytes, after a tag naming the scheme: no two
// different field lists give the same bytes ("ab"+"c" differs from "a"+"bc").
void appendField(QByteArray& out, const QString& field) {
    const QByteArray utf8 = field.toUtf8();
    const auto n = static_cast<quint32>(utf8.size());
    out.append(static_cast<char>((n >> 24) & 0xff));
    out.append(static_cast<char>((n >> 16) & 0xff));
    out.append(static_cast<char>((n >> 8) & 0xff));
    out.append(static_cast<char>(n & 0xff));
    out.append(utf8);
}

} // namespace

std::optional<Display> Display::fromString(const QString& text) {
    QStringView s(text);
    if (s.size() == 38 && s.front() == u'{' && s.back() == u'}')
        s = s.mid(1, 36);
    if (!isCanonicalUuidText(s))
        return std::nullopt;
    const QUuid id = QUuid::fromString(s);
    if (id.isNull())
        return std::nullopt;
    return Display{id};
}

QString Display::toString() const {
    return id.toString(QUuid::WithoutBraces);
}

QUuid displayUuid(const MonitorIdentity& monitor) {
    const QString manufacturer = monitor.manufacturer.trimmed();
    const QString model = monitor.model.trimmed();
    const QString serial = monitor.serial.trimmed();
    const QString connector = monitor.connector.trimmed();

    QByteArray name;
    if (!serial.isEmpty()) {
        name = QByteArrayLiteral("edid-serial");
        appendField(name, manufacturer);
        appendField(name, model);
        appendField(name, serial);
    } else if (!manufacturer.isEmpty() || !model.isEmpty()) {
        name = QByteArrayLiteral("edid-port");
        appendField(name, manufacturer);
        appendField(name, model);
        appendField(name, connector);
    } else if (!connector.isEmpty()) {
        name = QByteArrayLiteral("port");
        appendField(name, connector);
    } else {
        return {};
    }
    return QUuid::createUuidV5(kMonitorNamespace, name);
}

} // namespace app
