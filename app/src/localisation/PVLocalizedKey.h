#pragma once

// Text fields that are given a localisation key instead of a text: the field
// shows the key's text; the key itself is not kept.

#include <QString>

class QLabel;
class QLineEdit;
class QAbstractButton;

void setLocalizedKey(QLabel* field, const QString& key);
void setLocalizedKey(QLineEdit* field, const QString& key);
void setLocalizedKey(QAbstractButton* field, const QString& key);

/// The field's current text.
QString localizedKey(const QLabel* field);
QString localizedKey(const QLineEdit* field);
QString localizedKey(const QAbstractButton* field);
