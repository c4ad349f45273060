#include "pointerBallistics/fopenLocal.h"

extern "C" bool fopenLocal(FILE** stream, const char* path, const char* mode)
{
    if (stream == nullptr)
        return false;
    *stream = (path != nullptr && mode != nullptr) ? fopen(path, mode) : nullptr;
    return *stream != nullptr;
}
