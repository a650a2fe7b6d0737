#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/core/IniDocument.h"
#include "app/core/IniEscape.h"

namespace app {
namespace {

const QStringList kAwkwardStrings{QStringLiteral("h:mm"),
                                  QStringLiteral("a, b"),
                                  QStringLiteral("semi;colon"),
                                  QStringLiteral("x=y"),
                                  QStringLiteral(" padded "),
                                  QStringLiteral("say \"hi\""),
                                  QStringLiteral("back\\slash"),
                                  QStringLiteral("tab\tend\t"),
                                  QStringLiteral("line\nbreak"),
                                  QString(QChar(1)) + u'1', // "\x1" then a hex digit
                                  QStringLiteral("Grüße ✓ 🙂"),
                                  QString()};

// Whatever this program writes, QSettings reads as the same string, and the other way round.
TEST(IniEscape, AgreesWithQSettings) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.ini"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\n");
        for (qsizetype i = 0; i < kAwkwardStrings.size(); ++i)
            file.write("k" + QByteArray::number(i) + '=' + ini::escape(kAwkwardStrings[i]) + '\n');
    }
    QSettings theirs(path, QSettings::IniFormat);
    for (qsizetype i = 0; i < kAwkwardStrings.size(); ++i) {
        const QString key = QStringLiteral("k%1").arg(i);
        EXPECT_EQ(theirs.value(key).toString(), kAwkwardStrings[i]) << key.toStdString();
        theirs.setValue(key, kAwkwardStrings[i] + u'!');
    }
    theirs.sync();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto values = IniDocument::parse(file.readAll()).topLevelValues();
    for (qsizetype i = 0; i < kAwkwardStrings.size(); ++i)
        EXPECT_EQ(ini::unescape(values.at(QStringLiteral("k%1").arg(i)).toUtf8()),
                  kAwkwardStrings[i] + u'!');
}

TEST(IniDocument, ReadsLikeQSettings) {
    const QByteArray text = "; comment=1\n"
                            "early = before sections\n"
                            "[General]\n"
                            "spaced   =   value with  inner  spaces   ; trailing comment\n"
                            "quoted=\"a;b\" ; c\n"
                            "dup=1\n"
                            "[Other]\n"
                            "dup=99\n"
                            "other=x\n"
                            "[General]\r\n"
                            "dup=2\r\n"
                            "empty=\n";
    const auto values = IniDocument::parse(text).topLevelValues();
    EXPECT_EQ(values.at("early"), "before sections");
    EXPECT_EQ(values.at("spaced"), "value with  inner  spaces");
    EXPECT_EQ(values.at("quoted"), "\"a;b\"");
    EXPECT_EQ(values.at("dup"), "2");
    EXPECT_EQ(values.at("empty"), "");
    EXPECT_EQ(values.count("other"), 0u);
    EXPECT_EQ(values.count("; comment"), 0u);
    EXPECT_EQ(values.size(), 5u);
}

TEST(IniDocument, EditsTouchOnlyTheirLine) {
    const QByteArray text = "# notes\r\n[General]\r\nfps = 45 ; mine\r\ndisplay=a\r\n[X]\r\ny=1";
    IniDocument doc = IniDocument::parse(text);
    EXPECT_EQ(doc.toBytes(), text);
    doc.set("fps", "60");
    doc.set("new", "v");
    EXPECT_EQ(doc.toBytes(),
              "# notes\r\n[General]\r\nfps = 60 ; mine\r\ndisplay=a\r\nnew=v\r\n[X]\r\ny=1");
    doc.remove("display");
    doc.remove("absent");
    EXPECT_EQ(doc.toBytes(), "# notes\r\n[General]\r\nfps = 60 ; mine\r\nnew=v\r\n[X]\r\ny=1");
}

TEST(IniDocument, AddsKeysWhereQSettingsLooks) {
    IniDocument empty;
    empty.set("fps", "60");
    EXPECT_EQ(empty.toBytes(), "[General]\nfps=60\n");

    IniDocument bare = IniDocument::parse("a=1\n\n[Other]\nb=2");
    bare.set("c", "3");
    EXPECT_EQ(bare.toBytes(), "a=1\nc=3\n\n[Other]\nb=2");

    IniDocument elsewhere = IniDocument::parse("; only a comment\n[Other]\nb=2");
    elsewhere.set("c", "3");
    EXPECT_EQ(elsewhere.toBytes(), "; only a comment\n[Other]\nb=2\n\n[General]\nc=3\n");

    IniDocument duplicates = IniDocument::parse("[General]\nd=1\nd=2\n");
    duplicates.set("d", "3"); // the line that takes effect
    EXPECT_EQ(duplicates.toBytes(), "[General]\nd=1\nd=3\n");
    duplicates.remove("d");
    EXPECT_EQ(duplicates.toBytes(), "[General]\n");
}

} // namespace
} // namespace app
