#include "app/platform/CoverageWatcher.h"

#include <QGuiApplication>

#include "app/platform/X11CoverageWatcher.h"

namespace app {

CoverageWatcher::CoverageWatcher(QObject* parent) : QObject(parent) {}

CoverageWatcher::~CoverageWatcher() = default;

std::unique_ptr<CoverageWatcher> CoverageWatcher::forCurrentPlatform() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            if (xcb_connection_t* connection = x11->connection()) {
                return std::make_unique<X11CoverageWatcher>(connection);
            }
        }
    }
    return std::make_unique<CoverageWatcher>();
}

void CoverageWatcher::watch(QWindow* wallpaper) {
    (void)wallpaper;
}

void CoverageWatcher::setCovered(bool covered) {
    if (covered == covered_) {
        return;
    }
    covered_ = covered;
    Q_EMIT coveredChanged(covered);
}

} // namespace app
