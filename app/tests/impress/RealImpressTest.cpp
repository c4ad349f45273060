// The backend against the real LibreOffice Impress: an optional check, run
// only when asked for (PELVARO_REAL_IMPRESS=1) on a machine with
// LibreOffice; skipped otherwise, and so in CI. It opens a three-slide
// document in a user profile of its own, starts, blanks and stops the show.

#include "runtime/ImpressBackend.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const char* const kDeck = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.presentation">
 <office:master-styles><style:master-page style:name="Default"/></office:master-styles>
 <office:body><office:presentation>
  <draw:page draw:name="one" draw:master-page-name="Default"><draw:frame svg:x="2cm" svg:y="2cm"
   svg:width="20cm" svg:height="3cm"><draw:text-box><text:p>Slide one</text:p></draw:text-box></draw:frame></draw:page>
  <draw:page draw:name="two" draw:master-page-name="Default"><draw:frame svg:x="2cm" svg:y="2cm"
   svg:width="20cm" svg:height="3cm"><draw:text-box><text:p>Slide two</text:p></draw:text-box></draw:frame></draw:page>
  <draw:page draw:name="three" draw:master-page-name="Default"><draw:frame svg:x="2cm" svg:y="2cm"
   svg:width="20cm" svg:height="3cm"><draw:text-box><text:p>Slide three</text:p></draw:text-box></draw:frame></draw:page>
 </office:presentation></office:body>
</office:document>
)";

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        QTest::qWait(200);
    }
    return condition();
}

bool answersTrue(const PVBackendAnswer& answer)
{
    return answer.value.has_value() && answer.value->toBool();
}

// The share of black pixels in the middle of the screen.
double blackShare()
{
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    int black = 0;
    int total = 0;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; y += 8) {
        for (int x = image.width() / 4; x < image.width() * 3 / 4; x += 8) {
            black += qGray(image.pixel(x, y)) < 16 ? 1 : 0;
            ++total;
        }
    }
    return total == 0 ? 0.0 : static_cast<double>(black) / total;
}

TEST(RealImpress, StartsBlanksAndStopsTheShowOfAThreeSlideDocument)
{
    if (qEnvironmentVariable("PELVARO_REAL_IMPRESS") != "1") {
        GTEST_SKIP() << "set PELVARO_REAL_IMPRESS=1 to drive the real Impress";
    }
    const QString soffice = SofficeProgram::locate(SofficeProgram::defaultPlaces());
    if (soffice.isEmpty()) {
        GTEST_SKIP() << "LibreOffice is not installed";
    }
    QTemporaryDir scratch;
    const QString deck = scratch.filePath("deck.fodp");
    QFile file(deck);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kDeck);
    file.close();

    ImpressBackend backend(std::make_shared<X11InputLayer>(PVSessionEnvironment{"x11", false}));
    ASSERT_TRUE(answersTrue(backend.installed()));
    ASSERT_TRUE(backend.version().value.has_value());
    EXPECT_TRUE(backend.version().value->toString().startsWith("LibreOffice "));

    QProcess impress;
    impress.setProgram(soffice);
    impress.setArguments({"--impress", "--norestore", "--nologo",
                          "-env:UserInstallation=file://" + scratch.filePath("profile"), deck});
    // A group of its own: the launcher starts the office process apart.
    impress.setChildProcessModifier([] { setpgid(0, 0); });
    impress.start();
    ASSERT_TRUE(waitFor([&] { return answersTrue(backend.open()); }, 90s)) << "no Impress window";
    QTest::qWait(2000);

    EXPECT_FALSE(answersTrue(backend.playing()));
    ASSERT_TRUE(backend.play().value.has_value());
    ASSERT_TRUE(waitFor([&] { return answersTrue(backend.playing()); }, 20s)) << "the show did not start";
    EXPECT_TRUE(answersTrue(backend.frontmost()));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    EXPECT_EQ(backend.windowBounds().value, QVariant(QVariantList{0, 0, screen.width(), screen.height()}));

    QTest::qWait(1000);
    EXPECT_LT(blackShare(), 0.5);
    ASSERT_TRUE(backend.black().value.has_value());
    EXPECT_TRUE(waitFor([] { return blackShare() > 0.99; }, 5s)) << "the show did not blank";

    ASSERT_TRUE(backend.stop().value.has_value());
    EXPECT_TRUE(waitFor([&] { return !answersTrue(backend.playing()); }, 10s)) << "the show did not stop";
    EXPECT_EQ(backend.windowBounds().value, QVariant(QVariantList{-99, -99, -99, -99}));

    ::kill(-static_cast<pid_t>(impress.processId()), SIGTERM);
    if (!impress.waitForFinished(10000)) {
        ::kill(-static_cast<pid_t>(impress.processId()), SIGKILL);
        impress.waitForFinished();
    }
}

} // namespace
