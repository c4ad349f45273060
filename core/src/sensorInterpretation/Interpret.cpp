#include "sensorInterpretation/Interpret.h"

namespace vnx {

using qdVectorFixed::Vector3;

namespace {

void setFlag(std::uint8_t& flags, std::uint8_t bit, bool on)
{
    flags = static_cast<std::uint8_t>(on ? (flags | bit) : (flags & ~bit));
}

} // namespace

void Interpret::accInterpret(const FixedPointCal::Output& cal, const RawTriple& raw, Vector3& acc,
                             std::uint8_t& flags) const
{
    acc = accFromRaw(cal, raw);
    setFlag(flags, kFlagAccSaturated, isRawAtRangeEnd(raw));
}

void Interpret::rsInterpret(const FixedPointCal::Output& cal, const RawTriple& raw, const Vector3& accMps2,
                            Vector3& rs, std::uint8_t& flags) const
{
    rs = rsFromRaw(cal, raw, accMps2);
    setFlag(flags, kFlagRsSaturated, isRawAtRangeEnd(raw));
}

void Interpret::tempInterpret(const FixedPointCal::Output& cal, std::int16_t raw, Fp32& temperature) const
{
    temperature = tempFromRaw(cal, raw);
}

void Interpret::magInterpret(const FixedPointCal::Output& cal, const RawTriple& raw, Vector3& mag,
                             std::uint8_t& flags) const
{
    mag = magFromRaw(cal, raw);
    setFlag(flags, kFlagMagUnusable, isRawAtRangeEnd(raw));
}

void Interpret::rsGlitchSuppress(std::uint32_t sampleFlags, Vector3& rs) const
{
    if (sampleFlags & kSampleFlagGlitch)
        rs = Vector3::zeros();
}

} // namespace vnx
