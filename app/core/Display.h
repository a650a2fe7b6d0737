#pragma once

#include <optional>

#include <QString>
#include <QUuid>

namespace app {

// The monitor the wallpaper covers, persisted by its UUID. Equality is by id alone.
struct Display {
    QUuid id;

    // Accepts the standard 36-character UUID text, with or without braces, in either case.
    // Anything else, and the nil UUID (which no monitor carries), gives no display.
    static std::optional<Display> fromString(const QString& text);

    // 36 characters, lower case, no braces.
    QString toString() const;

    friend bool operator==(const Display&, const Display&) = default;
};

// What Qt tells about a connected monitor: the EDID fields (any may be empty) and the
// output's connector name ("DP-1", "HDMI-A-2", "DUMMY3").
struct MonitorIdentity {
    QString manufacturer;
    QString model;
    QString serial;
    QString connector;
};

// A name-based (version 5) UUID for a monitor, stable across restarts:
// - with a serial number, from manufacturer, model and serial, so the monitor keeps its UUID
//   when it moves to another port;
// - with manufacturer or model but no serial, from those and the connector, so two identical
//   monitors without serials on different ports stay apart;
// - with no EDID fields at all, from the connector alone.
// Fields are trimmed first. Everything empty gives the null QUuid (matches nothing).
QUuid displayUuid(const MonitorIdentity& monitor);

} // namespace app
