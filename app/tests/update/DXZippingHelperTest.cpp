#include "update/DXZipEntryName.h"
#include "update/DXZippingHelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <zlib.h>

namespace {

struct RawEntry
{
    QByteArray name;
    QByteArray content;
    bool symbolicLink = false;
};

// An archive written entry by entry with names as given, as a hostile or
// careless archiver could.
void writeArchive(const QString& path, const std::vector<RawEntry>& entries)
{
    zipFile archive = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(archive, nullptr);
    for (const RawEntry& entry : entries) {
        zip_fileinfo info{};
        const uLong mode = entry.symbolicLink ? 0120777u : 0100644u;
        info.external_fa = mode << 16;
        ASSERT_EQ(zipOpenNewFileInZip4_64(archive, entry.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                          Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                          nullptr, 0, (3u << 8) | 20u, 0, 0),
                  ZIP_OK);
        ASSERT_EQ(zipWriteInFileInZip(archive, entry.content.constData(), static_cast<unsigned>(entry.content.size())),
                  ZIP_OK);
        ASSERT_EQ(zipCloseFileInZip(archive), ZIP_OK);
    }
    ASSERT_EQ(zipClose(archive, nullptr), ZIP_OK);
}

void writeFile(const QString& path, const QByteArray& content)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Relative paths of everything under `root`, joined for readable failures.
std::string tree(const QString& root)
{
    QStringList paths;
    const QDir base(root);
    std::function<void(const QString&)> walk = [&](const QString& folder) {
        for (const QFileInfo& info : QDir(folder).entryInfoList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
            paths << base.relativeFilePath(info.filePath());
            if (info.isDir() && !info.isSymLink()) {
                walk(info.filePath());
            }
        }
    };
    walk(root);
    return paths.join(QLatin1Char(',')).toStdString();
}

class Zipping : public ::testing::Test
{
  protected:
    QString path(const QString& relative) const { return dir.filePath(relative); }
    QTemporaryDir dir;
};

TEST_F(Zipping, PackedFolderUnpacksToTheSameFiles)
{
    QByteArray large(300'000, '\0');
    QRandomGenerator generator(7);
    for (char& byte : large) {
        byte = static_cast<char>(generator.bounded(256));
    }
    writeFile(path("src/readme.txt"), "read me");
    writeFile(path("src/sub/deeper/data.bin"), large);
    writeFile(path("src/sub/\u00fcmlaut name.txt"), "unicode");
    writeFile(path("src/.DS_Store"), "finder state");
    writeFile(path("src/sub/.DS_Store"), "finder state");
    ASSERT_TRUE(QFile::setPermissions(path("src/readme.txt"), QFile::permissions(path("src/readme.txt")) |
                                                                  QFile::ExeOwner | QFile::ExeUser));

    ASSERT_TRUE(DXZippingHelper::addFolder(path("src"), "Pelvaro", path("out.zip")));
    ASSERT_TRUE(DXZippingHelper::unzip(path("out.zip"), path("target")));

    EXPECT_EQ(tree(path("target")), std::string("Pelvaro,Pelvaro/readme.txt,Pelvaro/sub,Pelvaro/sub/deeper,Pelvaro/sub/deeper/data.bin,Pelvaro/sub/\u00fcmlaut name.txt"));
    EXPECT_EQ(readFile(path("target/Pelvaro/readme.txt")), QByteArray("read me"));
    EXPECT_EQ(readFile(path("target/Pelvaro/sub/deeper/data.bin")), large);
    EXPECT_EQ(readFile(path("target/Pelvaro/sub/\u00fcmlaut name.txt")), QByteArray("unicode"));
    EXPECT_TRUE(QFile::permissions(path("target/Pelvaro/readme.txt")) & QFile::ExeOwner);
    EXPECT_FALSE(QFile::exists(path("out.zip"))) << "a successful unzip deletes the archive";
}

TEST_F(Zipping, PackingWithoutBaseNameKeepsNamesRelative)
{
    writeFile(path("src/a.txt"), "a");
    ASSERT_TRUE(DXZippingHelper::addFolder(path("src"), "", path("out.zip")));
    ASSERT_TRUE(DXZippingHelper::unzip(path("out.zip"), path("target")));
    EXPECT_EQ(tree(path("target")), std::string("a.txt"));
}

TEST_F(Zipping, PackingFailsForAMissingFolderOrAnUnwritableArchive)
{
    EXPECT_FALSE(DXZippingHelper::addFolder(path("absent"), "x", path("out.zip")));
    writeFile(path("src/a.txt"), "a");
    EXPECT_FALSE(DXZippingHelper::addFolder(path("src"), "x", path("no/such/folder/out.zip")));
}

TEST_F(Zipping, UnzipEmptiesAnExistingTargetFirst)
{
    writeArchive(path("new.zip"), {{"fresh.txt", "fresh"}});
    writeFile(path("target/stale.txt"), "stale");
    writeFile(path("target/old/deep.txt"), "stale");

    ASSERT_TRUE(DXZippingHelper::unzip(path("new.zip"), path("target")));
    EXPECT_EQ(tree(path("target")), std::string("fresh.txt"));
}

TEST_F(Zipping, TargetThatIsALinkIsReplacedWithoutTouchingWhatItPointsAt)
{
    writeArchive(path("new.zip"), {{"fresh.txt", "fresh"}});
    writeFile(path("users/keep.txt"), "the user's");
    ASSERT_TRUE(QFile::link(path("users"), path("target")));

    ASSERT_TRUE(DXZippingHelper::unzip(path("new.zip"), path("target")));
    EXPECT_FALSE(QFileInfo(path("target")).isSymLink());
    EXPECT_EQ(readFile(path("users/keep.txt")), QByteArray("the user's"));
    EXPECT_EQ(tree(path("target")), std::string("fresh.txt"));
}

TEST_F(Zipping, FailedUnzipKeepsTheArchiveAndLeavesNoTarget)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"garbage", QByteArray(4096, 'G')},
        {"empty file", QByteArray()},
        {"truncated archive", QByteArray("PK\x03\x04\x14\x00\x00\x00", 8)},
    };
    for (const auto& c : cases) {
        writeFile(path("broken.zip"), c.bytes);
        EXPECT_FALSE(DXZippingHelper::unzip(path("broken.zip"), path("target"))) << c.name;
        EXPECT_TRUE(QFile::exists(path("broken.zip"))) << c.name;
        EXPECT_FALSE(QFileInfo::exists(path("target"))) << c.name;
    }
}

TEST_F(Zipping, CorruptEntryFailsAndRemovesThePartlyUnpackedTarget)
{
    writeArchive(path("good.zip"), {{"a.txt", QByteArray(5000, 'a')}, {"b.txt", QByteArray(5000, 'b')}});
    QByteArray bytes = readFile(path("good.zip"));
    // Flip bytes inside the second entry's compressed data.
    const qsizetype second = bytes.indexOf("b.txt");
    ASSERT_GT(second, 0);
    for (qsizetype i = second + 10; i < second + 20; ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    }
    writeFile(path("bad.zip"), bytes);

    EXPECT_FALSE(DXZippingHelper::unzip(path("bad.zip"), path("target")));
    EXPECT_TRUE(QFile::exists(path("bad.zip")));
    EXPECT_FALSE(QFileInfo::exists(path("target")));
}

TEST_F(Zipping, EntriesReachingOutsideTheTargetAreRefused)
{
    const struct
    {
        const char* name;
        std::vector<RawEntry> entries;
    } cases[] = {
        {"parent", {{"ok.txt", "ok"}, {"../evil", "evil"}}},
        {"absolute", {{"/evil", "evil"}}},
        {"parent inside", {{"a/../../evil", "evil"}}},
        {"backslash parent", {{"..\\evil", "evil"}}},
        {"drive", {{"C:evil", "evil"}}},
        {"link then write through it", {{"link", "..", true}, {"link/evil", "evil"}}},
        {"link alone", {{"link", "/etc/passwd", true}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QDir().mkpath(path("work")));
        writeArchive(path("work/evil.zip"), c.entries);
        writeFile(path("work/target/users.txt"), "kept");

        EXPECT_FALSE(DXZippingHelper::unzip(path("work/evil.zip"), path("work/target"))) << c.name;

        EXPECT_EQ(tree(path("work")), std::string("evil.zip,target,target/users.txt")) << c.name;
        EXPECT_EQ(tree(dir.path()), std::string("work,work/evil.zip,work/target,work/target/users.txt"))
            << c.name;
        ASSERT_TRUE(QDir(path("work")).removeRecursively());
    }
}

TEST_F(Zipping, MissingArchiveIsReportedAndAnswersNo)
{
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { messages << message; });
    writeFile(path("target/keep.txt"), "kept");

    const bool result = DXZippingHelper::unzip(path("absent.zip"), path("target"));
    qInstallMessageHandler(previous);

    EXPECT_FALSE(result);
    EXPECT_EQ(messages, QStringList{"Zip file is not exists at " + path("absent.zip")});
    EXPECT_EQ(readFile(path("target/keep.txt")), QByteArray("kept"));
}

TEST(ZipEntryName, OnlyNamesInsideTheTargetAreSafe)
{
    const struct
    {
        const char* name;
        bool safe;
    } cases[] = {
        {"a.txt", true},
        {"dir/", true},
        {"dir/sub/file", true},
        {"./a", true},
        {"a..b", true},
        {"..a/b", true},
        {"", false},
        {"..", false},
        {"../x", false},
        {"a/../../x", false},
        {"a/..", false},
        {"/x", false},
        {"\\x", false},
        {"..\\x", false},
        {"a\\..\\..\\x", false},
        {"C:x", false},
        {"c:/x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DXZipEntryNameIsSafe(QString::fromLatin1(c.name)), c.safe) << c.name;
    }
    EXPECT_FALSE(DXZipEntryNameIsSafe(QString(QChar(u'a')) + QChar(u'\0') + QStringLiteral("b")));
}

TEST(ZipEntryName, LinksAndModesOnlyFromUnixArchivers)
{
    const uint32_t unix = (3u << 8) | 20u;
    const uint32_t dos = 20u;
    EXPECT_TRUE(DXZipEntryIsSymbolicLink(unix, 0120777u << 16));
    EXPECT_FALSE(DXZipEntryIsSymbolicLink(unix, 0100644u << 16));
    EXPECT_FALSE(DXZipEntryIsSymbolicLink(dos, 0120777u << 16));
    EXPECT_EQ(DXZipEntryUnixMode(unix, 0100755u << 16), 0755u);
    EXPECT_EQ(DXZipEntryUnixMode(dos, 0100755u << 16), 0u);
    EXPECT_EQ(DXZipEntryNameText(QByteArray("\xc3\xa9"), 0), QStringLiteral("\u00e9"));
    EXPECT_EQ(DXZipEntryNameText(QByteArray("\xe9"), 0), QStringLiteral("\u00e9"));
    EXPECT_EQ(DXZipEntryNameText(QByteArray("\xc3\xa9"), 1u << 11), QStringLiteral("\u00e9"));
}

} // namespace
