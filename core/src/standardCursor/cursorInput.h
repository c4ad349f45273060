#pragma once

// What the cursor modules read of a SensorFusion sample: the two angular
// rates that steer the pointer (y and z), the spread pair of the Format and
// the orientation.

#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace vnx {

struct CursorInput
{
    Fp32 rate[2];                                 ///< angular velocity y and z, rad/s
    Fp32 spread[2];                               ///< Format words at bytes 28 and 32
    qdVectorFixed::quaternion<float> orientation; ///< w, x, y, z
};

/// Reads the rates and the spread pair with the angular-velocity code (an
/// absent group gives 0 for all four) and the quaternion with its own code.
void readCursorInput(const vnx_SensorFusion_Output_s& motion, const vnx_SensorFusion_Format_s& format,
                     CursorInput& input);

} // namespace vnx
