#include "localisation/PVCSVParser.h"

#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

struct SplitCase
{
    const char* name;
    const char* line;
    QStringList fields;
};

const SplitCase splitCases[] = {
    {"PlainLine", "PV001,Quit,Beenden", {"PV001", "Quit", "Beenden"}},
    {"PlainTrailingCommaGivesEmptyLastText", "PV001,Quit,", {"PV001", "Quit", ""}},
    {"PlainTwoCommasGiveEmptyText", "PV001,,Beenden", {"PV001", "", "Beenden"}},
    {"QuotedTextKeepsItsComma", "PV002,\"Yes, go\",Ja", {"PV002", "Yes, go", "Ja"}},
    {"QuotedLineTwoCommasGiveEmptyText", "PV002,\"a,b\",,c", {"PV002", "a,b", "", "c"}},
    {"QuotedLineTrailingCommaAddsNothing", "PV002,\"a,b\",c,", {"PV002", "a,b", "c"}},
    {"QuotedLineLastTextUnquotedReadInFull", "PV002,\"a,b\",last text", {"PV002", "a,b", "last text"}},
    {"QuotedLineLastTextQuotedReadInFull", "PV002,a,\"last, text\"", {"PV002", "a", "last, text"}},
    {"UnclosedQuoteRunsToTheEnd", "PV003,\"open, never closed", {"PV003", "open, never closed"}},
    {"StrayQuoteInsideAField", "PV004,ab\"cd,e", {"PV004", "ab\"cd", "e"}},
    {"KeyAlone", "PV005", {"PV005"}},
};

class SplitLine : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitLine, GivesTheKeyAndTexts)
{
    EXPECT_EQ(PVCSVParser::splitLine(QString::fromUtf8(GetParam().line)), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(CSV, SplitLine, ::testing::ValuesIn(splitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CSV, LinesEndOnlyAtCrLfAndLaterLinesWin)
{
    const PVLocalizedTable table = PVCSVParser::parseCSVData("_id,en,de\r\n"
                                                             "\r\n"
                                                             "PV001,Quit,Beenden\r\n"
                                                             "PV002,Yes,Ja\r\n"
                                                             "PV001,Exit,Schluss\r\n"
                                                             "PV003,with\nnewline,x\r\n");
    EXPECT_EQ(table.size(), 4);
    EXPECT_EQ(table.value("_id"), (QStringList{"en", "de"}));
    EXPECT_EQ(table.value("PV001"), (QStringList{"Exit", "Schluss"}));
    EXPECT_EQ(table.value("PV003"), (QStringList{"with\nnewline", "x"}));
}

TEST(CSV, LfOnlyTableIsOneLine)
{
    const PVLocalizedTable table = PVCSVParser::parseCSVData("_id,en,de\nPV001,Quit,Beenden\n");
    EXPECT_EQ(table.size(), 1);
    EXPECT_FALSE(table.contains("PV001"));
}

TEST(CSV, MalformedBytesNeverCrash)
{
    const QByteArray cases[] = {
        QByteArray("\xff\xfe\xc3(,\x80\r\n", 8),
        QByteArray("\"\r\n\",\r\n,,,\r\n", 11),
        QByteArray(1, '\0'),
        QByteArray("\r\n\r\n\r\n"),
        QByteArray("PV001,\xe2\x82\r\n"),
    };
    for (const QByteArray& bytes : cases) {
        const PVLocalizedTable table = PVCSVParser::parseCSVData(bytes);
        for (auto it = table.begin(); it != table.end(); ++it) {
            EXPECT_FALSE(it.key().contains("\r\n"));
        }
    }
    const PVLocalizedTable invalid = PVCSVParser::parseCSVData("PV001,ab\xff"
                                                               "cd\r\n");
    EXPECT_EQ(invalid.value("PV001"), (QStringList{QString::fromUtf8("ab\xEF\xBF\xBD"
                                                                     "cd")}));
}

TEST(CSV, MissingFileGivesAnEmptyTable)
{
    EXPECT_TRUE(PVCSVParser::parseCSVFile("/nonexistent/LocalizedString.csv").isEmpty());
}

TEST(CSV, ShippedTableHasEveryKeyTheCodeAsksForInEnglishAndGerman)
{
    const PVLocalizedTable table = PVCSVParser::parseCSV();
    const QStringList header = table.value("_id");
    const qsizetype english = header.indexOf("en");
    const qsizetype german = header.indexOf("de");
    ASSERT_GE(english, 0);
    ASSERT_GE(german, 0);
    const char* keys[] = {"PV001",
                          "PV002",
                          "PV003",
                          "PV004",
                          "PV006",
                          "PV007",
                          "PV008",
                          "PV012",
                          "PV013",
                          "PV014",
                          "PV020",
                          "PV021",
                          "PV022",
                          "PV023",
                          "PV029",
                          "PV030",
                          "PV032",
                          "PV033",
                          "PV040",
                          "PV042",
                          "PV044",
                          "PV045",
                          "PV046",
                          "PV047",
                          "PV049",
                          "PV052",
                          "PV054",
                          "PV055",
                          "PV056",
                          "PV057",
                          "PV058",
                          "Setting",
                          "Do you really want to quit?",
                          "Do you want to reset all pointer settings?",
                          "PV043",
                          "Receiver not accessible",
                          "Pointer control unavailable",
                          "Downloading update",
                          "Pointer size",
                          "Small",
                          "Large",
                          "Pointer speed",
                          "Slow",
                          "Fast",
                          "Present the pointer on"};
    for (const char* key : keys) {
        const QStringList texts = table.value(key);
        EXPECT_GT(texts.size(), std::max(english, german)) << key;
        EXPECT_FALSE(texts.value(english).isEmpty()) << key;
        EXPECT_FALSE(texts.value(german).isEmpty()) << key;
    }
    // A line ended by a bare line feed would run into the next one.
    for (auto row = table.cbegin(); row != table.cend(); ++row) {
        for (const QString& text : row.value()) {
            EXPECT_FALSE(text.contains(QLatin1Char('\n'))) << row.key().toStdString();
        }
    }
    EXPECT_TRUE(table.value("PV049").value(english).contains("xx.xx.xx"));
    EXPECT_TRUE(table.value("PV049").value(german).contains("xx.xx.xx"));
}

} // namespace
