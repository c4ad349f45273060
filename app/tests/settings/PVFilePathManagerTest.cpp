#include "settings/PVFilePathManager.h"
#include "support/LogCapture.h"
#include "support/SettingsFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

TEST(FilePaths, FoldersAreMadeWithTheirParents)
{
    SettingsFolder folder;
    qputenv("XDG_DATA_HOME", (folder.home() + "/deep/er").toUtf8());
    LogCapture log;
    const QString document = PVFilePathManager::documentPath();
    EXPECT_EQ(document, folder.home() + "/deep/er/Pelvaro");
    EXPECT_TRUE(QFileInfo(document).isDir());
    EXPECT_TRUE(log.contains(DXLogLevelDebug, "Need to create a document"));
    EXPECT_EQ(PVFilePathManager::dcdDocumentPath(), document + "/dcd");
    EXPECT_TRUE(QFileInfo(document + "/dcd").isDir());
}

TEST(FilePaths, RelativeDataHomeIsIgnored)
{
    SettingsFolder folder;
    qputenv("XDG_DATA_HOME", "relative/path");
    EXPECT_EQ(PVFilePathManager::filePath("x"), QDir::homePath() + "/.local/share/Pelvaro/x");
}

TEST(FilePaths, FolderThatCannotBeMadeGivesNoPaths)
{
    SettingsFolder folder;
    QFile blocker(folder.home() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", (folder.home() + "/file").toUtf8());
    LogCapture log;
    EXPECT_TRUE(PVFilePathManager::documentPath().isNull());
    EXPECT_TRUE(PVFilePathManager::dcdDocumentPath().isNull());
    EXPECT_TRUE(PVFilePathManager::filePath("DeviceSetting", "plist").isNull());
    EXPECT_TRUE(log.contains(DXLogLevelWarn, "Create fail."));
}

TEST(FilePaths, NamesJoinTheDocumentFolder)
{
    SettingsFolder folder;
    LogCapture log;
    EXPECT_EQ(PVFilePathManager::filePath("DeviceSetting", "plist"),
              folder.document() + "/DeviceSetting.plist");
    EXPECT_EQ(PVFilePathManager::filePath("a b.png"), folder.document() + "/a b.png");
    EXPECT_FALSE(log.contains(DXLogLevelAlert, "Not a valid file name"));
    EXPECT_EQ(PVFilePathManager::filePath(""), folder.document());
    EXPECT_EQ(PVFilePathManager::filePath(QString()), folder.document());
    EXPECT_TRUE(log.contains(DXLogLevelAlert, "Not a valid file name"));
}

TEST(FilePaths, ImageNamesCarryTheTimeAndAPaddedRandomPart)
{
    const QDateTime time(QDate(2026, 3, 7), QTime(9, 5, 4, 32));
    const struct
    {
        int random;
        const char* name;
    } cases[] = {{0, "20260307090504032_   0"},
                 {7, "20260307090504032_   7"},
                 {999, "20260307090504032_ 999"},
                 {1000, "20260307090504032_1000"},
                 {9998, "20260307090504032_9998"}};
    for (const auto& c : cases) {
        EXPECT_EQ(PVFilePathManager::imageName(time, c.random), c.name);
    }
}

TEST(FilePaths, FreshImagePathsFollowTheNamePattern)
{
    SettingsFolder folder;
    const QRegularExpression pattern("^" + QRegularExpression::escape(folder.document()) +
                                     "/\\d{17}_[ \\d]{3}\\d\\.png$");
    for (int i = 0; i < 20; ++i) {
        const QString path = PVFilePathManager::createImagePathWithExtension("png");
        EXPECT_TRUE(pattern.match(path).hasMatch()) << path.toStdString();
    }
}

} // namespace
