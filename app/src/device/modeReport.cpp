#include "device/modeReport.h"

#include "device/hidDevice.h"

modeReport modeReportFor(bool buttonsOnly)
{
    modeReport report{{0x55, 0xAA, 0x55, 0xAA, 0xB7, 0x01, 0x02, 0x11}};
    report.bytes[8] = buttonsOnly ? 0x00 : 0x01;
    return report;
}

static int sendModeReport(int slot, bool buttonsOnly)
{
    const modeReport report = modeReportFor(buttonsOnly);
    return hidDeviceSend(slot, report.bytes, sizeof report.bytes) < 0 ? 1 : 0;
}

int sendModeReportOff(int slot)
{
    return sendModeReport(slot, true);
}

int sendModeReportOn(int slot)
{
    return sendModeReport(slot, false);
}
