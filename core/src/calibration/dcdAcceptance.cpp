#include "calibration/dcdAcceptance.h"

#include <cstring>

#include "common/statusCode.h"

namespace vnx {

namespace {

/// Copies the form when `available` bytes hold it and it validates there.
template <typename Form>
bool copyIfValid(const vnx_dcdData_s* dcd, std::size_t available,
                 const Form* (*validate)(const vnx_dcdData_s*), Form& copy)
{
    if (available < sizeof(Form) || validate(dcd) == nullptr) {
        return false;
    }
    std::memcpy(&copy, dcd, sizeof copy);
    return true;
}

} // namespace

AcceptedDcd acceptDcd(const vnx_dcdData_s* dcd, std::size_t available, std::uint32_t scdCrc)
{
    AcceptedDcd accepted;
    if (dcd == nullptr || available < sizeof(vnx_dcdData_s)) {
        return accepted;
    }
    std::uint32_t storedScdCrc = 0;
    if (copyIfValid(dcd, available, dcdAlg4MinFixedValidateAndCast, accepted.block_.gyroOnly)) {
        accepted.form_ = AcceptedDcd::Form::GyroOnly;
        storedScdCrc = accepted.block_.gyroOnly.scdCrc;
    } else if (copyIfValid(dcd, available, dcdAlg49AxisFixedValidateAndCast, accepted.block_.nineAxis)) {
        accepted.form_ = AcceptedDcd::Form::NineAxis;
        storedScdCrc = accepted.block_.nineAxis.scdCrc;
    } else {
        return accepted;
    }
    accepted.status_ = storedScdCrc == scdCrc ? VNX_STATUS_SUCCESS : VNX_STATUS_WARNING_DCD_SCD_MISMATCH;
    return accepted;
}

const dcdAlg4MinFixedInnards_s* AcceptedDcd::innards() const
{
    if (status_ != VNX_STATUS_SUCCESS) {
        return nullptr;
    }
    return form_ == Form::GyroOnly ? &block_.gyroOnly.innards : &block_.nineAxis.innards;
}

const dcdAlg49AxisFixed_s* AcceptedDcd::nineAxis() const
{
    return status_ == VNX_STATUS_SUCCESS && form_ == Form::NineAxis ? &block_.nineAxis : nullptr;
}

const dcdMagAmpCal_s* AcceptedDcd::magnetometer() const
{
    const dcdAlg49AxisFixed_s* full = nineAxis();
    return full != nullptr ? &full->magAmpCal : nullptr;
}

const dcdAccOffsetCal_s* AcceptedDcd::accelerometer() const
{
    const dcdAlg49AxisFixed_s* full = nineAxis();
    return full != nullptr ? &full->accOffsetCal : nullptr;
}

} // namespace vnx
