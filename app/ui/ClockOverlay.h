#pragma once

#include <QFont>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

#include "app/core/ClockText.h"

namespace app {

// The clock's look as the settings give it.
struct ClockStyle {
    bool enabled = false;
    QString fontName;
    QString format = QStringLiteral("hh:mm");
    double opacity = 0.7;
    float size = 220.0F;

    friend bool operator==(const ClockStyle&, const ClockStyle&) = default;
};

// A picture to lay over the wallpaper's frame, in the window's device pixels. `generation`
// changes whenever the picture does, so that the GL side uploads it only then.
struct OverlayImage {
    QImage image; // premultiplied RGBA, bytes in R, G, B, A order
    QPoint topLeft;
    bool visible = false;
    std::uint64_t generation = 0;
};

// The laid-out clock: the text in `font`, standard grey at `opacity`, over a soft black
// shadow, with the top of the text's line at 20 % of the window's height, centred across the
// width. The picture is only as large as the text and its shadow.
OverlayImage layoutClock(const QString& text, const QFont& font, double opacity, QSize windowPixels,
                         qreal devicePixelRatio);

// Makes the clock faces shipped in `folder` (resources/fonts) known to Qt. A face that doesn't
// load is named in one line on standard error; the clock then falls back. Returns how many
// loaded.
int loadClockFaces(const QString& folder);

// The shadow's blur radius, in device-independent pixels.
inline constexpr int CLOCK_SHADOW_RADIUS = 10;

// The clock over the wallpaper: keeps the time's text, lays it out when the text or the style
// changes, and ticks on each second's boundary so that the minute turns on time. It ticks only
// while active (the wallpaper is being drawn) and enabled; otherwise it costs no wake-up.
class ClockOverlay : public QObject {
    Q_OBJECT

  public:
    // Milliseconds since the epoch, UTC.
    using Clock = std::function<double()>;

    explicit ClockOverlay(QObject* parent = nullptr);
    // A fixed formatter and clock, for tests.
    ClockOverlay(std::unique_ptr<ClockText> text, Clock clock, QObject* parent = nullptr);

    void setStyle(const ClockStyle& style);
    // The wallpaper is being drawn (shown and unpaused).
    void setActive(bool active);
    // The window's size in device pixels, and its device pixel ratio.
    void setWindow(QSize pixels, qreal devicePixelRatio);

    const ClockStyle& style() const noexcept { return style_; }
    const OverlayImage& image() const noexcept { return image_; }
    const QString& text() const noexcept { return text_; }
    const QFont& font() const noexcept { return font_; }
    bool isTicking() const { return timer_.isActive(); }

    // The font a stored "clockFont" name and size give, with the device pixel ratio: sizes
    // are device-independent pixels, as the settings window's slider shows them.
    static QFont clockFont(const QString& fontName, float size, qreal devicePixelRatio);

  Q_SIGNALS:
    void changed();

  private:
    void tick();
    void relayout();
    void updateTimer();

    std::unique_ptr<ClockText> formatter_;
    Clock clock_;
    ClockStyle style_;
    QFont font_;
    QString text_;
    QSize window_;
    qreal ratio_ = 1.0;
    bool active_ = false;
    OverlayImage image_;
    QTimer timer_;
};

} // namespace app
