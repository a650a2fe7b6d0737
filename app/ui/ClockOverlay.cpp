#include "app/ui/ClockOverlay.h"

#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/core/ClockFace.h"

namespace app {

namespace {

// The largest clock, in device pixels: a 4K screen's height.
constexpr double MAX_CLOCK_PIXELS = 2160.0;

// The platform's standard grey, as the clock has always been drawn.
constexpr QRgb CLOCK_GREY = qRgb(142, 142, 147);

// One pass of a running-sum box blur of `radius` along rows (step 1) or columns (step =
// stride) of an 8-bit channel.
void boxBlur(std::vector<std::uint8_t>& pixels, int width, int height, int radius, bool alongRows) {
    const int lines = alongRows ? height : width;
    const int length = alongRows ? width : height;
    const int step = alongRows ? 1 : width;
    std::vector<std::uint8_t> line(static_cast<std::size_t>(length));
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        std::uint8_t* first = pixels.data() + (alongRows ? l * width : l);
        for (int i = 0; i < length; ++i) {
            line[static_cast<std::size_t>(i)] = first[i * step];
        }
        int sum = 0;
        const auto at = [&](int i) {
            return i < 0 || i >= length ? 0 : line[static_cast<std::size_t>(i)];
        };
        for (int i = -radius; i <= radius; ++i) {
            sum += at(i);
        }
        for (int i = 0; i < length; ++i) {
            first[i * step] = static_cast<std::uint8_t>(sum / window);
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
}

// A Gaussian of standard deviation `sigma` as three box blurs, in both directions.
void gaussianBlur(std::vector<std::uint8_t>& alpha, int width, int height, double sigma) {
    const int radius = std::max(
        1, static_cast<int>(std::lround((std::sqrt(4.0 * sigma * sigma + 1.0) - 1.0) / 2.0)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, width, height, radius, true);
        boxBlur(alpha, width, height, radius, false);
    }
}

} // namespace

OverlayImage layoutClock(const QString& text, const QFont& font, double opacity, QSize windowPixels,
                         qreal devicePixelRatio) {
    OverlayImage out;
    if (text.isEmpty() || windowPixels.isEmpty()) {
        return out;
    }
    const QFontMetrics metrics(font);
    // The shadow's radius spans two standard deviations of its blur; the picture leaves room
    // for its whole visible tail.
    const double radius = CLOCK_SHADOW_RADIUS * devicePixelRatio;
    const int margin = static_cast<int>(std::ceil(2.0 * radius));
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const int width = textWidth + 2 * margin;
    const int height = textHeight + 2 * margin;

    // The text's coverage alone, then the shadow from it.
    QImage coverage(width, height, QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(margin, margin + metrics.ascent()), text);
    }
    std::vector<std::uint8_t> shadow(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        std::copy_n(coverage.constScanLine(y), width,
                    shadow.data() + static_cast<std::size_t>(y) * width);
    }
    gaussianBlur(shadow, width, height, radius / 2.0);

    // Premultiplied: shadow (black) under the grey text, the whole at `opacity`.
    const double alphaScale = std::clamp(opacity, 0.0, 1.0);
    out.image = QImage(width, height, QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* c = coverage.constScanLine(y);
        const std::uint8_t* s = shadow.data() + static_cast<std::size_t>(y) * width;
        std::uint8_t* px = out.image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double ink = c[x] / 255.0;
            const double below = s[x] / 255.0;
            const double alpha = (ink + below * (1.0 - ink)) * alphaScale;
            const auto grey = [&](int channel) {
                return static_cast<std::uint8_t>(std::lround(channel * ink * alphaScale));
            };
            px[4 * x + 0] = grey(qRed(CLOCK_GREY));
            px[4 * x + 1] = grey(qGreen(CLOCK_GREY));
            px[4 * x + 2] = grey(qBlue(CLOCK_GREY));
            px[4 * x + 3] = static_cast<std::uint8_t>(std::lround(alpha * 255.0));
        }
    }
    out.topLeft = QPoint((windowPixels.width() - textWidth) / 2 - margin,
                         static_cast<int>(std::lround(0.2 * windowPixels.height())) - margin);
    out.visible = true;
    return out;
}

int loadClockFaces(const QString& folder) {
    int loaded = 0;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.woff"), QStringLiteral("*.ttf"), QStringLiteral("*.otf")},
                       QDir::Files, QDir::Name)) {
        if (QFontDatabase::addApplicationFont(dir.filePath(name)) < 0) {
            std::fprintf(stderr, "kadrel: cannot load the clock face %s\n",
                         dir.filePath(name).toLocal8Bit().constData());
        } else {
            ++loaded;
        }
    }
    if (loaded == 0) {
        std::fprintf(stderr, "kadrel: no clock faces in %s; the clock is drawn in a system font\n",
                     folder.toLocal8Bit().constData());
    }
    return loaded;
}

QFont ClockOverlay::clockFont(const QString& fontName, float size, qreal devicePixelRatio) {
    const ClockFace face = clockFaceFor(fontName);
    QFont font(face.family);
    // A size written by hand may be anything a float holds; the clock's picture (and its
    // texture) stays within what a screen can show.
    const double pixels = std::isfinite(size) ? static_cast<double>(size) * devicePixelRatio : 220.0;
    font.setPixelSize(static_cast<int>(std::lround(std::clamp(pixels, 1.0, MAX_CLOCK_PIXELS))));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

ClockOverlay::ClockOverlay(QObject* parent)
    : ClockOverlay(
          std::make_unique<ClockText>(),
          [] { return static_cast<double>(QDateTime::currentMSecsSinceEpoch()); }, parent) {}

ClockOverlay::ClockOverlay(std::unique_ptr<ClockText> text, Clock clock, QObject* parent)
    : QObject(parent), formatter_(std::move(text)), clock_(std::move(clock)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ClockOverlay::tick);
}

void ClockOverlay::setStyle(const ClockStyle& style) {
    if (style == style_) {
        return; // start-up delivers every clock key in turn: one layout, not five
    }
    if (style.fontName != style_.fontName && !clockFaceFor(style.fontName).known) {
        std::fprintf(stderr, "kadrel: no clock font is called \"%s\"; using %s\n",
                     style.fontName.toUtf8().constData(),
                     fallbackClockFamily().toUtf8().constData());
    }
    style_ = style;
    font_ = clockFont(style_.fontName, style_.size, ratio_);
    if (style_.enabled && active_) {
        text_ = formatter_->format(style_.format, clock_()); // a new pattern shows at once
    }
    relayout();
    updateTimer();
}

void ClockOverlay::setActive(bool active) {
    active_ = active;
    if (active_ && style_.enabled) {
        tick(); // back on screen: the time of now, not of when the clock last ticked
    }
    updateTimer();
}

void ClockOverlay::setWindow(QSize pixels, qreal devicePixelRatio) {
    if (pixels == window_ && devicePixelRatio == ratio_) {
        return;
    }
    window_ = pixels;
    if (devicePixelRatio != ratio_) {
        ratio_ = devicePixelRatio;
        font_ = clockFont(style_.fontName, style_.size, ratio_);
    }
    relayout();
}

void ClockOverlay::tick() {
    QString text = formatter_->format(style_.format, clock_());
    if (text != text_) {
        text_ = std::move(text);
        relayout(); // once a minute with the usual patterns
    }
    updateTimer();
}

void ClockOverlay::relayout() {
    const std::uint64_t generation = image_.generation + 1;
    if (style_.enabled) {
        image_ = layoutClock(text_, font_, style_.opacity, window_, ratio_);
    } else {
        image_ = OverlayImage{};
    }
    image_.generation = generation;
    Q_EMIT changed();
}

void ClockOverlay::updateTimer() {
    if (!(style_.enabled && active_)) {
        timer_.stop();
        return;
    }
    // Just past the next second's boundary, so that a minute's turn shows on time.
    const auto now = static_cast<std::int64_t>(clock_());
    const int untilNextSecond = static_cast<int>(1000 - ((now % 1000) + 1000) % 1000);
    timer_.start(untilNextSecond + 5);
}

} // namespace app
