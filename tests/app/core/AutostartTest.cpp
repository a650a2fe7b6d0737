// "Launch at login" through the user's XDG autostart folder, in a throw-away folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/core/Autostart.h"

namespace app {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST(Autostart, EntryLifeCycle) {
    QTemporaryDir config;
    const QString path = config.filePath("autostart/kadrel.desktop");
    Autostart autostart(path, "/opt/Kadrel Apps/bin/kadrel");
    EXPECT_FALSE(autostart.isEnabled()) << "no folder, no entry";

    ASSERT_TRUE(autostart.setEnabled(true)); // makes the folder too
    EXPECT_TRUE(autostart.isEnabled());
    const QByteArray entry = readAll(path);
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    // A path with a space is one quoted argument.
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/Kadrel Apps/bin/kadrel\"\n")) << entry.constData();
    ASSERT_TRUE(autostart.setEnabled(true)) << "enabling twice is harmless";

    // The desktop's own startup settings turn an entry off without removing it.
    write(path, "[Desktop Entry]\nType=Application\nExec=kadrel\nHidden=true\n");
    EXPECT_FALSE(autostart.isEnabled());
    write(path, "[Desktop Entry]\nExec=kadrel\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(autostart.isEnabled());
    // Keys of another group don't count.
    write(path, "[Desktop Entry]\nExec=kadrel\n[Desktop Action x]\nHidden=true\n");
    EXPECT_TRUE(autostart.isEnabled());

    ASSERT_TRUE(autostart.setEnabled(false));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_TRUE(autostart.setEnabled(false)) << "nothing to remove is no failure";
}

TEST(Autostart, AFolderThatCannotBeMadeIsReportedNotIgnored) {
    QTemporaryDir config;
    // A plain file where the autostart folder should be.
    write(config.filePath("autostart"), "not a folder");
    Autostart autostart(config.filePath("autostart/kadrel.desktop"), "/usr/bin/kadrel");
    EXPECT_FALSE(autostart.setEnabled(true));
    EXPECT_FALSE(autostart.isEnabled());
}

TEST(Autostart, ExecArgumentsAreQuotedOnlyWhereNeeded) {
    EXPECT_EQ(execArgument("/usr/bin/kadrel"), "/usr/bin/kadrel");
    EXPECT_EQ(execArgument("/home/a b/kadrel"), "\"/home/a b/kadrel\"");
    // Inside quotes $ and " take a backslash, which the value's escaping doubles.
    EXPECT_EQ(execArgument("/x/$HOME\"/k"), "\"/x/\\\\$HOME\\\\\"/k\"");
}

} // namespace
} // namespace app
