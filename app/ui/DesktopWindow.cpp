#include "app/ui/DesktopWindow.h"

#include <QExposeEvent>
#include <QGuiApplication>
#include <QScreen>

#include "app/core/FrameGeometry.h"
#include "app/core/Keys.h"
#include "app/platform/DesktopWindowSystem.h"

namespace app {

QUuid displayIdOf(const QScreen& screen) {
    return displayUuid(MonitorIdentity{screen.manufacturer(), screen.model(), screen.serialNumber(),
                                       screen.name()});
}

DesktopWindow::DesktopWindow(Defaults& defaults, DesktopWindowSystem& windowSystem)
    : defaults_(defaults), windowSystem_(windowSystem) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint |
             Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput);
    setTitle(QStringLiteral("Kadrel"));
    targetDisplay_ = defaults_.value(keys::display);
    showOnAllSpaces_ = defaults_.value(keys::showOnAllSpaces);

    placeTimer_.setSingleShot(true);
    placeTimer_.setInterval(0);
    connect(&placeTimer_, &QTimer::timeout, this, &DesktopWindow::setFrameForTargetDisplay);

    auto* application = qGuiApp;
    connect(application, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        placeTimer_.start();
    });
    connect(application, &QGuiApplication::screenRemoved, this, [this] { placeTimer_.start(); });
    connect(application, &QGuiApplication::primaryScreenChanged, this,
            [this] { placeTimer_.start(); });
    for (QScreen* screen : QGuiApplication::screens()) {
        watchScreen(screen);
    }

    create();
    setFrameForTargetDisplay();
    subscriptions_.push_back(defaults_.observe<bool>(
        keys::extendTarvoBelowMenuBar, Defaults::Delivery::AtOnceAndOnChange,
        [this](const bool&) { setFrameForTargetDisplay(); }));
}

DesktopWindow::~DesktopWindow() = default;

void DesktopWindow::watchScreen(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, [this] { placeTimer_.start(); });
    connect(screen, &QScreen::availableGeometryChanged, this, [this] { placeTimer_.start(); });
}

void DesktopWindow::setTargetDisplay(std::optional<Display> display) {
    targetDisplay_ = std::move(display);
    setFrameForTargetDisplay();
}

QScreen* DesktopWindow::targetScreen() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    std::vector<QUuid> ids;
    ids.reserve(static_cast<std::size_t>(screens.size()));
    std::optional<std::size_t> primary;
    for (QScreen* screen : screens) {
        if (screen == QGuiApplication::primaryScreen()) {
            primary = ids.size();
        }
        ids.push_back(displayIdOf(*screen));
    }
    const std::optional<std::size_t> chosen = chooseScreen(ids, targetDisplay_, primary);
    return chosen ? screens.at(static_cast<qsizetype>(*chosen)) : nullptr;
}

void DesktopWindow::setFrameForTargetDisplay() {
    QScreen* screen = targetScreen();
    if (screen == nullptr) {
        return; // no screen at all: stay where we are
    }
    const QRect frame = windowFrame(ScreenGeometry{screen->geometry(), screen->availableGeometry()},
                                    defaults_.value(keys::extendTarvoBelowMenuBar));
    if (this->screen() != screen) {
        setScreen(screen);
    }
    setGeometry(frame);
    requestUpdate();
}

void DesktopWindow::setShowOnAllSpaces(bool all) {
    showOnAllSpaces_ = all;
    windowSystem_.setOnAllWorkspaces(*this, all);
}

void DesktopWindow::orderFront() {
    if (isVisible()) {
        return;
    }
    windowSystem_.prepareDesktopWindow(*this, showOnAllSpaces_);
    setFrameForTargetDisplay();
    show();
    lower();
}

void DesktopWindow::orderOut() {
    hide();
}

void DesktopWindow::exposeEvent(QExposeEvent* event) {
    QWindow::exposeEvent(event);
    const bool exposed = isExposed();
    if (exposed != exposed_) {
        exposed_ = exposed;
        Q_EMIT exposedChanged(exposed);
    }
}

bool DesktopWindow::event(QEvent* event) {
    // A hidden window gets no expose event saying so on every platform.
    if (event->type() == QEvent::Hide && exposed_) {
        exposed_ = false;
        Q_EMIT exposedChanged(false);
    }
    return QWindow::event(event);
}

} // namespace app
