#pragma once

#include <map>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

namespace app {

// An INI file held line by line, so that changing one key rewrites that key's value and
// nothing else: comments, blank lines, other sections, keys this program does not know and
// values it cannot read all come out byte for byte as they went in.
//
// Only top-level keys are edited, the ones QSettings files under [General] or writes before
// any section. Reading follows QSettings: ';' starts a comment (outside quotes), the last
// line of a key wins, '[General]' may appear more than once. Keys are compared as written
// (case-sensitive, not percent-decoded); line continuations are not supported.
class IniDocument {
  public:
    IniDocument() = default;
    static IniDocument parse(const QByteArray& bytes);

    QByteArray toBytes() const;

    // Every top-level key with its value text: what follows '=' up to a comment, trimmed,
    // still escaped (see IniEscape.h).
    std::map<QString, QString> topLevelValues() const;
    std::optional<QString> value(const QString& key) const;

    // Replaces the value text of the key's effective line, keeping the key's spelling, the
    // spacing around '=' and a trailing comment; a key not there yet is added at the end of
    // the [General] section (made if needed) or of the keys before the first section.
    void set(const QString& key, const QString& escapedValue);
    // Drops every top-level line of the key (an earlier one would otherwise take effect).
    void remove(const QString& key);

  private:
    struct Line {
        QByteArray text;   // without its line ending
        QByteArray ending; // "\n", "\r\n" or "" for a last line without one
    };
    struct Entry {
        std::size_t line;
        QString key;
        qsizetype valueStart; // byte offsets of the value text within the line
        qsizetype valueEnd;
    };

    // Top-level key lines in file order.
    std::vector<Entry> entries() const;
    QByteArray newLineEnding() const;
    void insertLine(std::size_t at, QByteArray text);

    std::vector<Line> lines_;
};

} // namespace app
