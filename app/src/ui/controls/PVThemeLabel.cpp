#include "ui/controls/PVThemeLabel.h"

#include "ui/controls/PVFontTheme.h"

QLabel* createThemeLabel(const QColor& textColor, Qt::Alignment alignment, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setWordWrap(false);
    label->setAlignment(alignment);
    label->setFont(themeFont());
    setTextColor(label, textColor);
    // Clicks go to the control that owns the label.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void setTextColor(QLabel* label, const QColor& color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    label->setPalette(palette);
}
