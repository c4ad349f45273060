#include "ui/window/PVEmptyViewController.h"

#include "localisation/PVLocalizedKey.h"
#include "ui/controls/PVColorTheme.h"
#include "ui/controls/PVFontTheme.h"
#include "ui/controls/PVThemeLabel.h"

#include <QLabel>
#include <QVBoxLayout>

PVEmptyViewController::PVEmptyViewController(QWidget* parent)
    : PVViewController(parent), messageLabel_(createThemeLabel(themeTextGrayColor(), Qt::AlignCenter, this))
{
    setBackgroundColor(themeBackgroundColor());
    messageLabel_->setWordWrap(true);
    messageLabel_->setFont(themeFontSize(16));
    setLocalizedKey(messageLabel_, QString::fromLatin1(kMessageKey));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 0, 40, 0);
    layout->addWidget(messageLabel_);
}

void PVEmptyViewController::setReceiverAccessDenied(bool denied)
{
    if (denied == accessDenied_) {
        return;
    }
    accessDenied_ = denied;
    setLocalizedKey(messageLabel_, QString::fromLatin1(denied ? kAccessDeniedKey : kMessageKey));
}
