#include "localisation/PVLocalizedKey.h"

#include "localisation/PVLocalizedStringManager.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace {

template <typename Field> void setText(Field* field, const QString& key)
{
    if (field != nullptr) {
        field->setText(PVLocalizedStringManager::sharedInstance().localizedStringAtKey(key));
    }
}

template <typename Field> QString textOf(const Field* field)
{
    return field != nullptr ? field->text() : QString();
}

} // namespace

void setLocalizedKey(QLabel* field, const QString& key)
{
    setText(field, key);
}

void setLocalizedKey(QLineEdit* field, const QString& key)
{
    setText(field, key);
}

void setLocalizedKey(QAbstractButton* field, const QString& key)
{
    setText(field, key);
}

QString localizedKey(const QLabel* field)
{
    return textOf(field);
}

QString localizedKey(const QLineEdit* field)
{
    return textOf(field);
}

QString localizedKey(const QAbstractButton* field)
{
    return textOf(field);
}
