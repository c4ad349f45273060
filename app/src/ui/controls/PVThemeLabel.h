#pragma once

// The plain labels of the custom controls: one line, not selectable, no
// frame, transparent, in the theme's font and the given text colour.

#include <QColor>
#include <QLabel>

QLabel* createThemeLabel(const QColor& textColor, Qt::Alignment alignment, QWidget* parent);

/// Sets the colour a label draws its text in.
void setTextColor(QLabel* label, const QColor& color);
