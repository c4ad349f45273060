#include "gesture/cursorSample.h"

#include "extendedCursor/ExtendedCursorRecords.h"
#include "moduleFactory/processArguments.h"
#include "standardCursor/StandardCursorRecords.h"

namespace vnx::gesture {

bool readStandardCursorSample(std::size_t count, const vnx_StructOutput_s* const* outputs,
                              const vnx_StructFormat_s* const* formats, CursorSample& sample)
{
    const auto* output = processRecord(count, outputs, 0, vnx_StandardCursor_dynamicDownCastConstOutput);
    const auto* format = processRecord(count, formats, 0, vnx_StandardCursor_dynamicDownCastConstFormat);
    if (output == nullptr || format == nullptr) {
        return false;
    }
    sample.sampleNumber = output->sample;
    sample.dx = output->dx;
    sample.dy = output->dy;
    sample.periodUs = format->periodUs;
    return true;
}

bool readExtendedCursorSample(std::size_t count, const vnx_StructOutput_s* const* outputs,
                              const vnx_StructFormat_s* const* formats, CursorSample& sample)
{
    const auto* output = processRecord(count, outputs, 0, vnx_ExtendedCursor_dynamicDownCastConstOutput);
    const auto* format = processRecord(count, formats, 0, vnx_ExtendedCursor_dynamicDownCastConstFormat);
    if (output == nullptr || format == nullptr) {
        return false;
    }
    sample.sampleNumber = output->sample;
    sample.x = output->x;
    sample.y = output->y;
    sample.dx = output->dx;
    sample.dy = output->dy;
    sample.periodUs = format->periodUs;
    return true;
}

} // namespace vnx::gesture
