// The GL view in a real window: frames run only while the view is shown and unpaused, follow
// the frame rate, and a lost context is made again (warm frames: ClockOverlayTest, with the
// clock on).
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/ui/GlView.h"
#include "renderer/gl/GlObject.h"
#include "scene/kadrel/KadrelScene.h"
#include "tests/app/ui/Spin.h"
#include "tests/support/AllocationCounter.h"

namespace {

using apptest::spinFor;
using apptest::spinUntil;

class GlViewWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("KADREL_RESOURCES", KADREL_SOURCE_DIR "/resources", 1);
        window_.setSurfaceType(QSurface::OpenGLSurface);
        window_.resize(320, 180);
        window_.show();
        ASSERT_TRUE(spinUntil([this] { return window_.isExposed(); })) << "the window never showed";
        view_ = std::make_unique<app::GlView>(window_, std::make_shared<kadrel::KadrelScene>(),
                                              app::GlView::kadrelRenderer("kadrel"));
        view_->setOnAppear([this] { ++appeared_; });
        view_->setExposed(true);
    }
    void TearDown() override { view_.reset(); }

    QWindow window_;
    std::unique_ptr<app::GlView> view_;
    int appeared_ = 0;
};

TEST_F(GlViewWindowTest, RunsOnlyWhileShownAndUnpaused) {
    EXPECT_EQ(appeared_, 1);
    ASSERT_NE(view_->sceneRenderer(), nullptr);
    EXPECT_TRUE(view_->isRunning());
    EXPECT_GE(view_->framesDrawn(), 1U) << "a newly shown view draws at once";
    ASSERT_TRUE(spinUntil([this] { return view_->framesDrawn() >= 4; }))
        << "no frames from the timer";

    view_->setPaused(true);
    EXPECT_FALSE(view_->isRunning());
    const auto paused = view_->framesDrawn();
    spinFor(300);
    EXPECT_EQ(view_->framesDrawn(), paused) << "frames while paused";

    view_->setPaused(false);
    EXPECT_TRUE(view_->isRunning());
    view_->setExposed(false);
    EXPECT_FALSE(view_->isRunning());
    const auto hidden = view_->framesDrawn();
    spinFor(300);
    EXPECT_EQ(view_->framesDrawn(), hidden) << "frames while hidden";

    view_->setExposed(true);
    EXPECT_TRUE(view_->isRunning());
    EXPECT_EQ(appeared_, 1) << "the renderer is made once";
}

TEST_F(GlViewWindowTest, ALostContextGetsANewContextAndRenderer) {
    view_->setPaused(true);
    view_->renderFrame();
    view_->recoverIfContextLost(); // nothing lost: nothing to do
    EXPECT_EQ(view_->recoveries(), 0);

    view_->loseContextForTesting();
    const auto frames = view_->framesDrawn();
    const auto objects = renderer::gl::objectsCreated();
    view_->renderFrame(); // a frame finds the loss and recovers before drawing
    EXPECT_EQ(view_->recoveries(), 1);
    // Pointers can't tell old from new (the allocator may hand back the same address), so
    // count GL objects: a rebuilt renderer made its buffers and textures again.
    ASSERT_NE(view_->sceneRenderer(), nullptr);
    EXPECT_GT(renderer::gl::objectsCreated(), objects);
    EXPECT_EQ(view_->framesDrawn(), frames + 1);
    EXPECT_EQ(appeared_, 1) << "the appear callback belongs to the first show only";

    // The new renderer draws the same scene, warm and without allocations, as the first did.
    for (int i = 0; i < 5; ++i) {
        view_->renderFrame();
    }
    testsupport::AllocationCounter counter;
    view_->renderFrame();
    EXPECT_EQ(counter.count(), 0U);
    EXPECT_EQ(view_->recoveries(), 1);
}

} // namespace
