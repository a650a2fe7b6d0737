#include "app/core/ClockFace.h"

#include <array>

namespace app {

namespace {

struct Mapping {
    const char16_t* name;
    const char16_t* family;
};

// Stored name → family. The shipped faces' families are as the font files name them
// ("Baloo 2" is the current family of the one called "Baloo").
constexpr std::array<Mapping, 10> faces{{
    {u"Abril Fatface", u"Abril Fatface"},
    {u"Baloo", u"Baloo 2"},
    {u"Black Ops One", u"Black Ops One"},
    // A typewriter face: the monospaced DejaVu that every Debian desktop has.
    {u"CarbonType", u"DejaVu Sans Mono"},
    {u"Limelight", u"Limelight"},
    // A stencilled military display face: Black Ops One is of the same kind.
    {u"Major Snafu", u"Black Ops One"},
    // Round, soft handset-display faces: Baloo 2's rounded strokes are the nearest.
    {u"Nyamomobile", u"Baloo 2"},
    {u"Oswald", u"Oswald"},
    // A tall, narrow geometric display face: Oswald is condensed and upright like it.
    {u"Virgo 01", u"Oswald"},
    {u"Yukarimobile", u"Baloo 2"},
}};

} // namespace

QString fallbackClockFamily() {
    return QStringLiteral("Baloo 2");
}

ClockFace clockFaceFor(const QString& name) {
    for (const Mapping& face : faces) {
        if (name == QStringView(face.name)) {
            return {QString::fromUtf16(face.family), true};
        }
    }
    return {fallbackClockFamily(), false};
}

} // namespace app
