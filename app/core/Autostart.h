#pragma once

#include <QString>

namespace app {

// "Launch at login" as every XDG desktop knows it: an autostart entry in the user's
// $XDG_CONFIG_HOME/autostart. The entry on disk is the only record of the choice, so a user
// who removes it by hand (or turns it off in the desktop's own startup settings) sees the
// switch follow.
class Autostart {
  public:
    // The entry in the user's autostart folder, starting `program` (an absolute path).
    Autostart(QString entryPath, QString program);
    // The user's entry for this program.
    static Autostart forThisProgram();

    // Whether the desktop will start Kadrel at login: the entry exists and isn't marked
    // hidden or disabled.
    bool isEnabled() const;
    // Writes or removes the entry. False, with one line on standard error, when the folder
    // or file can't be written.
    bool setEnabled(bool enabled);

    const QString& entryPath() const noexcept { return entryPath_; }

  private:
    QString entryPath_;
    QString program_;
};

// `program` as one argument of a desktop entry's Exec line, quoted where needed.
QString execArgument(const QString& program);

} // namespace app
