#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <type_traits>
#include <utility>

#include <QByteArray>
#include <QObject>
#include <QString>

#include "app/core/Keys.h"
#include "app/core/Subscription.h"

class QFileSystemWatcher;
class QTimer;

namespace app {

// The typed settings store over one INI file ($XDG_CONFIG_HOME/kadrel/kadrel.conf).
//
// - Reading gives the stored value, or the key's default while nothing is stored. Defaults
//   are never written: only setValue stores a value.
// - A stored text that cannot be read as the key's type reads as the default, with one
//   warning per key and text. The file keeps that text: writing edits only the line of the
//   key written, so comments, other keys and unreadable values stay byte for byte.
// - Observers hear every change of a key's effective value, whoever made it: this program
//   (synchronously, once, inside setValue) or another writer of the file (an editor, another
//   process, a replace-by-rename), noticed by watching the file and its folder and delivered
//   from the event loop after a short debounce.
//
// Encoding, compatible with QSettings' INI format: keys in the [General] section (or before
// any section); booleans "true"/"false" (reading also takes "1"/"0", any case); integers and
// floating-point numbers in the C locale, finite only (floats written in the shortest form
// that reads back exactly); strings escaped as QSettings escapes them (quoted when they hold
// ',', ';' or '=' or start or end with a space; backslash escapes; a leading '@' doubled);
// the display as its 36-character UUID, and no line at all when there is none.
//
// Single-threaded: use it from the thread that owns it.
class Defaults : public QObject {
    Q_OBJECT

  public:
    enum class Delivery {
        AtOnceAndOnChange, // the current value during observe(), then every change
        ChangesOnly,
    };

    explicit Defaults(QString filePath, QObject* parent = nullptr);
    ~Defaults() override;

    // $XDG_CONFIG_HOME/kadrel/kadrel.conf (Qt's generic config location).
    static QString defaultFilePath();

    QString filePath() const { return filePath_; }

    template <class T> T value(const Key<T>& key) const;

    // Stores the value (for the display, nullopt removes the entry), creating the folder and
    // the file if needed, and notifies the key's observers when its effective value changed.
    // Returns false (with a warning) when the file could not be written; nothing changes then.
    // The key alone decides T, so plain literals and lambdas work: setValue(keys::fps, 60),
    // observe(keys::fps, ..., [](std::int64_t fps) {...}).
    template <class T> bool setValue(const Key<T>& key, const std::type_identity_t<T>& value);

    template <class T>
    [[nodiscard]] Subscription
    observe(const Key<T>& key, Delivery delivery,
            std::function<void(const std::type_identity_t<T>&)> callback);

    // Re-reads the file now and notifies what changed. The file watcher does this by itself;
    // this is for callers that know better (and for tests).
    void reload();

  private:
    struct Observers;

    // The text stored under a key as it appears after '=' (trimmed, comment removed), or
    // nullopt when the file has no such key.
    std::optional<QString> rawText(const char* name) const;
    // Says once per key and text that the text is unreadable and the default is used.
    void warnUnreadable(const char* name, const QString& text, const QString& fallback,
                        const char* expected) const;

    bool writeRaw(const char* name, const std::optional<QString>& text);
    // The file's bytes (empty when there is no file), or nullopt when it cannot be read.
    std::optional<QByteArray> readFileBytes() const;
    void adoptFileContent(const QByteArray& bytes);
    void rewatch();
    void scheduleReload();
    Subscription addObserver(const char* name, std::function<void()> onMaybeChanged);

    QString filePath_;
    std::map<QString, QString> stored_; // key name -> raw text
    std::shared_ptr<Observers> observers_;
    mutable std::set<std::pair<QString, QString>> warned_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* debounce_ = nullptr;
};

extern template bool Defaults::value(const Key<bool>&) const;
extern template std::int64_t Defaults::value(const Key<std::int64_t>&) const;
extern template float Defaults::value(const Key<float>&) const;
extern template double Defaults::value(const Key<double>&) const;
extern template QString Defaults::value(const Key<QString>&) const;
extern template std::optional<Display> Defaults::value(const Key<std::optional<Display>>&) const;

extern template bool Defaults::setValue(const Key<bool>&, const bool&);
extern template bool Defaults::setValue(const Key<std::int64_t>&, const std::int64_t&);
extern template bool Defaults::setValue(const Key<float>&, const float&);
extern template bool Defaults::setValue(const Key<double>&, const double&);
extern template bool Defaults::setValue(const Key<QString>&, const QString&);
extern template bool Defaults::setValue(const Key<std::optional<Display>>&,
                                        const std::optional<Display>&);

// observe() is defined here so that any T with a value() works.
template <class T>
Subscription Defaults::observe(const Key<T>& key, Delivery delivery,
                               std::function<void(const std::type_identity_t<T>&)> callback) {
    // Each observer remembers the last value it saw, so it hears effective changes only
    // (a rewrite to the same value, or garbage replaced by the default's text, is silent).
    auto last = std::make_shared<T>(value(key));
    if (delivery == Delivery::AtOnceAndOnChange)
        callback(*last);
    const Key<T> k = key;
    return addObserver(key.name, [this, k, last, callback = std::move(callback)] {
        T now = value(k);
        if (now == *last)
            return;
        *last = now;
        callback(now);
    });
}

} // namespace app
