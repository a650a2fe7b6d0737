// The settings and About windows: every control writes its key at once and follows writes
// from outside; the window opens on General, sizes to the shown tab; the texts are German
// where the user is.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/core/Keys.h"
#include "app/ui/AboutWindow.h"
#include "app/ui/DesktopWindow.h"
#include "app/ui/SettingsWindow.h"

namespace app {
namespace {

bool waitFor(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return condition();
}

// Picks the entry whose data is `data`, as a user's click does.
void choose(QComboBox* box, const QVariant& data) {
    const int index = box->findData(data);
    ASSERT_GE(index, 0) << data.toString().toStdString();
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

class SettingsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        defaults_ = std::make_unique<Defaults>(folder_.filePath("kadrel.conf"));
        window_ = std::make_unique<SettingsWindow>(
            *defaults_, Autostart(folder_.filePath("autostart/kadrel.desktop"), "/usr/bin/kadrel"));
    }
    // Another process writes the file (the store notices it by watching).
    void writeFromOutside(const char* name, const char* value) {
        QFile file(folder_.filePath("kadrel.conf"));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(QByteArray("\n") + name + "=" + value + "\n");
    }

    QTemporaryDir folder_;
    std::unique_ptr<Defaults> defaults_;
    std::unique_ptr<SettingsWindow> window_;
};

TEST_F(SettingsWindowTest, EachControlWritesItsKeyAtOnce) {
    choose(window_->fps(), 60LL);
    EXPECT_EQ(defaults_->value(keys::fps), 60);

    // The two frame-rate switches are independent of each other.
    window_->batteryMode()->click();
    EXPECT_FALSE(defaults_->value(keys::batteryMode));
    EXPECT_TRUE(defaults_->value(keys::lowPowerMode));
    window_->lowPowerMode()->click();
    EXPECT_FALSE(defaults_->value(keys::lowPowerMode));
    EXPECT_FALSE(defaults_->value(keys::batteryMode));

    window_->showOnAllSpaces()->click();
    EXPECT_FALSE(defaults_->value(keys::showOnAllSpaces));
    window_->pauseWhenCovered()->click();
    EXPECT_FALSE(defaults_->value(keys::pauseWhenCovered));
    window_->vignette()->click();
    EXPECT_FALSE(defaults_->value(keys::sceneVignette));

    // The speed slider steps by 0.25 from 0.5 to 3.0.
    EXPECT_EQ(window_->speed()->value(), 4) << "1.5 is the fifth step";
    window_->speed()->setValue(0);
    EXPECT_EQ(defaults_->value(keys::sceneSpeed), 0.5F);
    window_->speed()->setValue(window_->speed()->maximum());
    EXPECT_EQ(defaults_->value(keys::sceneSpeed), 3.0F);

    window_->clockEnabled()->click();
    EXPECT_TRUE(defaults_->value(keys::clockEnabled));
    choose(window_->clockFont(), QStringLiteral("CarbonType"));
    EXPECT_EQ(window_->clockFont()->currentText(), "Carbon");
    EXPECT_EQ(defaults_->value(keys::clockFont), "CarbonType");
    choose(window_->clockFormat(), QStringLiteral("HH:mm"));
    EXPECT_EQ(defaults_->value(keys::clockFormat), "HH:mm");
    window_->clockOpacity()->setValue(window_->clockOpacity()->minimum());
    EXPECT_DOUBLE_EQ(defaults_->value(keys::clockOpacity), 0.1);
    window_->clockSize()->setValue(350);
    EXPECT_EQ(defaults_->value(keys::clockSize), 350.0F);
}

TEST_F(SettingsWindowTest, ControlsFollowWritesFromOutside) {
    writeFromOutside("fps", "45"); // not offered: shown as it is, not replaced
    writeFromOutside("clockFont", "Comic Sans");
    writeFromOutside("clockSize", "300");
    writeFromOutside("sceneSpeed", "2.75");
    writeFromOutside("batteryMode", "false");
    ASSERT_TRUE(waitFor([&] { return !window_->batteryMode()->isChecked(); }));
    EXPECT_EQ(window_->fps()->currentText(), "45");
    EXPECT_EQ(window_->clockFont()->currentText(), "Comic Sans");
    EXPECT_EQ(window_->clockSize()->value(), 300);
    EXPECT_EQ(window_->speed()->value(), 9);
    // Moving a control to follow is no write: what the user wrote stays as written.
    EXPECT_EQ(defaults_->value(keys::fps), 45);
    EXPECT_EQ(defaults_->value(keys::clockFont), "Comic Sans");
}

TEST_F(SettingsWindowTest, OpeningSettlesTheDisplayAndTheLoginSwitch) {
    EXPECT_FALSE(defaults_->value(keys::display));
    window_->present();
    ASSERT_TRUE(waitFor([&] { return window_->isVisible(); }));
    EXPECT_EQ(window_->tabs()->currentIndex(), 0) << "opens on General";
    ASSERT_TRUE(defaults_->value(keys::display).has_value());
    EXPECT_EQ(defaults_->value(keys::display)->id, displayIdOf(*QGuiApplication::primaryScreen()));
    EXPECT_EQ(window_->display()->count(), QGuiApplication::screens().size());

    const QString entry = folder_.filePath("autostart/kadrel.desktop");
    EXPECT_FALSE(window_->launchAtLogin()->isChecked());
    window_->launchAtLogin()->click();
    EXPECT_TRUE(QFile::exists(entry));
    window_->launchAtLogin()->click();
    EXPECT_FALSE(QFile::exists(entry));
    window_->close();
}

TEST_F(SettingsWindowTest, TheHideIconAlertComesWithEachSwitchOn) {
    int alerts = 0;
    QObject::connect(window_.get(), &SettingsWindow::hideIconAlertShown, [&] { ++alerts; });
    window_->hideMenuBarIcon()->click();
    EXPECT_TRUE(defaults_->value(keys::hideMenuBarIcon));
    EXPECT_EQ(alerts, 1);
    window_->hideMenuBarIcon()->click();
    EXPECT_EQ(alerts, 1) << "switching off shows nothing";
    window_->hideMenuBarIcon()->click();
    EXPECT_EQ(alerts, 2);
}

TEST(AboutWindow, VersionLineAndCredits) {
    EXPECT_EQ(versionLine("1.2.3", "7"), "Version 1.2 (7)");
    EXPECT_EQ(versionLine("0.1.0", ""), "Version 0.1 (Unknown)");
    EXPECT_EQ(versionLine("", "12"), "Version Unknown (12)");
    const AboutWindow about("0.1.0", "81");
    EXPECT_EQ(about.width(), 340);
    EXPECT_EQ(about.versionLabel()->text(), "Version 0.1 (81)");
    for (const char* credit : {"Qt 6", "ICU", "SIL Open Font License", "Fontsource", "bake tool"}) {
        EXPECT_TRUE(about.credits()->text().contains(QLatin1String(credit))) << credit;
    }
}

// The German catalogue is built in, complete, and used by the windows.
TEST(Translations, GermanTextsLoadAndNoneIsMissing) {
    QFile source(KADREL_SOURCE_DIR "/app/translations/kadrel_de.ts");
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray ts = source.readAll();
    EXPECT_FALSE(ts.contains("type=\"unfinished\"")) << "a text without its German";
    EXPECT_GT(ts.count("<translation>"), 40);

    QTranslator german;
    ASSERT_TRUE(
        german.load(QLocale(QLocale::German, QLocale::Germany), "kadrel", "_", ":/kadrel/i18n"));
    QCoreApplication::installTranslator(&german);
    {
        Defaults defaults(QTemporaryDir().filePath("kadrel.conf"));
        const SettingsWindow window(defaults, Autostart("/nonexistent/k.desktop", "/k"));
        EXPECT_EQ(window.tabs()->tabText(0), "Allgemein");
        EXPECT_EQ(window.tabs()->tabText(2), "Uhr");
        EXPECT_EQ(window.clockFormat()->itemText(3), "24 Stunden lang (21:27)");
        EXPECT_EQ(window.clockFont()->itemText(3), "Carbon") << "font names stay as written";
        EXPECT_EQ(QCoreApplication::translate("app::AppState", "Disable"), "Deaktivieren");
    }
    QCoreApplication::removeTranslator(&german);
}

} // namespace
} // namespace app
