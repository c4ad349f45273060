#include "localisation/PVLocalizedStringManager.h"

#include <QLocale>

namespace {

const QString headerKey = QStringLiteral("_id");

// Language and script of a language tag: "zh-Hans-CN" → ("zh", "Hans"),
// "de-CH" → ("de", ""). Underscores count as dashes.
struct LanguageAndScript
{
    QString language;
    QString script;
};

LanguageAndScript languageAndScript(const QString& tag)
{
    const QStringList parts =
        QString(tag).replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
    LanguageAndScript result{parts.value(0).toLower(), QString()};
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part.size() == 4 && part[0].isLetter()) {
            result.script = part.left(1).toUpper() + part.mid(1).toLower();
            break;
        }
    }
    return result;
}

} // namespace

PVLocalizedStringManager& PVLocalizedStringManager::sharedInstance()
{
    static PVLocalizedStringManager instance(QLocale::system().uiLanguages(), PVCSVParser::parseCSV());
    return instance;
}

std::unique_ptr<PVLocalizedStringManager> PVLocalizedStringManager::create(const QStringList& userLanguages,
                                                                           PVLocalizedTable table)
{
    return std::unique_ptr<PVLocalizedStringManager>(
        new PVLocalizedStringManager(userLanguages, std::move(table)));
}

PVLocalizedStringManager::PVLocalizedStringManager(const QStringList& userLanguages, PVLocalizedTable table)
    : localizedStrings_(std::move(table))
{
    const QStringList declared = localizedStrings_.value(headerKey);
    preferredLocalization_ = languageForLocalization(firstPreferredLocalization(userLanguages, declared));
    const qsizetype column = declared.indexOf(preferredLocalization_);
    index_ = column < 0 ? 0 : static_cast<int>(column);
}

QString PVLocalizedStringManager::firstPreferredLocalization(const QStringList& userLanguages,
                                                             const QStringList& declared)
{
    for (const QString& user : userLanguages) {
        const LanguageAndScript wanted = languageAndScript(user);
        for (const QString& code : declared) {
            const LanguageAndScript offered = languageAndScript(code);
            if (!offered.language.isEmpty() && offered.language == wanted.language &&
                offered.script == wanted.script) {
                return code;
            }
        }
    }
    return userLanguages.isEmpty() ? QStringLiteral("en") : userLanguages.first();
}

QString PVLocalizedStringManager::languageForLocalization(const QString& localization)
{
    const QStringList parts = localization.split(QLatin1Char('-'));
    const auto has = [&parts](const char* part) { return parts.contains(QLatin1String(part)); };
    // Every row whose test holds replaces the result: the last match wins.
    QString result = QStringLiteral("en");
    const struct
    {
        const char* first;
        const char* second;
        const char* language;
    } rows[] = {
        {"fr", nullptr, "fr"}, {"de", nullptr, "de"}, {"it", nullptr, "it"},     {"pt", nullptr, "pt-PT"},
        {"es", nullptr, "es"}, {"nl", nullptr, "nl"}, {"zh", "Hans", "zh-Hans"}, {"zh", "Hant", "zh-Hant"},
        {"ja", nullptr, "ja"}, {"ko", nullptr, "ko"},
    };
    for (const auto& row : rows) {
        if (has(row.first) && (row.second == nullptr || has(row.second))) {
            result = QLatin1String(row.language);
        }
    }
    return result;
}

int PVLocalizedStringManager::localizationIndex() const
{
    return index_;
}

QString PVLocalizedStringManager::localizedStringAtKey(const QString& key) const
{
    const QString lookup = key.isNull() ? QString(QLatin1String("")) : key;
    const auto found = localizedStrings_.constFind(lookup);
    if (found == localizedStrings_.constEnd() || found->isEmpty()) {
        return lookup;
    }
    const QStringList& texts = *found;
    const QString& chosen = index_ < texts.size() ? texts[index_] : texts.first();
    if (!chosen.isEmpty()) {
        return chosen;
    }
    return texts.first().isEmpty() ? lookup : texts.first();
}
