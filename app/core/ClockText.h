#pragma once

#include <QString>

#include <memory>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class SimpleDateFormat;
U_NAMESPACE_END

namespace app {

// The clock's text: a date-format pattern ("h:mm", "HH:mm", or anything the user stored)
// applied to an instant in a locale and time zone. The four patterns of the settings window
// show no AM/PM marker; a stored pattern is used as it stands.
class ClockText {
  public:
    // The user's locale and time zone (from the environment: LC_TIME/LANG and TZ or
    // /etc/localtime, as ICU reads them).
    ClockText();
    // A fixed locale ("de_DE") and time zone ("Europe/Berlin"), for tests and tools.
    ClockText(const char* locale, const char* timeZone);
    ~ClockText();
    ClockText(const ClockText&) = delete;
    ClockText& operator=(const ClockText&) = delete;

    // The text for `msSinceEpoch` (UTC milliseconds) with `pattern`. A pattern is parsed
    // again only when it changes. Empty where ICU has no data to format with.
    QString format(const QString& pattern, double msSinceEpoch);

  private:
    std::unique_ptr<icu::SimpleDateFormat> formatter_;
    QString pattern_ = QStringLiteral("HH:mm"); // the one the formatter is made with
};

} // namespace app
