#include "calibration/scdAcceptance.h"

#include <cstring>

#include "calibration/scdPeriod.h"
#include "common/crc32.h"

namespace vnx {

AcceptedScd acceptScd(const void* scd, std::size_t available)
{
    AcceptedScd accepted;
    if (scd == nullptr || available < sizeof(vnx_scdData_s)) {
        return accepted;
    }
    vnx_scdData_s head;
    std::memcpy(&head, scd, sizeof head);
    if (!vnx_scdIsSizeAndVersionValid(head.size, head.version) || available < sizeof(scdGen4Float_s)) {
        return accepted;
    }
    std::memcpy(&accepted.block_, scd, sizeof accepted.block_);
    if (scdGen4FloatValidateAndCast(&accepted.block_.head) == nullptr) {
        accepted.block_ = scdGen4Float_s{};
        return accepted;
    }
    accepted.valid_ = true;
    accepted.crc_ = crc32_process(&accepted.block_, sizeof accepted.block_);
    return accepted;
}

float AcceptedScd::periodS() const
{
    return valid_ ? scdSamplePeriodS(block_.innards) : kDefaultScdPeriodS;
}

std::int32_t AcceptedScd::periodUs() const
{
    // In float, as the period is stored: 0.00875f x 1e6 rounds to 8750. A
    // usable period is below 1 s, so the count fits.
    return static_cast<std::int32_t>(periodS() * 1000000.0f);
}

} // namespace vnx
