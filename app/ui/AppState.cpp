#include "app/ui/AppState.h"

#include <QApplication>
#include <QKeySequence>
#include <QTimer>

#include <cstdio>

#include "app/core/FrameRateRule.h"
#include "app/core/Keys.h"
#include "app/core/MenuRule.h"
#include "app/platform/CoverageWatcher.h"
#include "app/platform/DesktopWindowSystem.h"
#include "app/platform/PowerProfilesWatcher.h"
#include "app/platform/PowerSourceWatcher.h"
#include "app/platform/ScreenLockWatcher.h"
#include "app/ui/DesktopWindow.h"
#include "app/ui/GlView.h"

namespace app {

namespace {

// The toggle item's two titles come from the menu rule, which knows no Qt; marked here for
// the translation tools in the menu's context.
[[maybe_unused]] constexpr const char* TOGGLE_TITLES[] = {
    QT_TRANSLATE_NOOP("app::AppState", "Disable"), QT_TRANSLATE_NOOP("app::AppState", "Enable")};

// The user who hid the icon still sees it this long after every launch and reopen, so that
// the menu stays within reach.
constexpr int HIDE_ICON_DELAY_MS = 5000;

// The folder of the wallpaper's models and textures inside the resources.
constexpr const char* RESOURCES_ROOT = "kadrel";

void diagnostic(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

AppState::AppState(Defaults& defaults, QObject* parent)
    : QObject(parent), defaults_(defaults), scene_(std::make_shared<kadrel::KadrelScene>()) {
    preferredFps_ = defaults_.value(keys::fps);
    const QDBusConnection system = QDBusConnection::systemBus();
    power_ = std::make_unique<PowerSourceWatcher>(system);
    profiles_ = std::make_unique<PowerProfilesWatcher>(system);
    lock_ = std::make_unique<ScreenLockWatcher>(system, QDBusConnection::sessionBus());
    sleep_ = std::make_unique<SleepWatcher>(system);
}

AppState::~AppState() {
    // Undo in the reverse order of start(): the icon uses the menu, the coverage watcher and
    // the view hold on to the window (the view's GL objects live in the window's context).
    tray_.reset();
    if (window_) {
        window_->disconnect(this);
    }
    coverage_.reset();
    view_.reset();
    window_.reset();
}

void AppState::start() {
    // (a) the tray icon
    tray_ = std::make_unique<QSystemTrayIcon>(trayIconImage(true));
    tray_->setToolTip(QStringLiteral("Kadrel"));
    tray_->setContextMenu(&menu_);
    rebuildMenu(); // a tray that never announces the menu's opening still gets a menu
    tray_->show();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        std::fputs("kadrel: no system tray on this desktop; the wallpaper runs without its icon\n",
                   stderr);
    }

    // (b) the desktop window, hidden, with its GL view
    windowSystem_ = DesktopWindowSystem::forCurrentPlatform();
    window_ = std::make_unique<DesktopWindow>(defaults_, *windowSystem_);
    view_ = std::make_unique<GlView>(*window_, scene_, GlView::kadrelRenderer(RESOURCES_ROOT));
    view_->setPreferredFramesPerSecond(preferredFps_);
    view_->setOnAppear([this] {
        updateFps(0, true);
        applySceneSettings();
        updateClockStyle();
    });
    connect(window_.get(), &DesktopWindow::exposedChanged, view_.get(), &GlView::setExposed);
    // The clock over the frames: it ticks only while frames are drawn.
    view_->setOverlay(&clock_.image());
    connect(view_.get(), &GlView::runningChanged, &clock_, &ClockOverlay::setActive);
    const auto clockWindow = [this] {
        const qreal ratio = window_->devicePixelRatio();
        clock_.setWindow(QSize(qRound(window_->width() * ratio), qRound(window_->height() * ratio)),
                         ratio);
    };
    connect(window_.get(), &QWindow::widthChanged, this, clockWindow);
    connect(window_.get(), &QWindow::heightChanged, this, clockWindow);
    connect(window_.get(), &QWindow::screenChanged, this, clockWindow);
    clockWindow();
    // Watched only while shown: a disabled wallpaper isn't woken by other windows' changes.
    coverage_ = CoverageWatcher::forCurrentPlatform();
    connect(window_.get(), &DesktopWindow::exposedChanged, this,
            [this](bool shown) { coverage_->watch(shown ? window_.get() : nullptr); });
    connect(coverage_.get(), &CoverageWatcher::coveredChanged, this, [this](bool covered) {
        setCovered(covered && defaults_.value(keys::pauseWhenCovered));
    });

    // (c) the observers
    setUpEvents();
}

void AppState::setUpEvents() {
    connect(&menu_, &QMenu::aboutToShow, this, &AppState::rebuildMenu);
    // Only a watcher that exists reports; UPower may appear later and report then.
    connect(power_.get(), &PowerSourceWatcher::sourceChanged, this, [this] {
        diagnostic(QStringLiteral("powerSourceDidChange"));
        updateFps(0, true);
    });
    // UPower gone: no watcher any more, so no battery cap either.
    connect(power_.get(), &PowerSourceWatcher::presenceChanged, this, [this](bool present) {
        if (!present) {
            updateFps(0, true);
        }
    });
    connect(profiles_.get(), &PowerProfilesWatcher::profileChanged, this, [this] {
        diagnostic(QStringLiteral("powerStateDidChange"));
        updateFps(0, true);
    });

    const auto fpsFromSetting = [this](const bool&) { updateFps(0, true); };
    subscriptions_.push_back(defaults_.observe<bool>(
        keys::batteryMode, Defaults::Delivery::AtOnceAndOnChange, fpsFromSetting));
    subscriptions_.push_back(defaults_.observe<bool>(
        keys::lowPowerMode, Defaults::Delivery::AtOnceAndOnChange, fpsFromSetting));
    subscriptions_.push_back(
        defaults_.observe<bool>(keys::sceneVignette, Defaults::Delivery::AtOnceAndOnChange,
                                [this](const bool&) { applySceneSettings(); }));
    subscriptions_.push_back(
        defaults_.observe<float>(keys::sceneSpeed, Defaults::Delivery::AtOnceAndOnChange,
                                 [this](const float&) { applySceneSettings(); }));
    const auto clockText = [this](const QString&) { updateClockStyle(); };
    subscriptions_.push_back(defaults_.observe<QString>(
        keys::clockFont, Defaults::Delivery::AtOnceAndOnChange, clockText));
    subscriptions_.push_back(defaults_.observe<QString>(
        keys::clockFormat, Defaults::Delivery::AtOnceAndOnChange, clockText));
    subscriptions_.push_back(defaults_.observe<bool>(keys::clockEnabled,
                                                     Defaults::Delivery::AtOnceAndOnChange,
                                                     [this](const bool&) { updateClockStyle(); }));
    subscriptions_.push_back(
        defaults_.observe<double>(keys::clockOpacity, Defaults::Delivery::AtOnceAndOnChange,
                                  [this](const double&) { updateClockStyle(); }));
    subscriptions_.push_back(
        defaults_.observe<float>(keys::clockSize, Defaults::Delivery::AtOnceAndOnChange,
                                 [this](const float&) { updateClockStyle(); }));
    connect(sleep_.get(), &SleepWatcher::woke, this, &AppState::woke);
    const auto onLock = [this](bool locked) {
        enable_.setScreenLocked(locked);
        updateRenderingState();
    };
    connect(lock_.get(), &ScreenLockWatcher::lockedChanged, this, onLock);
    if (lock_->isLocked()) {
        onLock(true); // known before the observers were in place
    }
    subscriptions_.push_back(
        defaults_.observe<bool>(keys::hideMenuBarIcon, Defaults::Delivery::AtOnceAndOnChange,
                                [this](const bool&) { hideMenuBarIconStep(); }));
    subscriptions_.push_back(defaults_.observe<std::int64_t>(
        keys::fps, Defaults::Delivery::AtOnceAndOnChange,
        [this](const std::int64_t& fps) { updateFps(fps, false); }));
    subscriptions_.push_back(defaults_.observe<std::optional<Display>>(
        keys::display, Defaults::Delivery::ChangesOnly,
        [this](const std::optional<Display>& display) { window_->setTargetDisplay(display); }));
    subscriptions_.push_back(defaults_.observe<bool>(
        keys::deactivateOnBattery, Defaults::Delivery::AtOnceAndOnChange, [this](const bool&) {
            enable_.recompute();
            updateRenderingState();
        }));
    subscriptions_.push_back(
        defaults_.observe<bool>(keys::showOnAllSpaces, Defaults::Delivery::AtOnceAndOnChange,
                                [this](const bool& all) { window_->setShowOnAllSpaces(all); }));
    // The window never takes input, so there is no interaction mode to bring to the front
    // again; re-placing keeps it at the desktop level, which is what that setting restores.
    subscriptions_.push_back(defaults_.observe<bool>(
        keys::bringBrowsingModeToFront, Defaults::Delivery::ChangesOnly, [this](const bool&) {
            window_->setFrameForTargetDisplay();
            window_->lower();
        }));
    subscriptions_.push_back(defaults_.observe<bool>(
        keys::pauseWhenCovered, Defaults::Delivery::ChangesOnly,
        [this](const bool& on) { setCovered(on && coverage_->isCovered()); }));
    // Kadrel plays no sound; what a change of this key did to the window's content comes
    // down to drawing it afresh, on a later turn of the event loop.
    subscriptions_.push_back(defaults_.observe<bool>(
        keys::muteAudio, Defaults::Delivery::ChangesOnly, [this](const bool&) {
            QTimer::singleShot(0, this, [this] {
                if (view_ && view_->isRunning()) {
                    view_->renderFrame();
                }
            });
        }));
}

void AppState::rebuildMenu() {
    menu_.clear();
    if (showsToggleItem(enable_, defaults_.value(keys::deactivateOnBattery), power_->isPresent(),
                        power_->source())) {
        QAction* toggle = menu_.addAction(tr(toggleItemTitle(enable_)));
        connect(toggle, &QAction::triggered, this, &AppState::toggleManualDisable);
    }
    menu_.addSeparator();
    QAction* settings = menu_.addAction(tr("Settings…"));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(settings, &QAction::triggered, this, &AppState::settingsRequested);
    QAction* about = menu_.addAction(tr("About"));
    connect(about, &QAction::triggered, this, &AppState::aboutRequested);
    QAction* quitItem = menu_.addAction(tr("Quit"));
    quitItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quitItem, &QAction::triggered, this, &AppState::quit);
}

void AppState::toggleManualDisable() {
    enable_.toggleManualDisable();
    updateRenderingState();
}

void AppState::quit() {
    QCoreApplication::quit();
}

void AppState::nextCamera() {
    scene_->nextCamera();
}

QString AppState::pauseReason() const {
    if (enable_.isManuallyDisabled) {
        return QStringLiteral("disabled");
    }
    if (enable_.isScreenLocked) {
        return QStringLiteral("screen locked");
    }
    if (!enable_.isEnabled) {
        return QStringLiteral("disabled");
    }
    if (covered_) {
        return QStringLiteral("covered");
    }
    return {};
}

void AppState::setCovered(bool covered) {
    covered_ = covered;
    applyPause();
}

void AppState::applyPause() {
    if (view_) {
        // Covered, the window stays where it is: only the frames stop.
        view_->setPaused(!enable_.isEnabled || covered_);
    }
}

void AppState::woke() {
    diagnostic(QStringLiteral("deviceDidWake"));
    if (window_) {
        window_->setFrameForTargetDisplay();
    }
    if (view_) {
        view_->recoverIfContextLost();
    }
    Q_EMIT deviceWoke();
}

void AppState::reopen() {
    hideMenuBarIconStep();
}

void AppState::hideMenuBarIconStep() {
    if (!tray_) {
        return;
    }
    tray_->show();
    QTimer::singleShot(HIDE_ICON_DELAY_MS, this, [this] {
        if (defaults_.value(keys::hideMenuBarIcon)) {
            tray_->hide();
        }
    });
}

void AppState::updateFps(std::int64_t fps, bool useSetting) {
    const std::int64_t requested = useSetting ? defaults_.value(keys::fps) : fps;
    const FpsDecision decision = decideFps(
        requested, power_->isPresent(), power_->source(), defaults_.value(keys::batteryMode),
        profiles_->isLowPowerMode(), defaults_.value(keys::lowPowerMode));
    diagnostic(fpsDiagnosticLine(decision));
    preferredFps_ = decision.fps;
    if (view_) {
        view_->setPreferredFramesPerSecond(decision.fps);
    }
}

void AppState::updateRenderingState() {
    if (tray_) {
        tray_->setIcon(trayIconImage(enable_.isEnabled));
    }
    updateFps(0, true);
    applySceneSettings();
    if (!window_ || !view_) {
        return;
    }
    applyPause();
    if (!enable_.isEnabled) {
        window_->orderOut();
    } else {
        window_->orderFront();
    }
}

void AppState::applySceneSettings() {
    kadrel::KadrelSettings& settings = scene_->settings();
    settings.vignette = defaults_.value(keys::sceneVignette);
    settings.cameraPeriod = defaults_.value(keys::sceneSpeed);
}

void AppState::updateClockStyle() {
    ClockStyle style;
    style.enabled = defaults_.value(keys::clockEnabled);
    style.fontName = defaults_.value(keys::clockFont);
    style.format = defaults_.value(keys::clockFormat);
    style.opacity = defaults_.value(keys::clockOpacity);
    style.size = defaults_.value(keys::clockSize);
    clock_.setStyle(style);
}

QIcon AppState::trayIconImage(bool enabled) const {
    return QIcon(enabled ? QStringLiteral(":/kadrel/icons/kadrel-tray.svg")
                         : QStringLiteral(":/kadrel/icons/kadrel-tray-disabled.svg"));
}

} // namespace app
