#pragma once

#include <QWidget>

class QLabel;

namespace app {

// The About window: Kadrel's icon, name and version, and the credits for what it is built
// on. Closing it keeps it for the next opening.
class AboutWindow : public QWidget {
    Q_OBJECT

  public:
    // `version` is "X.Y.Z"; `build` the build's number, or empty where unknown.
    AboutWindow(const QString& version, const QString& build, QWidget* parent = nullptr);

    void present();

    const QLabel* versionLabel() const noexcept { return version_; }
    const QLabel* credits() const noexcept { return credits_; }

  private:
    QLabel* version_ = nullptr;
    QLabel* credits_ = nullptr;
};

// "Version 1.2 (7)": the first two parts of the version and the build; a part that is
// missing reads "Unknown".
QString versionLine(const QString& version, const QString& build);

} // namespace app
