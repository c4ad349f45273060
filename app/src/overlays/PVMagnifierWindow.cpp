#include "overlays/PVMagnifierWindow.h"

#include "log/DXLog.h"

PVMagnifierWindow::~PVMagnifierWindow()
{
    DXLogDebug("PVMagnifierWindow dealloc");
}
