#include "app/core/ClockText.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cstdio>

namespace app {

namespace {

icu::UnicodeString toIcu(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<int32_t>(text.size())};
}

std::unique_ptr<icu::SimpleDateFormat> makeFormatter(const icu::Locale& locale,
                                                     icu::TimeZone* zone) {
    UErrorCode status = U_ZERO_ERROR;
    auto formatter =
        std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"HH:mm"), locale, status);
    if (U_FAILURE(status)) {
        // Without ICU's data the clock can't be formatted; the wallpaper goes on without it.
        std::fprintf(stderr, "kadrel: the clock can't format times: %s\n", u_errorName(status));
        delete zone;
        return nullptr;
    }
    if (zone != nullptr) {
        formatter->adoptTimeZone(zone);
    }
    return formatter;
}

} // namespace

ClockText::ClockText() : formatter_(makeFormatter(icu::Locale::getDefault(), nullptr)) {}

ClockText::ClockText(const char* locale, const char* timeZone)
    : formatter_(makeFormatter(icu::Locale(locale),
                               icu::TimeZone::createTimeZone(icu::UnicodeString(timeZone)))) {}

ClockText::~ClockText() = default;

QString ClockText::format(const QString& pattern, double msSinceEpoch) {
    if (!formatter_) {
        return {};
    }
    if (pattern != pattern_) {
        // ICU takes any text as a pattern: letters are fields, quoted text and anything else
        // is shown as it stands, so a user's own pattern never fails.
        formatter_->applyPattern(toIcu(pattern));
        pattern_ = pattern;
    }
    icu::UnicodeString text;
    formatter_->format(static_cast<UDate>(msSinceEpoch), text);
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

} // namespace app
