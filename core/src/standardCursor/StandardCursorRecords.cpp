#include "moduleFactory/ModuleFactoryFor.h"
#include "standardCursor/StandardCursor.h"
#include "standardCursor/StandardCursorRecordFamily.h"

namespace vnx {

namespace {
// Button suppression defaults: hold times of a press, a release and the two
// wheel directions, and the radii that end a hold early.
constexpr uint32_t kDefaultHoldTimeUs[4] = {376000, 128000, 296000, 296000};
constexpr uint32_t kDefaultRadius[4] = {35, 8, 45, 45};
} // namespace

void StandardCursorRecords::setDefaults(vnx_StandardCursor_Config_s& config)
{
    config.reorientation[0] = 16384; // identity, 14 fraction bits
    config.reorientation[1] = 0;
    config.reorientation[2] = 0;
    config.reorientation[3] = 0;
    config.rollCompensation = 1;
    config.options = VNX_STANDARD_CURSOR_OPTION_TREMOR_CANCEL | VNX_STANDARD_CURSOR_OPTION_NONLINEAR_GAIN |
                     VNX_STANDARD_CURSOR_OPTION_PITCH_SCALE | 8;
    for (int k = 0; k < 4; ++k) {
        config.holdTimeUs[k] = kDefaultHoldTimeUs[k];
        config.radius[k] = kDefaultRadius[k];
    }
    config.pointerScale = 65536;
    config.outputSelector = 0;
    config.formatWord0 = VNX_STANDARD_CURSOR_FORMAT_WORD_0;
    config.formatWord1 = VNX_STANDARD_CURSOR_FORMAT_WORD_1;
}

void StandardCursorRecords::setDefaults(vnx_StandardCursor_Format_s& format)
{
    format.reserved = 0;
    format.countCode = 0;
    format.spreadCode = 0;
    format.periodUs = 0;
}

void StandardCursorRecords::setDefaults(vnx_StandardCursor_Output_s& output)
{
    output.sample = 0;
    output.dx = 0;
    output.dy = 0;
    output.spread0 = 0;
    output.spread1 = 0;
}

} // namespace vnx

VNX_DEFINE_RECORD_FAMILY(StandardCursor, vnx::StandardCursorRecords)
VNX_DEFINE_MODULE_FACTORY(StandardCursor, ::vnx::StandardCursor, vnx::StandardCursorRecords)
