#include "pointerBallistics/PointerBallisticsTable.h"

namespace vnx {

int PointerBallisticsTable::process(Fp32 dt, unsigned sampleStep, const Fp32* delta, const Fp32*, int* out,
                                    float* gainOut)
{
    float g = curve_.evaluate(dt.value(), computeSpeed(delta));
    if (sampleStep < 2)
        g *= static_cast<float>(sampleStep);
    const float motion[2] = {delta[0].value() * g, delta[1].value() * g};
    quantizeWithGain(motion, out);
    *gainOut = getGain() * g;
    return 0;
}

} // namespace vnx
