#include <gtest/gtest.h>

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include "app/core/Defaults.h"

namespace app {
namespace {

using Delivery = Defaults::Delivery;

// Spins the event loop until the condition holds or 5 s pass: a time-out, not a speed test.
bool waitFor(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return condition();
}

// Lets any pending file-watch delivery happen (several debounce periods).
void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 400) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

QStringList g_warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg)
        g_warnings << message;
}

class DefaultsTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("config/kadrel/kadrel.conf"));
        g_warnings.clear();
        previousHandler_ = qInstallMessageHandler(collectWarnings);
    }
    void TearDown() override { qInstallMessageHandler(previousHandler_); }

    void writeFile(const QByteArray& bytes, const QString& path = {}) {
        const QString target = path.isEmpty() ? path_ : path;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray fileBytes() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString path_;
    QtMessageHandler previousHandler_ = nullptr;
};

TEST_F(DefaultsTest, FreshInstallReadsDefaultsAndWritesNothing) {
    Defaults store(path_);
    std::vector<Subscription> subs;
    int delivered = 0;
    subs.push_back(store.observe(keys::fps, Delivery::AtOnceAndOnChange,
                                 [&](std::int64_t v) { delivered += v == 30; }));
    subs.push_back(store.observe(keys::display, Delivery::AtOnceAndOnChange,
                                 [&](const std::optional<Display>& d) { delivered += !d; }));
    subs.push_back(store.observe(keys::clockFont, Delivery::ChangesOnly,
                                 [&](const QString&) { delivered += 100; }));
    EXPECT_EQ(delivered, 2); // at once: the defaults of keys never written; changes-only: nothing
    EXPECT_FALSE(store.value(keys::hideMenuBarIcon));
    EXPECT_FALSE(store.value(keys::display));
    EXPECT_TRUE(store.value(keys::showOnAllSpaces));
    EXPECT_TRUE(store.value(keys::muteAudio));
    EXPECT_EQ(store.value(keys::sceneSpeed), 1.5f);
    EXPECT_EQ(store.value(keys::clockFormat), "h:mm");
    EXPECT_EQ(store.value(keys::clockOpacity), 0.7);
    EXPECT_EQ(store.value(keys::clockSize), 220.0f);
    settle();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(path_).absolutePath())); // not even the folder
    EXPECT_TRUE(g_warnings.isEmpty());
}

TEST_F(DefaultsTest, ReadsEveryKeyByItsName) {
    writeFile("[General]\nhideMenuBarIcon=true\ndisplay=3b048864-b9c9-5061-86e7-516245de84da\n"
              "deactivateOnBattery=true\nshowOnAllSpaces=false\nbringBrowsingModeToFront=true\n"
              "muteAudio=false\nextendTarvoBelowMenuBar=true\nfps=60\nlowPowerMode=false\n"
              "batteryMode=false\nsceneVignette=false\nsceneSpeed=2.25\nclockFont=Inter\n"
              "clockFormat=HH:mm\nclockEnabled=true\nclockOpacity=0.35\nclockSize=300\n");
    const Defaults s(path_);
    EXPECT_TRUE(s.value(keys::hideMenuBarIcon) && s.value(keys::deactivateOnBattery) &&
                s.value(keys::bringBrowsingModeToFront) && s.value(keys::extendTarvoBelowMenuBar) &&
                s.value(keys::clockEnabled));
    EXPECT_FALSE(s.value(keys::showOnAllSpaces) || s.value(keys::muteAudio) ||
                 s.value(keys::lowPowerMode) || s.value(keys::batteryMode) ||
                 s.value(keys::sceneVignette));
    EXPECT_EQ(s.value(keys::display), Display::fromString("3b048864-b9c9-5061-86e7-516245de84da"));
    EXPECT_EQ(s.value(keys::fps), 60);
    EXPECT_EQ(s.value(keys::sceneSpeed), 2.25f);
    EXPECT_EQ(s.value(keys::clockFont), "Inter");
    EXPECT_EQ(s.value(keys::clockFormat), "HH:mm");
    EXPECT_EQ(s.value(keys::clockOpacity), 0.35);
    EXPECT_EQ(s.value(keys::clockSize), 300.0f);
}

TEST_F(DefaultsTest, RoundTripThroughTheFile) {
    const QString awkward = QStringLiteral("@H:mm, \"ss\"; ✓ ");
    const Display display{QUuid::createUuid()};
    {
        Defaults s(path_);
        EXPECT_TRUE(s.setValue(keys::fps, std::int64_t{-9'000'000'000}));
        EXPECT_TRUE(s.setValue(keys::sceneSpeed, 0.7f));
        EXPECT_TRUE(s.setValue(keys::clockOpacity, 0.1 + 0.2));
        EXPECT_TRUE(s.setValue(keys::clockFormat, awkward));
        EXPECT_TRUE(s.setValue(keys::clockEnabled, true));
        EXPECT_TRUE(s.setValue(keys::display, std::optional<Display>(display)));
    }
    EXPECT_TRUE(fileBytes().startsWith("[General]\nfps=-9000000000\nsceneSpeed=0.7\n"));
    Defaults s(path_);
    EXPECT_EQ(s.value(keys::fps), -9'000'000'000);
    EXPECT_EQ(s.value(keys::sceneSpeed), 0.7f);
    EXPECT_EQ(s.value(keys::clockOpacity), 0.1 + 0.2);
    EXPECT_EQ(s.value(keys::clockFormat), awkward);
    EXPECT_TRUE(s.value(keys::clockEnabled));
    EXPECT_EQ(s.value(keys::display), display);
    // QSettings, the format's reference reader, sees the same values.
    QSettings theirs(path_, QSettings::IniFormat);
    EXPECT_EQ(theirs.value("clockFormat").toString(), awkward);
    EXPECT_EQ(theirs.value("sceneSpeed").toFloat(), 0.7f);
    EXPECT_EQ(theirs.value("clockEnabled").toBool(), true);
    EXPECT_EQ(theirs.value("display").toString(), display.toString());
    // No display removes the entry.
    EXPECT_TRUE(s.setValue(keys::display, std::optional<Display>()));
    EXPECT_FALSE(fileBytes().contains("display"));
    EXPECT_FALSE(s.value(keys::display));
}

TEST_F(DefaultsTest, UnreadableTextFallsBackOnceAndSurvivesWrites) {
    const QByteArray original = "; written by hand\n[General]\nfps=abc\nsceneSpeed=nan\n"
                                "display=not-a-uuid\nclockOpacity=inf\nsceneVignette=yes\n"
                                "clockSize=1e39\nbatteryMode=0\nclockEnabled=TRUE\n"
                                "lowPowerMode = 1 ; mine\n\n[Window]\nx=1\n";
    writeFile(original);
    Defaults s(path_);
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(s.value(keys::fps), 30);
        EXPECT_EQ(s.value(keys::sceneSpeed), 1.5f);
        EXPECT_FALSE(s.value(keys::display));
        EXPECT_EQ(s.value(keys::clockOpacity), 0.7);
        EXPECT_TRUE(s.value(keys::sceneVignette));
        EXPECT_EQ(s.value(keys::clockSize), 220.0f);
    }
    EXPECT_FALSE(s.value(keys::batteryMode)); // readable spellings of booleans
    EXPECT_TRUE(s.value(keys::clockEnabled));
    EXPECT_TRUE(s.value(keys::lowPowerMode));
    ASSERT_EQ(g_warnings.size(), 6) << g_warnings.join(u'\n').toStdString();
    EXPECT_TRUE(g_warnings[0].contains(u"fps=abc")) << g_warnings[0].toStdString();
    EXPECT_FALSE(g_warnings.join(u' ').contains(u'\n'));

    settle();
    EXPECT_EQ(fileBytes(), original); // reading never "repairs" the file
    ASSERT_TRUE(s.setValue(keys::muteAudio, false));
    ASSERT_TRUE(s.setValue(keys::lowPowerMode, false));
    QByteArray expected = original;
    expected.replace("lowPowerMode = 1 ; mine\n", "lowPowerMode = false ; mine\nmuteAudio=false\n");
    EXPECT_EQ(fileBytes().toStdString(), expected.toStdString());
    EXPECT_EQ(g_warnings.size(), 6);
}

TEST_F(DefaultsTest, OutOfRangeValuesAreNotGarbage) {
    writeFile("[General]\nfps=45\nsceneSpeed=9\nclockFormat=\"mm, ss\"\n");
    const Defaults s(path_);
    EXPECT_EQ(s.value(keys::fps), 45);
    EXPECT_EQ(s.value(keys::sceneSpeed), 9.0f);
    EXPECT_EQ(s.value(keys::clockFormat), "mm, ss");
    EXPECT_TRUE(g_warnings.isEmpty());
}

TEST_F(DefaultsTest, OwnWritesNotifySynchronouslyOnce) {
    Defaults s(path_);
    std::vector<std::int64_t> seen;
    std::vector<Subscription> subs;
    subs.push_back(
        s.observe(keys::fps, Delivery::ChangesOnly, [&](std::int64_t v) { seen.push_back(v); }));
    ASSERT_TRUE(s.setValue(keys::fps, std::int64_t{60}));
    EXPECT_EQ(seen, std::vector<std::int64_t>{60});
    s.reload(); // what the file watch does once it notices our own write
    settle();
    ASSERT_TRUE(s.setValue(keys::fps, std::int64_t{60})); // no change, no call
    EXPECT_EQ(seen, std::vector<std::int64_t>{60});
    subs.clear();
    ASSERT_TRUE(s.setValue(keys::fps, std::int64_t{20}));
    EXPECT_EQ(seen, std::vector<std::int64_t>{60});
}

TEST_F(DefaultsTest, ObserversMayUnsubscribeAndWriteFromTheirCallback) {
    auto s = std::make_unique<Defaults>(path_);
    Subscription self;
    int calls = 0;
    self = s->observe(keys::clockEnabled, Delivery::ChangesOnly, [&](bool) {
        ++calls;
        self.reset();
        ASSERT_TRUE(s->setValue(keys::clockSize, 300.0f));
    });
    float size = 0;
    Subscription sizeSub =
        s->observe(keys::clockSize, Delivery::ChangesOnly, [&](float v) { size = v; });
    ASSERT_TRUE(s->setValue(keys::clockEnabled, true));
    ASSERT_TRUE(s->setValue(keys::clockEnabled, false));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(size, 300.0f);
    s.reset(); // a token that outlives its store ends quietly
    sizeSub.reset();
}

TEST_F(DefaultsTest, OutsideWritesAreDelivered) {
    writeFile("[General]\nfps=30\nclockFont=Baloo\n; keep\n");
    Defaults s(path_);
    std::vector<std::int64_t> fps;
    int fontCalls = 0;
    std::vector<Subscription> subs;
    subs.push_back(
        s.observe(keys::fps, Delivery::ChangesOnly, [&](std::int64_t v) { fps.push_back(v); }));
    subs.push_back(
        s.observe(keys::clockFont, Delivery::ChangesOnly, [&](const QString&) { ++fontCalls; }));

    { // another program using QSettings (which rewrites the whole file)
        QSettings other(path_, QSettings::IniFormat);
        other.setValue("fps", 60);
    }
    ASSERT_TRUE(waitFor([&] { return fps.size() == 1; }));
    EXPECT_EQ(fps.back(), 60);

    writeFile("[General]\nfps=20\nclockFont=Baloo\n"); // an editor saving in place
    ASSERT_TRUE(waitFor([&] { return fps.size() == 2; }));
    EXPECT_EQ(fps.back(), 20);

    // Replace by rename, twice: the watch follows to the new file, also while someone still
    // reading an old one keeps it alive.
    std::vector<std::unique_ptr<QFile>> readers;
    for (const std::int64_t next : {45, 10}) {
        readers.push_back(std::make_unique<QFile>(path_));
        ASSERT_TRUE(readers.back()->open(QIODevice::ReadOnly));
        const QString temp = path_ + QStringLiteral(".tmp");
        writeFile("[General]\nfps=" + QByteArray::number(next) + "\nclockFont=Baloo\n", temp);
        ASSERT_TRUE(::rename(QFile::encodeName(temp), QFile::encodeName(path_)) == 0);
        ASSERT_TRUE(waitFor([&] { return fps.back() == next; }));
    }
    writeFile("[General]\nfps=10 ; same value, other text\nclockFont=Baloo\n");
    settle();
    writeFile("[General]\nfps=11\nclockFont=Baloo\n"); // in place, into the renamed file
    ASSERT_TRUE(waitFor([&] { return fps.back() == 11; }));
    EXPECT_EQ(fps, (std::vector<std::int64_t>{60, 20, 45, 10, 11}));
    EXPECT_EQ(fontCalls, 0);

    ASSERT_TRUE(QFile::remove(path_)); // deleted: back to the defaults
    ASSERT_TRUE(waitFor([&] { return fps.back() == 30; }));
}

TEST_F(DefaultsTest, NoticesAFolderMadeLater) {
    Defaults s(path_);
    bool clock = false;
    Subscription sub =
        s.observe(keys::clockEnabled, Delivery::ChangesOnly, [&](bool v) { clock = v; });
    writeFile("[General]\nclockEnabled=true\n"); // makes config/kadrel/ and the file
    EXPECT_TRUE(waitFor([&] { return clock; }));
}

TEST_F(DefaultsTest, AWriteKeepsOutsideChangesNotYetNoticed) {
    writeFile("[General]\nfps=30\n");
    Defaults s(path_);
    std::int64_t fps = 0;
    Subscription sub =
        s.observe(keys::fps, Delivery::ChangesOnly, [&](std::int64_t v) { fps = v; });
    writeFile("[General]\nfps=60\n"); // no event loop turn in between
    ASSERT_TRUE(s.setValue(keys::clockEnabled, true));
    EXPECT_EQ(fileBytes().toStdString(), "[General]\nfps=60\nclockEnabled=true\n");
    EXPECT_EQ(fps, 60);
}

} // namespace
} // namespace app
