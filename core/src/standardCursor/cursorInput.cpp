#include "standardCursor/cursorInput.h"

#include <cstddef>
#include <cstring>

#include "common/statusCode.h"
#include "common/valueEncoding.h"

namespace vnx {

namespace {

constexpr std::size_t kSpreadOffsets[2] = {28, 32};

// Reads `count` words with one code; all 0 when the group is absent.
template <std::size_t N> void readGroup(const vnx_Number32_u (&words)[N], int8_t code, Fp32 (&out)[N])
{
    for (std::size_t i = 0; i < N; ++i) {
        float value = 0.0f;
        if (vnx_getFloat32(words[i], code, &value) != VNX_STATUS_SUCCESS) {
            for (Fp32& v : out)
                v = Fp32(0.0f);
            return;
        }
        out[i] = Fp32(value); // saturates into +-2^31
    }
}

} // namespace

void readCursorInput(const vnx_SensorFusion_Output_s& motion, const vnx_SensorFusion_Format_s& format,
                     CursorInput& input)
{
    vnx_Number32_u words[4];
    words[0] = motion.angularVelocity[1];
    words[1] = motion.angularVelocity[2];
    for (int i = 0; i < 2; ++i)
        std::memcpy(&words[2 + i], reinterpret_cast<const unsigned char*>(&format) + kSpreadOffsets[i],
                    sizeof(vnx_Number32_u));
    Fp32 values[4];
    readGroup(words, format.angularVelocityQ, values);
    input.rate[0] = values[0];
    input.rate[1] = values[1];
    input.spread[0] = values[2];
    input.spread[1] = values[3];

    Fp32 q[4];
    readGroup(motion.quaternion, format.quaternionQ, q);
    for (int i = 0; i < 4; ++i)
        input.orientation.e[i] = q[i].value();
}

} // namespace vnx
