#include "update/PVSuggestedFileName.h"
#include "update/PVTextDecoding.h"
#include "update/PVUpdateServer.h"
#include "update/PVVersionFile.h"

#include <gtest/gtest.h>

namespace {

struct VersionCase
{
    const char* content;
    const char* version;
    const char* path;
};

TEST(VersionFile, LastLineGivesVersionAndAddress)
{
    const VersionCase cases[] = {
        {"2.4.0;\"https://host/pel varo.zip\"}", "2.4.0", "https://host/pelvaro.zip"},
        {"{\"note\": \"old\"}\n1.0.0;\"https://old/x.zip\"}\n2.4.0;\"https://host/pel varo.zip\"}", "2.4.0",
         "https://host/pelvaro.zip"},
        // Without ";" the one piece is both, the address stripped.
        {"1.0.0\n2.4.0 \"beta\"}", "2.4.0 \"beta\"", "2.4.0beta"},
        // A file ending in a line feed has an empty last line.
        {"2.4.0;\"https://host/a.zip\"}\n", "", ""},
        {"", "", ""},
        // More pieces: the first is the version, the last the address.
        {"3.1;notes;\" https://h/b.zip \"", "3.1", "https://h/b.zip"},
        // A carriage return belongs to the line before the last line feed.
        {"0.9;x\r\n3.0.1;https://h/c.zip", "3.0.1", "https://h/c.zip"},
    };
    for (const VersionCase& c : cases) {
        const PVVersionInfo info = PVParseVersionFile(QString::fromUtf8(c.content));
        EXPECT_EQ(info.version.toStdString(), c.version) << c.content;
        EXPECT_EQ(info.path.toStdString(), c.path) << c.content;
    }
}

TEST(VersionFile, TextIsDecodedByMarkThenUtf8ThenLatin1)
{
    const QString expected = QStringLiteral("2.4.0;\"https://h/\u00e9t\u00e9.zip\"");
    QByteArray utf16le("\xFF\xFE", 2);
    QByteArray utf16be("\xFE\xFF", 2);
    QByteArray utf32le("\xFF\xFE\x00\x00", 4);
    for (QChar c : expected) {
        const char16_t u = c.unicode();
        utf16le.append(char(u & 0xFF)).append(char(u >> 8));
        utf16be.append(char(u >> 8)).append(char(u & 0xFF));
        utf32le.append(char(u & 0xFF)).append(char(u >> 8)).append('\0').append('\0');
    }
    const struct
    {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"utf-8 with mark", QByteArray("\xEF\xBB\xBF") + expected.toUtf8()},
        {"utf-8 without mark", expected.toUtf8()},
        {"utf-16 le", utf16le},
        {"utf-16 be", utf16be},
        {"utf-32 le", utf32le},
        {"latin-1 (invalid as utf-8)", expected.toLatin1()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PVDecodeText(c.bytes), expected) << c.name;
    }
}

class UpdateServerAddress : public ::testing::Test
{
  protected:
    ~UpdateServerAddress() override { qunsetenv(PVUpdateServer::kBaseEnvironment); }
};

TEST_F(UpdateServerAddress, VersionFileLiesUnderTheBaseAddress)
{
    qunsetenv(PVUpdateServer::kBaseEnvironment);
    QString error;
    const QUrl builtIn = PVUpdateServer::versionFileUrl(&error);
    EXPECT_EQ(builtIn.scheme(), QStringLiteral("https"));
    EXPECT_TRUE(builtIn.path().endsWith(QStringLiteral("/software/version/orvanta/orvntaverLinux.txt")));

    const struct
    {
        const char* base;
        const char* url; // empty: refused
    } cases[] = {
        {"https://updates.test", "https://updates.test/software/version/orvanta/orvntaverLinux.txt"},
        {"https://127.0.0.1:4443/", "https://127.0.0.1:4443/software/version/orvanta/orvntaverLinux.txt"},
        {"https://h.test/mirror//", "https://h.test/mirror/software/version/orvanta/orvntaverLinux.txt"},
        {"http://updates.test", ""},
        {"ftp://updates.test", ""},
        {"https://", ""},
        {"updates.test", ""},
    };
    for (const auto& c : cases) {
        qputenv(PVUpdateServer::kBaseEnvironment, c.base);
        error.clear();
        const QUrl url = PVUpdateServer::versionFileUrl(&error);
        EXPECT_EQ(url.toString().toStdString(), c.url) << c.base;
        EXPECT_EQ(error.isEmpty(), *c.url != '\0') << c.base;
    }
}

TEST(SuggestedFileName, OnlyTheLastPathComponentOfTheSuggestionIsUsed)
{
    const QUrl url(QStringLiteral("https://h.test/files/pel%20varo.zip"));
    const struct
    {
        const char* header;
        const char* expected;
    } cases[] = {
        {"", "pel varo.zip"},
        {"inline", "pel varo.zip"},
        {"attachment; filename=\"installer 2.zip\"", "installer 2.zip"},
        {"attachment; filename=plain.zip", "plain.zip"},
        {"attachment; FILENAME=\"upper.zip\"", "upper.zip"},
        {"attachment; filename*=UTF-8''%C3%A9t%C3%A9.zip; filename=\"fallback.zip\"", "\u00e9t\u00e9.zip"},
        {"attachment; filename=\"fallback.zip\"; filename*=UTF-8''pref%20.zip", "pref .zip"},
        {"attachment; filename=\"../escape.zip\"", "escape.zip"},
        {"attachment; filename=\"/etc/abs.zip\"", "abs.zip"},
        {"attachment; filename=\"sub/dir/\"", ""},
        {"attachment; filename=\".\"", ""},
        {"attachment; filename=\"..\"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PVSuggestedFileName(QByteArray(c.header), url), QString::fromUtf8(c.expected)) << c.header;
    }
    EXPECT_EQ(PVSuggestedFileName({}, QUrl(QStringLiteral("https://h.test/"))), QString());
    EXPECT_EQ(PVSuggestedFileName({}, QUrl(QStringLiteral("https://h.test/a/.."))), QString());
}

} // namespace
