#include "localisation/PVLocalizedStringManager.h"
#include "localisation/PVLocalizedKey.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QStringList fullHeader = {"en", "de",      "fr",      "it", "pt-PT", "es",
                                "nl", "zh-Hans", "zh-Hant", "ja", "ko"};

PVLocalizedTable tableWithHeader(const QStringList& header)
{
    PVLocalizedTable table;
    table.insert("_id", header);
    return table;
}

struct LanguageCase
{
    QStringList userLanguages;
    QStringList header;
    QString expected;
};

TEST(Localisation, LanguageComesFromTheFirstPreferredLocalisation)
{
    const LanguageCase cases[] = {
        {{"de-CH"}, fullHeader, "de"},
        {{"pt-BR"}, fullHeader, "pt-PT"},
        {{"pt-BR"}, {"en", "de"}, "pt-PT"}, // not in the header: the user's tag decides
        {{"zh-Hant-TW"}, fullHeader, "zh-Hant"},
        {{"zh-CN"}, fullHeader, "en"},
        {{"sv"}, fullHeader, "en"},
        {{"sv-SE", "de-DE"}, fullHeader, "de"}, // the first user language the header names
        {{"zh-Hans-CN", "en"}, {"en", "zh-Hans"}, "zh-Hans"},
        {{"zh-Hans-CN", "en"}, {"en", "de"}, "en"}, // no match: the first user language as it is
        {{"fr-CA"}, {"en", "fr"}, "fr"},
        {{"ja_JP"}, fullHeader, "ja"},
        {{}, fullHeader, "en"},
        {{"ko-KR"}, {}, "ko"},
    };
    for (const LanguageCase& c : cases) {
        const auto manager = PVLocalizedStringManager::create(c.userLanguages, tableWithHeader(c.header));
        EXPECT_EQ(manager->preferredLocalization(), c.expected) << c.userLanguages.join(",").toStdString();
    }
}

TEST(Localisation, LastMatchingRowWins)
{
    const struct
    {
        const char* localization;
        const char* language;
    } cases[] = {{"fr-de", "de"},      {"de-fr", "de"}, {"zh-Hans-ja", "ja"},
                 {"ko-zh-Hant", "ko"}, {"pt-es", "es"}, {"zh-Hant-Hans", "zh-Hant"},
                 {"en-GB", "en"},      {"DE", "en"}};
    for (const auto& c : cases) {
        EXPECT_EQ(PVLocalizedStringManager::languageForLocalization(c.localization), c.language)
            << c.localization;
    }
}

class LocalizedText : public ::testing::Test
{
  protected:
    std::unique_ptr<PVLocalizedStringManager> managerFor(const QStringList& languages)
    {
        PVLocalizedTable table = tableWithHeader({"en", "fr", "de"});
        table.insert("PV001", {"Quit", "Quitter", "Beenden"});
        table.insert("PV002", {"Yes", "Oui", ""});
        table.insert("PV003", {"", "", ""});
        table.insert("PV004", {"Only English"});
        table.insert("PV005", {});
        table.insert("", {"empty key", "", "leerer Schlüssel"});
        return PVLocalizedStringManager::create(languages, table);
    }
};

TEST_F(LocalizedText, FallsBackToTheFirstColumnThenToTheKey)
{
    const auto german = managerFor({"de-AT"});
    EXPECT_EQ(german->localizationIndex(), 2);
    const struct
    {
        QString key;
        QString expected;
    } cases[] = {
        {"PV001", "Beenden"},
        {"PV002", "Yes"},          // empty in the chosen column
        {"PV003", "PV003"},        // empty everywhere
        {"PV004", "Only English"}, // line shorter than the chosen column
        {"PV005", "PV005"},        // a line with no texts
        {"PV999", "PV999"},        // not in the table
        {QString(), "leerer Schlüssel"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(german->localizedStringAtKey(c.key), c.expected) << c.key.toStdString();
    }
}

TEST_F(LocalizedText, HeaderWithoutTheLanguageUsesTheFirstColumn)
{
    const auto italian = managerFor({"it-IT"});
    EXPECT_EQ(italian->preferredLocalization(), "it");
    EXPECT_EQ(italian->localizationIndex(), 0);
    EXPECT_EQ(italian->localizedStringAtKey("PV001"), "Quit");
}

TEST(Localisation, MissingTableAnswersEveryKeyWithItself)
{
    const auto manager =
        PVLocalizedStringManager::create({"de-DE"}, PVCSVParser::parseCSVFile("/nonexistent"));
    EXPECT_EQ(manager->preferredLocalization(), "de");
    EXPECT_EQ(manager->localizedStringAtKey("PV032"), "PV032");
    EXPECT_EQ(manager->localizedStringAtKey("Setting"), "Setting");
}

TEST(Localisation, LfOnlyTableShowsEveryKey)
{
    const auto manager = PVLocalizedStringManager::create(
        {"de"}, PVCSVParser::parseCSVData("_id,en,de\nPV001,Quit,Beenden\nPV002,Yes,Ja\n"));
    EXPECT_EQ(manager->localizedStringAtKey("PV001"), "PV001");
    EXPECT_EQ(manager->localizedStringAtKey("PV002"), "PV002");
}

TEST(Localisation, GermanUserOfTheShippedTable)
{
    const auto manager = PVLocalizedStringManager::create({"de-DE", "en-US"}, PVCSVParser::parseCSV());
    EXPECT_EQ(manager->preferredLocalization(), "de");
    EXPECT_EQ(manager->localizedStringAtKey("PV032"), "Beenden");
    EXPECT_EQ(manager->localizedStringAtKey("PV013"), "Abbrechen");
}

TEST(LocalizedKey, FieldsShowTheTextOfTheirKey)
{
    const QString key = "PV032";
    const QString expected = PVLocalizedStringManager::sharedInstance().localizedStringAtKey(key);
    ASSERT_NE(expected, key);
    QLabel label;
    QLineEdit edit;
    QPushButton button;
    setLocalizedKey(&label, key);
    setLocalizedKey(&edit, key);
    setLocalizedKey(&button, key);
    EXPECT_EQ(localizedKey(&label), expected);
    EXPECT_EQ(localizedKey(&edit), expected);
    EXPECT_EQ(localizedKey(&button), expected);
    setLocalizedKey(&label, "not a key of the table");
    EXPECT_EQ(localizedKey(&label), "not a key of the table");
    setLocalizedKey(static_cast<QLabel*>(nullptr), key);
    EXPECT_EQ(localizedKey(static_cast<QLabel*>(nullptr)), QString());
}

} // namespace
