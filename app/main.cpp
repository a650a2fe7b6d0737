// kadrel: the live wallpaper on the desktop, steered from its tray icon.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "app/core/Autostart.h"
#include "app/core/Defaults.h"
#include "app/platform/ControlClient.h"
#include "app/platform/QuitOnSignals.h"
#include "app/platform/SingleInstance.h"
#include "app/ui/AboutWindow.h"
#include "app/ui/AppState.h"
#include "app/ui/ClockOverlay.h"
#include "app/ui/ControlService.h"
#include "app/ui/DesktopWindow.h"
#include "app/ui/SettingsWindow.h"
#include "renderer/loaders/ResourceLocator.h"

namespace {

constexpr const char* USAGE =
    "Usage: kadrel [OPTION]\n"
    "\n"
    "Shows the Kadrel live wallpaper behind the windows of this desktop and puts its icon in\n"
    "the system tray. A second launch while it runs shows the icon again and leaves.\n"
    "\n"
    "Control of the running wallpaper (no display needed):\n"
    "  --enable       show the wallpaper again after a disable\n"
    "  --disable      stop drawing and take the wallpaper off the screen, as the menu does\n"
    "  --toggle       disable when enabled, enable when disabled\n"
    "  --next-camera  glide to the next camera path\n"
    "  --settings     open the settings window\n"
    "  --about        open the About window\n"
    "  --status       print whether it is enabled or paused (and why) and its frame rate\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "  --list-displays\n"
    "                 list the connected monitors with the ids that the \"display\" setting\n"
    "                 takes, and exit\n"
    "\n"
    "Settings are kept in $XDG_CONFIG_HOME/kadrel/kadrel.conf (default ~/.config).\n"
    "The wallpaper's resources are read from $KADREL_RESOURCES when set, otherwise from the\n"
    "resources folder beside the program or the installed data folder.\n";

// What the command line asks for before any display is needed.
enum class Early { Run, ListDisplays, Control, Exit, BadOption };

// The control command an option asks for, or empty.
QString controlCommand(std::string_view arg) {
    for (const char* command :
         {"enable", "disable", "toggle", "next-camera", "settings", "about", "status"}) {
        if (arg.size() > 2 && arg.substr(0, 2) == "--" && arg.substr(2) == command) {
            return QString::fromLatin1(command);
        }
    }
    return {};
}

Early parseEarly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(USAGE, stdout);
            return Early::Exit;
        }
        if (arg == "-v" || arg == "--version") {
            std::printf("kadrel %s\n", KADREL_VERSION);
            return Early::Exit;
        }
        if (argc == 2 && arg == "--list-displays") {
            return Early::ListDisplays;
        }
        if (argc == 2 && !controlCommand(arg).isEmpty()) {
            return Early::Control;
        }
        std::fprintf(stderr, "kadrel: unknown option '%s'\n\n%s", argv[i], USAGE);
        return Early::BadOption;
    }
    return Early::Run;
}

// Qt stops the process with an abort when its platform cannot connect; say why instead.
bool canReachX11Display() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fputs("kadrel: no display to show the wallpaper on (DISPLAY is not set).\n"
                   "Start it from a desktop session, or render frames to PNG with kadrel-render.\n",
                   stderr);
        return false;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (error != 0) {
        std::fprintf(stderr, "kadrel: cannot connect to the X display \"%s\".\n", display);
        return false;
    }
    return true;
}

// One line a monitor: its id, connector, geometry in desktop pixels, and whether it is the
// primary one, which the wallpaper covers when the stored display is not connected.
int listDisplays() {
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        std::printf("%s  %s  %dx%d+%d+%d%s\n",
                    app::Display{app::displayIdOf(*screen)}.toString().toUtf8().constData(),
                    screen->name().toUtf8().constData(), g.width(), g.height(), g.x(), g.y(),
                    screen == QGuiApplication::primaryScreen() ? "  primary" : "");
    }
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    const Early early = parseEarly(argc, argv);
    switch (early) {
    case Early::Exit:
        return EXIT_SUCCESS;
    case Early::BadOption:
        return 2;
    case Early::Control: {
        QCoreApplication application(argc, argv);
        return app::runControlCommand(controlCommand(argv[1]));
    }
    case Early::Run:
    case Early::ListDisplays:
        break;
    }

    // The wallpaper window is an X11 desktop window. In a Wayland session it runs through
    // XWayland, whose desktop windows stay behind the others; a platform the user chose
    // explicitly is respected.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    if (qgetenv("QT_QPA_PLATFORM") == "xcb" && !canReachX11Display()) {
        return EXIT_FAILURE;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kadrel"));
    QApplication::setApplicationVersion(QStringLiteral(KADREL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.kadrel.Kadrel"));
    // Closing the settings or About window never ends the wallpaper.
    QApplication::setQuitOnLastWindowClosed(false);
    if (early == Early::ListDisplays) {
        return listDisplays();
    }
    app::QuitOnSignals quitOnSignals;
    // The user's language where Kadrel speaks it; English (the texts' keys) otherwise.
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("kadrel"), QStringLiteral("_"),
                        QStringLiteral(":/kadrel/i18n"))) {
        QApplication::installTranslator(&translator);
    }
    QTranslator qtTranslator; // the standard buttons' texts, where Qt's catalogue is installed
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslator);
    }
    app::loadClockFaces(
        QString::fromStdString((renderer::ResourceLocator::defaultRoot() / "fonts").string()));

    app::Defaults defaults(app::Defaults::defaultFilePath());
    app::AppState state(defaults);
    app::ControlService control(state);
    app::SingleInstance instance(
        &control, [&control](const QString& command) { return control.handle(command); });
    if (instance.claim() == app::SingleInstance::Role::Secondary) {
        std::puts("Kadrel is already running: showing its icon.");
        return EXIT_SUCCESS;
    }
    // The windows of the menu, made the first time they are asked for and kept: closing one
    // neither quits nor forgets where its tabs were.
    std::unique_ptr<app::SettingsWindow> settings;
    std::unique_ptr<app::AboutWindow> about;
    QObject::connect(&state, &app::AppState::settingsRequested, [&] {
        if (!settings) {
            settings =
                std::make_unique<app::SettingsWindow>(defaults, app::Autostart::forThisProgram());
            QObject::connect(&state, &app::AppState::deviceWoke, settings.get(),
                             &app::SettingsWindow::refreshDisplays);
        }
        settings->present();
    });
    QObject::connect(&state, &app::AppState::aboutRequested, [&] {
        if (!about) {
            about = std::make_unique<app::AboutWindow>(QStringLiteral(KADREL_VERSION),
                                                       QStringLiteral(KADREL_BUILD));
        }
        about->present();
    });
    // The rest of start-up runs once the event loop turns, as the window system expects.
    QTimer::singleShot(0, &state, &app::AppState::start);
    return application.exec();
}
