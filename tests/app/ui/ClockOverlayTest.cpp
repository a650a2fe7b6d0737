// The clock over the wallpaper: where it sits and how opaque it is in a drawn frame, that a
// warm frame with the clock still allocates nothing and makes no GL object, and that it
// ticks only while shown and lays the text out again only when the text changes.
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <memory>

#include "app/ui/ClockOverlay.h"
#include "app/ui/GlView.h"
#include "renderer/gl/GlObject.h"
#include "renderer/loaders/ResourceLocator.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/app/ui/Spin.h"
#include "tests/support/AllocationCounter.h"

namespace app {
namespace {

using apptest::spinFor;
using apptest::spinUntil;

constexpr double EVENING = 1773523625000.0; // 2026-03-14 21:27:05 UTC

struct FakeClock {
    double now = EVENING;
};

std::unique_ptr<ClockOverlay> makeOverlay(FakeClock& clock) {
    return std::make_unique<ClockOverlay>(std::make_unique<ClockText>("en_US", "UTC"),
                                          [&clock] { return clock.now; });
}

ClockStyle shown(double opacity, float size) {
    ClockStyle style;
    style.enabled = true;
    style.fontName = QStringLiteral("Oswald");
    style.format = QStringLiteral("HH:mm");
    style.opacity = opacity;
    style.size = size;
    return style;
}

TEST(ClockOverlay, TicksOnlyWhileShownAndLaysOutOnlyNewText) {
    FakeClock clock;
    auto overlay = makeOverlay(clock);
    overlay->setWindow(QSize(640, 360), 1.0);
    overlay->setActive(true);
    EXPECT_FALSE(overlay->isTicking()) << "a fresh installation has no clock";
    EXPECT_FALSE(overlay->image().visible);

    overlay->setStyle(shown(0.7, 150.0F));
    EXPECT_TRUE(overlay->isTicking());
    EXPECT_EQ(overlay->text(), "21:27") << "the time at once, not after a second";
    EXPECT_TRUE(overlay->image().visible);

    // Ticks within the minute change nothing that the GL side would upload again.
    const auto generation = overlay->image().generation;
    clock.now += 20'000.0;
    spinFor(1100);
    EXPECT_EQ(overlay->image().generation, generation);
    clock.now += 40'000.0;
    ASSERT_TRUE(spinUntil([&] { return overlay->text() == "21:28"; }, 3000));
    EXPECT_NE(overlay->image().generation, generation);

    overlay->setActive(false); // the wallpaper paused: no wake-ups for the clock
    EXPECT_FALSE(overlay->isTicking());
    overlay->setActive(true);
    EXPECT_TRUE(overlay->isTicking());
    ClockStyle off = shown(0.7, 150.0F);
    off.enabled = false;
    overlay->setStyle(off);
    EXPECT_FALSE(overlay->isTicking());
    EXPECT_FALSE(overlay->image().visible);
}

TEST(ClockOverlay, SizeAndFontFollowTheStyle) {
    ASSERT_GT(
        loadClockFaces(QString::fromStdString(
            (renderer::ResourceLocator(KADREL_SOURCE_DIR "/resources").root() / "fonts").string())),
        4);
    FakeClock clock;
    auto overlay = makeOverlay(clock);
    overlay->setWindow(QSize(1280, 720), 2.0);
    overlay->setStyle(shown(0.7, 150.0F));
    EXPECT_EQ(QFontInfo(overlay->font()).family(), "Oswald") << "the shipped face is used";
    EXPECT_EQ(overlay->font().pixelSize(), 300) << "sizes are device-independent";
    overlay->setStyle(shown(0.7, 300.0F));
    EXPECT_EQ(overlay->font().pixelSize(), 600);
    ClockStyle other = shown(0.7, 300.0F);
    other.fontName = QStringLiteral("Limelight");
    overlay->setStyle(other);
    EXPECT_EQ(QFontInfo(overlay->font()).family(), "Limelight");
    EXPECT_EQ(overlay->font().pixelSize(), 600) << "a new face keeps the size";

    // Sizes written by hand: absurd ones are held to what a screen can show, picture too.
    overlay->setActive(true);
    for (const float size : {1e9F, -5.0F, std::numeric_limits<float>::quiet_NaN()}) {
        ClockStyle odd = shown(0.7, size);
        overlay->setStyle(odd);
        EXPECT_GE(overlay->font().pixelSize(), 1) << size;
        EXPECT_LE(overlay->font().pixelSize(), 2160) << size;
        EXPECT_TRUE(overlay->image().visible) << size;
        EXPECT_LT(overlay->image().image.height(), 2 * 2160) << size;
    }
}

class ClockFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("KADREL_RESOURCES", KADREL_SOURCE_DIR "/resources", 1);
        loadClockFaces(KADREL_SOURCE_DIR "/resources/fonts");
        window_.setSurfaceType(QSurface::OpenGLSurface);
        window_.resize(640, 360);
        window_.show();
        ASSERT_TRUE(spinUntil([this] { return window_.isExposed(); }));
        view_ = std::make_unique<GlView>(window_, std::make_shared<kadrel::KadrelScene>(),
                                         GlView::kadrelRenderer("kadrel"));
        view_->setExposed(true);
        view_->setPaused(true); // frames by hand, at a fixed scene time
        overlay_ = makeOverlay(clock_);
        overlay_->setWindow(QSize(640, 360), 1.0);
        overlay_->setActive(true);
    }
    void TearDown() override { view_.reset(); }

    // The window as the X server shows it after a frame at a fixed scene time.
    QImage frame() {
        view_->renderFrameAt(12'000.0);
        spinFor(150);
        return window_.screen()
            ->grabWindow(window_.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    QWindow window_;
    std::unique_ptr<GlView> view_;
    FakeClock clock_;
    std::unique_ptr<ClockOverlay> overlay_;
};

TEST_F(ClockFrameTest, TheClockSitsAtAFifthOfTheHeightCentredAndAsOpaqueAsAsked) {
    const QImage bare = frame();
    ASSERT_EQ(bare.size(), QSize(640, 360));
    view_->setOverlay(&overlay_->image());
    for (const double opacity : {1.0, 0.4}) {
        overlay_->setStyle(shown(opacity, 100.0F));
        const OverlayImage& clock = overlay_->image();
        ASSERT_TRUE(clock.visible);
        const QImage withClock = frame();

        // Where the text's ink is full, the frame shows grey at the asked opacity over the
        // bare frame (the shadow lies under the ink, not over it).
        const QFontMetrics metrics(overlay_->font());
        int ink = 0;
        int matching = 0;
        int top = 360;
        int left = 640;
        int right = -1;
        for (int y = 0; y < clock.image.height(); ++y) {
            for (int x = 0; x < clock.image.width(); ++x) {
                const uchar* px = clock.image.constScanLine(y) + 4 * x;
                const QPoint at = clock.topLeft + QPoint(x, y);
                // Full ink: the grey channel at its opacity-scaled peak.
                if (px[0] < static_cast<int>(142 * opacity) - 1) {
                    continue;
                }
                ++ink;
                top = std::min(top, at.y());
                left = std::min(left, at.x());
                right = std::max(right, at.x());
                const QRgb seen = withClock.pixel(at);
                const QRgb under = bare.pixel(at);
                const double expected = 142.0 * opacity + qGreen(under) * (1.0 - opacity);
                if (std::abs(qGreen(seen) - expected) <= 6.0) {
                    ++matching;
                }
            }
        }
        ASSERT_GT(ink, 500) << "the digits have a body";
        EXPECT_GT(matching, ink * 95 / 100) << "opacity " << opacity;
        // The line's top at 20 % of the height; the digits' tops a little below it.
        const int lineTop = 72;
        EXPECT_GE(top, lineTop);
        EXPECT_LE(top, lineTop + metrics.ascent() - metrics.capHeight() + 4);
        EXPECT_NEAR((left + right) / 2.0, 320.0, 4.0) << "centred across the width";

        // Outside the clock's picture nothing changed.
        const QRect picture(clock.topLeft, clock.image.size());
        int changedOutside = 0;
        for (int y = 0; y < 360; y += 3) {
            for (int x = 0; x < 640; x += 3) {
                if (!picture.contains(x, y) && withClock.pixel(x, y) != bare.pixel(x, y)) {
                    ++changedOutside;
                }
            }
        }
        EXPECT_EQ(changedOutside, 0);
    }
}

// The view's warm frames, clock included.
TEST_F(ClockFrameTest, WarmFramesWithTheClockAllocateNothingAndMakeNoGlObject) {
    view_->setOverlay(&overlay_->image());
    overlay_->setStyle(shown(0.7, 220.0F));
    for (int i = 0; i < 10; ++i) {
        view_->renderFrame();
    }
    const auto objects = renderer::gl::objectsCreated();
    const int overlayObjects = view_->overlayLayer().objectsMade();
    std::size_t allocations = 0;
    {
        testsupport::AllocationCounter counter;
        for (int i = 0; i < 30; ++i) {
            view_->renderFrame();
        }
        allocations = counter.count();
    }
    EXPECT_EQ(allocations, 0U);
    EXPECT_EQ(renderer::gl::objectsCreated(), objects);
    EXPECT_EQ(view_->overlayLayer().objectsMade(), overlayObjects);
    EXPECT_EQ(overlayObjects, 3);
}

} // namespace
} // namespace app
