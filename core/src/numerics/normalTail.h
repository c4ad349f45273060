#pragma once

namespace vnx {

/// P(Z > z) for a standard normal Z, by piecewise cubics: exact enough to
/// grade how well a still window matches the expected noise (0 from z = 3.2
/// on and for NaN, 1 - P(-z) below zero).
float normalUpperTail(float z);

} // namespace vnx
