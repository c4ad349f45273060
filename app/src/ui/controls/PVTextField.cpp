#include "ui/controls/PVTextField.h"

PVTextField::PVTextField(QWidget* parent) : QLabel(parent) {}

QSize PVTextField::sizeHint() const
{
    if (!wordWrap()) {
        return QLabel::sizeHint();
    }
    // A field with no text yet is one empty line high (a label answers no
    // height for it).
    const int height = heightForWidth(kWrappingWidth);
    const QMargins margins = contentsMargins();
    return {kWrappingWidth,
            height >= 0 ? height : fontMetrics().height() + margins.top() + margins.bottom() + 2 * margin()};
}
