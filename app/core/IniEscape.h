#pragma once

#include <QByteArray>
#include <QString>

namespace app::ini {

// A string as QSettings writes it on the right of '=' in an INI file: backslash escapes for
// quotes, backslashes and control characters, UTF-8 for the rest, and the whole value in
// double quotes when it holds ',', ';' or '=' or starts or ends with a space (QSettings would
// otherwise read a list, a comment or lose the spaces).
QByteArray escape(const QString& text);

// The inverse, for the text between '=' and the end of the value (any ';' comment already
// cut off): quotes removed, escapes resolved, unquoted white space at both ends dropped.
// Unlike QSettings, an unquoted ',' is kept as text rather than splitting the value into a
// list: every key of this program holds one value.
QString unescape(QByteArrayView raw);

} // namespace app::ini
