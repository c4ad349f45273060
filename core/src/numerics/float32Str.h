#pragma once

namespace vnx {

/// Writes value as "%f" without the trailing zeros after the decimal point,
/// keeping one digit after it (1.5, 2.0, 0.125), and returns the text length.
/// Never writes more than bufferSize bytes. When the text does not fit, the
/// buffer holds the empty string and the result is 0; a non-finite value is
/// written as "%f" gives it ("inf", "nan").
int float32_str(char* buffer, int bufferSize, float value);

} // namespace vnx
