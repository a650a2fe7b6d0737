#pragma once

#include <QString>

namespace app {

// The font family the clock is drawn in for a stored "clockFont" name.
struct ClockFace {
    QString family;
    // False for a name the settings window doesn't offer: the family is then the fall-back.
    bool known = true;
};

// The settings window offers ten names. Five are shipped (resources/fonts); the other five
// can't be had under a free licence, so each is drawn in the free face closest in style.
// Any other name falls back to the default clock face.
ClockFace clockFaceFor(const QString& name);

// The family of the default clock face ("Baloo"), the fall-back for unknown names.
QString fallbackClockFamily();

} // namespace app
