#include "ui/controls/PVStateBorder.h"

#include "ui/controls/PVButton.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVImageView.h"

void showStateBorder(const PVButton& button, PVImageView& border)
{
    if (button.selected() || (button.mouseDown() && button.mouseIn())) {
        border.setBorderColor(themeBlueColor());
        border.setBorderWidth(3.0);
    } else if (button.mouseDown() || button.mouseIn()) {
        border.setBorderColor(themeBlueHighlightedColor());
        border.setBorderWidth(1.0);
    } else {
        border.setBorderColor(Qt::transparent);
    }
}
