#include "support/mobileOutputs.h"

namespace vnx::testsupport {

vnx_Mobile_Output_s accelerometerRecord(std::uint32_t timeUs, const Acc& acc)
{
    vnx_Mobile_Output_s record{};
    record.validBits = VNX_MOBILE_BIT_ACCELEROMETER;
    record.timeUs = timeUs;
    for (int k = 0; k < 3; ++k)
        record.accelerometer[k] = acc[k];
    return record;
}

std::vector<vnx_Mobile_Output_s> accelerometerRecords(const std::vector<Acc>& samples, std::uint32_t periodUs,
                                                      std::uint32_t startUs)
{
    return accelerometerRecords(
        samples.size(), periodUs, [&samples](std::size_t i, double) { return samples[i]; }, startUs);
}

std::vector<vnx_Mobile_Output_s>
accelerometerRecords(std::size_t count, std::uint32_t periodUs,
                     const std::function<Acc(std::size_t, double)>& generator, std::uint32_t startUs)
{
    std::vector<vnx_Mobile_Output_s> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t offsetUs = static_cast<std::uint64_t>(i) * periodUs;
        const auto timeUs = static_cast<std::uint32_t>(startUs + offsetUs); // wraps like the engine's
        records.push_back(accelerometerRecord(timeUs, generator(i, static_cast<double>(offsetUs) * 1e-6)));
    }
    return records;
}

} // namespace vnx::testsupport
