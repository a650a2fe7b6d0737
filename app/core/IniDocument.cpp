#include "app/core/IniDocument.h"

namespace app {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// Offset of the first byte after the line's leading white space (and a UTF-8 BOM).
qsizetype contentStart(const QByteArray& text) {
    qsizetype i = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

enum class LineKind { Blank, Comment, Section, KeyValue, Other };

LineKind kindOf(const QByteArray& text) {
    const qsizetype start = contentStart(text);
    if (start == text.size())
        return LineKind::Blank;
    if (text[start] == ';')
        return LineKind::Comment;
    if (text[start] == '[')
        return LineKind::Section;
    return text.indexOf('=', start) >= 0 ? LineKind::KeyValue : LineKind::Other;
}

QByteArrayView sectionName(const QByteArray& text) {
    const qsizetype start = contentStart(text) + 1;
    const qsizetype close = text.indexOf(']', start);
    return QByteArrayView(text).sliced(start, (close < 0 ? text.size() : close) - start);
}

} // namespace

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument doc;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', pos);
        if (nl < 0) {
            doc.lines_.push_back({bytes.sliced(pos), {}});
            break;
        }
        qsizetype end = nl;
        if (end > pos && bytes[end - 1] == '\r')
            --end;
        doc.lines_.push_back({bytes.sliced(pos, end - pos), bytes.sliced(end, nl + 1 - end)});
        pos = nl + 1;
    }
    return doc;
}

QByteArray IniDocument::toBytes() const {
    QByteArray out;
    for (const Line& line : lines_)
        out += line.text + line.ending;
    return out;
}

std::vector<IniDocument::Entry> IniDocument::entries() const {
    std::vector<Entry> result;
    bool topLevel = true; // keys before any section are top-level too
    for (std::size_t n = 0; n < lines_.size(); ++n) {
        const QByteArray& text = lines_[n].text;
        switch (kindOf(text)) {
        case LineKind::Section:
            topLevel = sectionName(text) == "General";
            break;
        case LineKind::KeyValue: {
            if (!topLevel)
                break;
            const qsizetype start = contentStart(text);
            const qsizetype eq = text.indexOf('=', start);
            const QString key = QString::fromUtf8(text.sliced(start, eq - start)).trimmed();
            qsizetype valueStart = eq + 1;
            while (valueStart < text.size() && isSpace(text[valueStart]))
                ++valueStart;
            // The value runs to a ';' outside quotes (a comment) or to the end of the line.
            qsizetype valueEnd = valueStart;
            bool inQuotes = false;
            for (; valueEnd < text.size(); ++valueEnd) {
                const char c = text[valueEnd];
                if (c == '\\' && valueEnd + 1 < text.size())
                    ++valueEnd;
                else if (c == '"')
                    inQuotes = !inQuotes;
                else if (c == ';' && !inQuotes)
                    break;
            }
            valueEnd = std::min(valueEnd, text.size());
            while (valueEnd > valueStart && isSpace(text[valueEnd - 1]))
                --valueEnd;
            result.push_back({n, key, valueStart, valueEnd});
            break;
        }
        default:
            break;
        }
    }
    return result;
}

std::map<QString, QString> IniDocument::topLevelValues() const {
    std::map<QString, QString> values;
    for (const Entry& e : entries()) // later lines win
        values[e.key] =
            QString::fromUtf8(lines_[e.line].text.sliced(e.valueStart, e.valueEnd - e.valueStart));
    return values;
}

std::optional<QString> IniDocument::value(const QString& key) const {
    const auto values = topLevelValues();
    const auto it = values.find(key);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

QByteArray IniDocument::newLineEnding() const {
    for (const Line& line : lines_)
        if (!line.ending.isEmpty())
            return line.ending;
    return "\n";
}

void IniDocument::insertLine(std::size_t at, QByteArray text) {
    const QByteArray ending = newLineEnding();
    // The line before may be the file's last one, written without an ending.
    if (at > 0 && lines_[at - 1].ending.isEmpty())
        lines_[at - 1].ending = ending;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), ending});
}

void IniDocument::set(const QString& key, const QString& escapedValue) {
    const std::vector<Entry> all = entries();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (it->key != key)
            continue;
        lines_[it->line].text.replace(it->valueStart, it->valueEnd - it->valueStart,
                                      escapedValue.toUtf8());
        return;
    }

    const QByteArray newLine = key.toUtf8() + '=' + escapedValue.toUtf8();
    // After the last key of the last [General] section, or right after its header.
    std::optional<std::size_t> general;
    std::optional<std::size_t> firstSection;
    for (std::size_t n = 0; n < lines_.size(); ++n) {
        if (kindOf(lines_[n].text) != LineKind::Section)
            continue;
        if (!firstSection)
            firstSection = n;
        if (sectionName(lines_[n].text) == "General")
            general = n;
    }
    const auto lastKeyBetween = [this](std::size_t from, std::size_t to) {
        std::optional<std::size_t> last;
        for (std::size_t n = from; n < to; ++n) {
            const LineKind kind = kindOf(lines_[n].text);
            if (kind == LineKind::Section)
                break;
            if (kind == LineKind::KeyValue)
                last = n;
        }
        return last;
    };
    if (general) {
        const auto last = lastKeyBetween(*general + 1, lines_.size());
        insertLine((last ? *last : *general) + 1, newLine);
        return;
    }
    if (const auto last = lastKeyBetween(0, firstSection.value_or(lines_.size()))) {
        insertLine(*last + 1, newLine);
        return;
    }
    // No top-level keys yet: a [General] section of our own at the end, as QSettings writes.
    std::size_t at = lines_.size();
    if (at > 0 && kindOf(lines_[at - 1].text) != LineKind::Blank)
        insertLine(at++, {});
    insertLine(at, "[General]");
    insertLine(at + 1, newLine);
}

void IniDocument::remove(const QString& key) {
    const std::vector<Entry> all = entries();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (it->key == key)
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(it->line));
}

} // namespace app
