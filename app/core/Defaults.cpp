#include "app/core/Defaults.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>

#include "app/core/IniDocument.h"
#include "app/core/IniEscape.h"

namespace app {

namespace {

// Long enough to see an editor's truncate-then-write, or a write-then-rename, as one change;
// short enough that a settings change from outside shows up without a noticeable wait.
constexpr int kReloadDebounceMs = 100;

// Number text in the C locale, whatever the user's locale: surrounding white space allowed,
// one leading '+' allowed, nothing else after the number.
QByteArray numberText(const QString& escaped) {
    QByteArray text = ini::unescape(escaped.toUtf8()).trimmed().toLatin1();
    if (text.startsWith('+') && text.size() > 1 && text[1] != '-')
        text.remove(0, 1);
    return text;
}

template <class N> std::optional<N> parseNumber(const QString& escaped) {
    const QByteArray text = numberText(escaped);
    if (text.isEmpty())
        return std::nullopt;
    N value{};
    const char* end = text.constData() + text.size();
    const auto [ptr, ec] = std::from_chars(text.constData(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    if constexpr (std::is_floating_point_v<N>) {
        if (!std::isfinite(value))
            return std::nullopt;
    }
    return value;
}

template <class N> QString formatNumber(N value) {
    char buffer[64];
    // Shortest text that reads back as exactly this value ("1.5", "0.7", "220").
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? QString::fromLatin1(buffer, ptr - buffer) : QString();
}

// Per value type: its stored text (as it appears after '=') and back. parse() answers
// nullopt for text that cannot be read as the type.
template <class T> struct Codec;

template <> struct Codec<bool> {
    static constexpr const char* expected = "true or false";
    static std::optional<bool> parse(const QString& escaped) {
        const QString text = ini::unescape(escaped.toUtf8()).trimmed();
        if (text.compare(u"true", Qt::CaseInsensitive) == 0 || text == u"1")
            return true;
        if (text.compare(u"false", Qt::CaseInsensitive) == 0 || text == u"0")
            return false;
        return std::nullopt;
    }
    static QString format(bool value) {
        return value ? QStringLiteral("true") : QStringLiteral("false");
    }
};

template <> struct Codec<std::int64_t> {
    static constexpr const char* expected = "a whole number";
    static std::optional<std::int64_t> parse(const QString& escaped) {
        return parseNumber<std::int64_t>(escaped);
    }
    static QString format(std::int64_t value) { return QString::number(value); }
};

template <> struct Codec<float> {
    static constexpr const char* expected = "a finite number";
    static std::optional<float> parse(const QString& escaped) {
        return parseNumber<float>(escaped);
    }
    static QString format(float value) { return formatNumber(value); }
};

template <> struct Codec<double> {
    static constexpr const char* expected = "a finite number";
    static std::optional<double> parse(const QString& escaped) {
        return parseNumber<double>(escaped);
    }
    static QString format(double value) { return formatNumber(value); }
};

template <> struct Codec<QString> {
    static constexpr const char* expected = "text";
    static std::optional<QString> parse(const QString& escaped) {
        QString text = ini::unescape(escaped.toUtf8());
        // QSettings doubles a leading '@' (a single one introduces its typed values).
        if (text.startsWith(u"@@"))
            text.remove(0, 1);
        return text;
    }
    static QString format(const QString& value) {
        const QString text = value.startsWith(u'@') ? u'@' + value : value;
        return QString::fromUtf8(ini::escape(text));
    }
};

template <> struct Codec<std::optional<Display>> {
    static constexpr const char* expected = "a display UUID";
    static std::optional<std::optional<Display>> parse(const QString& escaped) {
        const QString text = ini::unescape(escaped.toUtf8()).trimmed();
        if (text.isEmpty()) // "display=" : nothing chosen
            return std::optional<Display>{};
        if (auto display = Display::fromString(text))
            return display;
        return std::nullopt;
    }
    // nullopt: no line at all.
    static std::optional<QString> formatOptional(const std::optional<Display>& value) {
        if (!value)
            return std::nullopt;
        return value->toString();
    }
};

template <class T> std::optional<QString> storedText(const T& value) {
    if constexpr (std::is_same_v<T, std::optional<Display>>)
        return Codec<T>::formatOptional(value);
    else
        return Codec<T>::format(value);
}

template <class T> QString describeDefault(const T& value) {
    if constexpr (std::is_same_v<T, std::optional<Display>>)
        return value ? value->toString() : QStringLiteral("no display");
    else
        return Codec<T>::format(value);
}

} // namespace

struct Defaults::Observers {
    std::uint64_t nextId = 1;
    struct Entry {
        QString key;
        std::shared_ptr<std::function<void()>> onMaybeChanged;
    };
    std::map<std::uint64_t, Entry> entries; // ids grow: iteration is subscription order
};

Defaults::Defaults(QString filePath, QObject* parent)
    : QObject(parent), filePath_(std::move(filePath)), observers_(std::make_shared<Observers>()),
      watcher_(new QFileSystemWatcher(this)), debounce_(new QTimer(this)) {
    debounce_->setSingleShot(true);
    debounce_->setInterval(kReloadDebounceMs);
    connect(debounce_, &QTimer::timeout, this, &Defaults::reload);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &Defaults::scheduleReload);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &Defaults::scheduleReload);
    rewatch();
    if (const auto bytes = readFileBytes())
        stored_ = IniDocument::parse(*bytes).topLevelValues();
    else
        qWarning("%s: cannot read the settings file; using the defaults",
                 qUtf8Printable(filePath_));
}

Defaults::~Defaults() = default;

QString Defaults::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kadrel/kadrel.conf");
}

std::optional<QString> Defaults::rawText(const char* name) const {
    const auto it = stored_.find(QString::fromLatin1(name));
    if (it == stored_.end())
        return std::nullopt;
    return it->second;
}

void Defaults::warnUnreadable(const char* name, const QString& text, const QString& fallback,
                              const char* expected) const {
    if (!warned_.emplace(QString::fromLatin1(name), text).second)
        return;
    qWarning("%s: %s=%s is not %s; using %s", qUtf8Printable(filePath_), name, qUtf8Printable(text),
             expected, qUtf8Printable(fallback));
}

template <class T> T Defaults::value(const Key<T>& key) const {
    const std::optional<QString> raw = rawText(key.name);
    if (!raw)
        return key.defaultValue;
    if (auto parsed = Codec<T>::parse(*raw))
        return *std::move(parsed);
    warnUnreadable(key.name, *raw, describeDefault(key.defaultValue), Codec<T>::expected);
    return key.defaultValue;
}

template <class T>
bool Defaults::setValue(const Key<T>& key, const std::type_identity_t<T>& value) {
    return writeRaw(key.name, storedText(value));
}

std::optional<QByteArray> Defaults::readFileBytes() const {
    QFile file(filePath_);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool Defaults::writeRaw(const char* name, const std::optional<QString>& text) {
    const QString key = QString::fromLatin1(name);
    // Edit what is on disk now, not what was last seen: an outside change not yet delivered
    // must survive this write (and is delivered with it).
    const std::optional<QByteArray> before = readFileBytes();
    if (!before) {
        qWarning("%s: cannot read the settings file; %s not saved", qUtf8Printable(filePath_),
                 name);
        return false;
    }
    IniDocument doc = IniDocument::parse(*before);
    if (doc.value(key) != text) {
        if (text)
            doc.set(key, *text);
        else
            doc.remove(key);
        const QByteArray after = doc.toBytes();
        // The folder is made on the first write only: reading never creates anything.
        QSaveFile file(filePath_);
        if (!QDir().mkpath(QFileInfo(filePath_).absolutePath()) ||
            !file.open(QIODevice::WriteOnly) || file.write(after) != after.size() ||
            !file.commit()) {
            qWarning("%s: cannot write the settings file (%s); %s not saved",
                     qUtf8Printable(filePath_), qUtf8Printable(file.errorString()), name);
            return false;
        }
        rewatch(); // the file was replaced: watch the new one
        adoptFileContent(after);
    } else {
        adoptFileContent(*before);
    }
    return true;
}

void Defaults::adoptFileContent(const QByteArray& bytes) {
    std::map<QString, QString> fresh = IniDocument::parse(bytes).topLevelValues();
    if (fresh == stored_)
        return;
    std::set<QString> touched;
    for (const auto& [key, text] : fresh) {
        const auto it = stored_.find(key);
        if (it == stored_.end() || it->second != text)
            touched.insert(key);
    }
    for (const auto& [key, text] : stored_)
        if (!fresh.count(key))
            touched.insert(key);
    stored_ = std::move(fresh);

    // Each observer compares the value with the last it saw and stays silent when the
    // effective value did not change. Observers may subscribe, unsubscribe or write from
    // inside the call: walk a snapshot and skip those that are gone.
    std::vector<std::uint64_t> ids;
    for (const auto& [id, entry] : observers_->entries)
        if (touched.count(entry.key))
            ids.push_back(id);
    const std::shared_ptr<Observers> keepAlive = observers_;
    for (const std::uint64_t id : ids) {
        const auto it = keepAlive->entries.find(id);
        if (it == keepAlive->entries.end())
            continue;
        const auto call = it->second.onMaybeChanged; // survives its own unsubscription
        (*call)();
    }
}

void Defaults::reload() {
    rewatch();
    if (const auto bytes = readFileBytes())
        adoptFileContent(*bytes);
}

void Defaults::scheduleReload() {
    debounce_->start();
}

void Defaults::rewatch() {
    // Watch the file (its content) and its folder (a file created, deleted or renamed into
    // place). A rename leaves the file watch on the replaced file, so the file is always
    // watched afresh. While the folder does not exist yet, its nearest existing ancestor
    // tells when it appears.
    const QFileInfo file(filePath_);
    QString folder = file.absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(folder).absolutePath();
        if (up == folder)
            break;
        folder = up;
    }
    const QStringList dirs = watcher_->directories();
    for (const QString& dir : dirs)
        if (dir != folder)
            watcher_->removePath(dir);
    if (!dirs.contains(folder) && QFileInfo(folder).isDir())
        watcher_->addPath(folder);

    if (!watcher_->files().isEmpty())
        watcher_->removePaths(watcher_->files());
    if (file.exists())
        watcher_->addPath(file.absoluteFilePath());
}

Subscription Defaults::addObserver(const char* name, std::function<void()> onMaybeChanged) {
    const std::uint64_t id = observers_->nextId++;
    observers_->entries.emplace(
        id, Observers::Entry{QString::fromLatin1(name),
                             std::make_shared<std::function<void()>>(std::move(onMaybeChanged))});
    return Subscription([weak = std::weak_ptr<Observers>(observers_), id] {
        if (const auto observers = weak.lock())
            observers->entries.erase(id);
    });
}

template bool Defaults::value(const Key<bool>&) const;
template std::int64_t Defaults::value(const Key<std::int64_t>&) const;
template float Defaults::value(const Key<float>&) const;
template double Defaults::value(const Key<double>&) const;
template QString Defaults::value(const Key<QString>&) const;
template std::optional<Display> Defaults::value(const Key<std::optional<Display>>&) const;

template bool Defaults::setValue(const Key<bool>&, const bool&);
template bool Defaults::setValue(const Key<std::int64_t>&, const std::int64_t&);
template bool Defaults::setValue(const Key<float>&, const float&);
template bool Defaults::setValue(const Key<double>&, const double&);
template bool Defaults::setValue(const Key<QString>&, const QString&);
template bool Defaults::setValue(const Key<std::optional<Display>>&, const std::optional<Display>&);

} // namespace app
