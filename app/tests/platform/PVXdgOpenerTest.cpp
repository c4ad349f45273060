#include "platform/PVXdgOpener.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Puts a stand-in "xdg-open" first on the search path that writes its
// argument count and arguments, one a line, into a file of the test.
class StandInXdgOpen : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(bin.isValid());
        record = bin.filePath("arguments");
        QFile script(bin.filePath("xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$0.tmp\"\n"
                     "mv \"$0.tmp\" \"$(dirname \"$0\")/arguments\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":" + oldPath_);
    }
    void TearDown() override { qputenv("PATH", oldPath_); }

    QStringList recordedArguments() const
    {
        QFile file(record);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir bin;
    QString record;

  private:
    QByteArray oldPath_;
};

TEST_F(StandInXdgOpen, APathWithShellCharactersArrivesAsOneUnchangedArgument)
{
    const QString path = bin.filePath("it's; $(touch " + bin.filePath("pwned") + ") `id` \"x\" & y.deb");
    PVXdgOpener opener;
    QString error;
    ASSERT_TRUE(opener.open(path, &error)) << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([this] { return QFileInfo::exists(record); }, 10'000));
    EXPECT_EQ(recordedArguments(), (QStringList{"1", path}));
    EXPECT_FALSE(QFileInfo::exists(bin.filePath("pwned")));
}

TEST(XdgOpener, AMissingProgramIsReportedWithItsReason)
{
    QTemporaryDir empty;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(empty.path()));
    PVXdgOpener opener;
    QString error;
    EXPECT_FALSE(opener.open("/tmp/setup.deb", &error));
    EXPECT_FALSE(error.isEmpty());
    qputenv("PATH", oldPath);
}

} // namespace
