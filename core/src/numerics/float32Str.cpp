#include "numerics/float32Str.h"

#include <cstdio>
#include <cstring>

namespace vnx {

int float32_str(char* buffer, int bufferSize, float value)
{
    if (buffer == nullptr || bufferSize <= 0)
        return 0;
    const int n =
        std::snprintf(buffer, static_cast<std::size_t>(bufferSize), "%f", static_cast<double>(value));
    if (n < 0 || n >= bufferSize) {
        buffer[0] = '\0'; // a cut number would read as another value
        return 0;
    }
    const char* dot = std::strchr(buffer, '.');
    if (dot == nullptr)
        return n;
    int end = n;
    const int keepAtLeast = static_cast<int>(dot - buffer) + 2;
    while (end > keepAtLeast && buffer[end - 1] == '0')
        --end;
    buffer[end] = '\0';
    return end;
}

} // namespace vnx
