#pragma once

#include <cstdint>

namespace vnx {

// Non-finite constants of the generated numerical code. They are zero until
// rt_InitInfAndNaN sets them; call it once before any reader.
extern double rtInf;
extern double rtMinusInf;
extern double rtNaN;
extern float rtInfF;
extern float rtMinusInfF;
extern float rtNaNF;

/// Sets the six constants. realSizeBytes is the size of the generated code's
/// real type: 4 makes rtNaN the float NaN widened to double.
void rt_InitInfAndNaN(std::uint64_t realSizeBytes);

/// True when value equals rtInf or rtMinusInf (compares with the globals).
bool rtIsInf(double value);
/// True when value equals rtInfF or rtMinusInfF.
bool rtIsInfF(float value);
/// True when value is unequal to itself.
bool rtIsNaN(double value);
bool rtIsNaNF(float value);

} // namespace vnx
