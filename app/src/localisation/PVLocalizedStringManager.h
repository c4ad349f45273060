#pragma once

// Answers the text of a key in the user's language. The language is chosen
// once, when the manager is made, from the user's language list and the
// languages the table declares on its "_id" line.

#include "localisation/PVCSVParser.h"

#include <QString>
#include <QStringList>
#include <memory>

class PVLocalizedStringManager
{
  public:
    /// The application's manager: the user's languages of the system locale
    /// and the table of the resources.
    static PVLocalizedStringManager& sharedInstance();

    /// A manager over a given table and language list (tests, tools).
    static std::unique_ptr<PVLocalizedStringManager> create(const QStringList& userLanguages,
                                                            PVLocalizedTable table);

    QString localizedStringAtKey(const QString& key) const;
    /// Column of the chosen language among the header's texts; 0 when the
    /// header does not list it.
    int localizationIndex() const;
    const PVLocalizedTable& localizedStrings() const { return localizedStrings_; }
    const QString& preferredLocalization() const { return preferredLocalization_; }

    /// The first user language that names a language of the header by
    /// language and script ("de-CH" names "de", "zh-Hans-CN" names
    /// "zh-Hans"), as the header writes it; else the first user language as
    /// it is; "en" when there is none.
    static QString firstPreferredLocalization(const QStringList& userLanguages, const QStringList& declared);
    /// The table's language for a preferred localisation.
    static QString languageForLocalization(const QString& localization);

  private:
    PVLocalizedStringManager(const QStringList& userLanguages, PVLocalizedTable table);

    PVLocalizedTable localizedStrings_;
    QString preferredLocalization_;
    int index_ = 0;
};
