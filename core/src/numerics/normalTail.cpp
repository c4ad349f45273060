#include "numerics/normalTail.h"

namespace vnx {

float normalUpperTail(float z)
{
    if (z < 0.0f)
        return 1.0f - normalUpperTail(-z);
    // From 3.2 on, and for a NaN that no comparison admits, the tail is empty.
    if (!(z < 3.2f))
        return 0.0f;
    if (z < 1.325f)
        return ((0.0294045f * z + 0.0395172f) * z - 0.411378f) * z + 0.500823f;
    return ((-0.02065f * z + 0.179209f) * z - 0.5247633f) * z + 0.5205657f;
}

} // namespace vnx
