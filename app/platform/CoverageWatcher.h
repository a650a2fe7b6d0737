#pragma once

#include <QObject>
#include <QWindow>

#include <memory>

namespace app {

// Tells whether other windows hide the whole wallpaper, so that it can stop drawing while
// nobody sees it. The answer comes from the window system's events: nothing is polled.
//
// The base class is the window system whose windows this program cannot see (Wayland, Qt's
// offscreen platform): the wallpaper is never covered there.
class CoverageWatcher : public QObject {
    Q_OBJECT

  public:
    explicit CoverageWatcher(QObject* parent = nullptr);
    ~CoverageWatcher() override;

    // The implementation for the platform the application runs on.
    static std::unique_ptr<CoverageWatcher> forCurrentPlatform();

    // Starts following what covers `wallpaper` (again after it was shown anew), or stops
    // with nullptr; stopping reports "not covered".
    virtual void watch(QWindow* wallpaper);

    bool isCovered() const noexcept { return covered_; }
    // Whether every window that could cover the wallpaper is visible to this watcher. False
    // where some (or all) are out of sight, so that covering by them goes unnoticed.
    bool canSeeWindows() const noexcept { return canSeeWindows_; }

  Q_SIGNALS:
    // Only on a change.
    void coveredChanged(bool covered);

  protected:
    void setCovered(bool covered);
    void setCanSeeWindows(bool canSee) { canSeeWindows_ = canSee; }

  private:
    bool covered_ = false;
    bool canSeeWindows_ = false;
};

} // namespace app
