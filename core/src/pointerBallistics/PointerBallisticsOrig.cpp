#include "pointerBallistics/PointerBallisticsOrig.h"

#include "common/NodeManager.h"
#include "numerics/saturatingCast.h"

namespace vnx {

namespace {
constexpr int kUnityPostGain = 128;
}

PointerBallisticsOrig::PointerBallisticsOrig()
{
    NodeManager::getInstance().addNode(this, &conditioning_, NodeInterface::NODE_SUBNODE,
                                       "OutputConditioning");
}

PointerBallisticsOrig::~PointerBallisticsOrig()
{
    NodeManager::getInstance().removeNode(&conditioning_);
}

void PointerBallisticsOrig::init()
{
    PointerBallistics::init();
    conditioning_.init(Fp32(1.0f));
    zephraAlg_initBallisticsState(&state_);
    zephraAlg_setBallisticsPostgain(&state_, kUnityPostGain);
}

void PointerBallisticsOrig::updateGain()
{
    PointerBallistics::updateGain();
    const float postGain = getGain() * static_cast<float>(kUnityPostGain) + 0.5f;
    zephraAlg_setBallisticsPostgain(&state_, truncateToInt32(postGain));
}

int PointerBallisticsOrig::process(Fp32 dt, unsigned sampleStep, const Fp32* delta, const Fp32* reference,
                                   int* out, float* gainOut)
{
    const Fp32 rate[2] = {delta[0], delta[1]};
    const Fp32 spread[2] = {reference[0], reference[1]};
    OutputConditioningMin::Output conditioned{};
    conditioning_.process(conditioningWord_, dt, sampleStep, rate, spread, conditioned);
    zephraAlg_applyBallistics(&state_, conditioned.countX, conditioned.countY, &out[0], &out[1]);
    *gainOut = 1.0f;
    return 0;
}

} // namespace vnx
