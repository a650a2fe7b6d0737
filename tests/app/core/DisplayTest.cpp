#include <gtest/gtest.h>

#include "app/core/Display.h"

namespace app {
namespace {

TEST(Display, ParsesOnlyTheStandardText) {
    const QString text = QStringLiteral("3b048864-b9c9-5061-86e7-516245de84da");
    const auto plain = Display::fromString(text);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->toString(), text);
    EXPECT_EQ(Display::fromString(u'{' + text + u'}'), plain);
    EXPECT_EQ(Display::fromString(text.toUpper()), plain);
    for (const char* bad :
         {"", "not-a-uuid", "3b048864-b9c9-5061-86e7-516245de84d",
          "3b048864-b9c9-5061-86e7-516245de84da0", "3b048864b9c9506186e7516245de84da",
          "3b048864-b9c9-5061-86e7_516245de84da", "3b048864-b9c9-5061-86e7-516245de84dg",
          "{3b048864-b9c9-5061-86e7-516245de84da", " 3b048864-b9c9-5061-86e7-516245de84da",
          "00000000-0000-0000-0000-000000000000"})
        EXPECT_FALSE(Display::fromString(QString::fromLatin1(bad))) << bad;
}

TEST(DisplayUuid, StableAcrossPortsWithASerial) {
    const MonitorIdentity onDp{"DEL", "DELL U2720Q", "ABC123", "DP-1"};
    const MonitorIdentity onHdmi{"DEL", "DELL U2720Q", "ABC123", "HDMI-A-1"};
    // Stored "display" values depend on this exact value: it must never change.
    EXPECT_EQ(displayUuid(onDp), QUuid::fromString(u"3b048864-b9c9-5061-86e7-516245de84da"));
    EXPECT_EQ(displayUuid(onDp), displayUuid(onHdmi));
    EXPECT_EQ(displayUuid(onDp).version(), QUuid::Sha1);
    EXPECT_EQ(displayUuid({" DEL ", "DELL U2720Q", "ABC123 ", "DP-1"}), displayUuid(onDp));
    EXPECT_NE(displayUuid({"DEL", "DELL U2720Q", "ABC124", "DP-1"}), displayUuid(onDp));
}

TEST(DisplayUuid, FallsBackToTheConnector) {
    // Two identical monitors without serials stay apart; each keeps its UUID on its port.
    const MonitorIdentity left{"GSM", "LG FHD", "", "DP-1"};
    const MonitorIdentity right{"GSM", "LG FHD", "", "DP-2"};
    EXPECT_NE(displayUuid(left), displayUuid(right));
    EXPECT_EQ(displayUuid(left), displayUuid(MonitorIdentity{"GSM", "LG FHD", "", "DP-1"}));
    // No EDID at all (a virtual output): the connector alone.
    EXPECT_EQ(displayUuid({"", "", "", "DUMMY0"}),
              QUuid::fromString(u"e954ce83-c240-5b30-a210-1c90aba934d3"));
    EXPECT_NE(displayUuid({"", "", "", "DUMMY0"}), displayUuid({"", "", "", "DUMMY1"}));
    EXPECT_TRUE(displayUuid({}).isNull());
    EXPECT_TRUE(displayUuid({" ", "", "", ""}).isNull());
}

TEST(DisplayUuid, FieldsNeverRunTogether) {
    EXPECT_NE(displayUuid({"ab", "c", "1", ""}), displayUuid({"a", "bc", "1", ""}));
    EXPECT_NE(displayUuid({"a", "", "", "b"}), displayUuid({"", "a", "", "b"}));
    EXPECT_NE(displayUuid({"", "", "", "X"}), displayUuid({"X", "", "", ""}));
    EXPECT_NE(displayUuid({"", "", "", "X"}), displayUuid({"", "", "X", ""}));
}

} // namespace
} // namespace app
