#include "app/core/IniEscape.h"

#include <QList>

namespace app::ini {

namespace {

bool isHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

QByteArray escape(const QString& text) {
    QByteArray out;
    bool needsQuotes = false;
    // A \x escape runs on over every hex digit that follows, so a digit right after one must
    // be escaped too.
    bool escapeNextIfHex = false;
    const QList<uint> codePoints = text.toUcs4();
    for (const uint cp : codePoints) {
        const auto c = static_cast<char32_t>(cp);
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfHex && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(cp, 16);
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
        case '\0':
            out += "\\0";
            escapeNextIfHex = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                out += "\\x" + QByteArray::number(cp, 16);
                escapeNextIfHex = true;
            } else {
                out += QString::fromUcs4(&c, 1).toUtf8();
            }
        }
    }
    if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' '))) {
        out.prepend('"');
        out.append('"');
    }
    return out;
}

QString unescape(QByteArrayView raw) {
    // Work on bytes (every syntax character is ASCII) and decode UTF-8 runs at the end.
    QByteArray bytes;
    bool inQuotes = false;
    qsizetype lastQuotedEnd = 0; // trimming stops here: quoted and escaped text stays
    qsizetype i = 0;
    while (i < raw.size() && isSpace(raw[i]))
        ++i;
    const auto appendCodePoint = [&bytes](char32_t cp) {
        bytes += QString::fromUcs4(&cp, 1).toUtf8();
    };
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            inQuotes = !inQuotes;
            lastQuotedEnd = bytes.size();
            continue;
        }
        if (c != '\\' || i + 1 >= raw.size()) {
            bytes += c;
            if (inQuotes)
                lastQuotedEnd = bytes.size();
            continue;
        }
        const char e = raw[++i];
        switch (e) {
        case 'a':
            bytes += '\a';
            break;
        case 'b':
            bytes += '\b';
            break;
        case 'f':
            bytes += '\f';
            break;
        case 'n':
            bytes += '\n';
            break;
        case 'r':
            bytes += '\r';
            break;
        case 't':
            bytes += '\t';
            break;
        case 'v':
            bytes += '\v';
            break;
        case 'x': {
            char32_t cp = 0;
            while (i + 1 < raw.size() && hexValue(raw[i + 1]) >= 0 && cp < 0x110000)
                cp = cp * 16 + static_cast<char32_t>(hexValue(raw[++i]));
            appendCodePoint(cp);
            break;
        }
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7': {
            auto cp = static_cast<char32_t>(e - '0');
            while (i + 1 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '7' && cp < 0x110000)
                cp = cp * 8 + static_cast<char32_t>(raw[++i] - '0');
            appendCodePoint(cp);
            break;
        }
        default: // \" \' \\ \? and anything unknown stand for the character itself
            bytes += e;
        }
        lastQuotedEnd = bytes.size(); // an escaped character is never trimmed
    }
    // Unquoted trailing white space is not part of the value; quoted white space is.
    qsizetype end = bytes.size();
    while (end > lastQuotedEnd && isSpace(bytes[end - 1]))
        --end;
    bytes.truncate(end);
    return QString::fromUtf8(bytes);
}

} // namespace app::ini
