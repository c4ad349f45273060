#include "ui/alert/PVAlertButton.h"

#include "ui/window/PVWindow.h"

void PVAlertButton::setMouseIn(bool inside)
{
    PVRoundButton::setMouseIn(inside);
    if (auto* frame = qobject_cast<PVWindow*>(window())) {
        frame->setMovableByWindowBackground(!inside);
    }
}
