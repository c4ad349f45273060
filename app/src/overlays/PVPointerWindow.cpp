#include "overlays/PVPointerWindow.h"

#include "log/DXLog.h"

PVPointerWindow::~PVPointerWindow()
{
    DXLogDebug("PVPointerWindow dealloc");
}
