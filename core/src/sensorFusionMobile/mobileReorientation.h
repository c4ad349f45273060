#pragma once

// Reorientation and tare of the mobile fusion engine's outputs. The
// configured reorientation Qc turns the calibration into the mounting frame
// at init; the effective output reorientation R then acts on every output
// (see mobileOutputFrame.h). Quaternions are (w, x, y, z); the client's are
// x, y, z, w. Pure functions.

#include "numerics/qdVectorFixed.h"
#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::mobile {

/// Whether the client's quaternion can be used as a reorientation: all four
/// parts finite, and x, y, z all 0 ("none") or a norm of at least 1e-6. A
/// NaN or a vanishing quaternion would turn every later output into noise.
bool reorientationIsUsable(const vnx_Mobile_Quaternion_s& q);

/// The client's x, y, z, w as (w, x, y, z), at unit norm. False (and the
/// identity) when x, y and z are all exactly 0, which means "none".
bool reorientationFromClient(const vnx_Mobile_Quaternion_s& q, qdVectorFixed::Quaternion& out);

/// R for the client's reorientation q: conj(Qc) (x) Q, or conj(Qc) alone
/// (undoing the configured reorientation) for "none".
qdVectorFixed::Quaternion outputReorientation(const qdVectorFixed::Quaternion& configured,
                                              const vnx_Mobile_Quaternion_s& q);

/// The reorientation the client sees: Qc (x) R as x, y, z, w.
vnx_Mobile_Quaternion_s reportedReorientation(const qdVectorFixed::Quaternion& configured,
                                              const qdVectorFixed::Quaternion& output);

/// R that makes the output of a sensor whose orientation is q read the
/// identity at this moment.
qdVectorFixed::Quaternion tareAllAxes(const qdVectorFixed::Quaternion& q);

/// R that keeps the tilt of the output q (x) current and zeroes its heading.
qdVectorFixed::Quaternion tareHeading(const qdVectorFixed::Quaternion& q,
                                      const qdVectorFixed::Quaternion& current);

} // namespace vnx::mobile
