#include "pointerBallistics/PointerBallisticsCurve.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <locale.h>

#include "pointerBallistics/builtInCurves.h"
#include "pointerBallistics/fopenLocal.h"

namespace vnx {

namespace {

// The product 1.435 * 1389.6218 is the Linear gain; an empty curve applies
// it in this order.
constexpr float kEmptyCurveFactorA = 1.435f;
constexpr float kEmptyCurveFactorB = 1389.6218f;

constexpr float kCurveDeadZone = 0.02f; // rad/s of hand jitter below any motion

/// Switches the calling thread to the C number format for the lifetime of
/// the object, so that curve files read and write "0.5" whatever locale the
/// application set.
class CNumericLocale
{
  public:
    CNumericLocale()
        : cLocale_(newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0))),
          previous_(cLocale_ ? uselocale(cLocale_) : static_cast<locale_t>(0))
    {
    }
    ~CNumericLocale()
    {
        if (cLocale_) {
            uselocale(previous_);
            freelocale(cLocale_);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

  private:
    locale_t cLocale_;
    locale_t previous_;
};

} // namespace

PointerBallisticsCurve::PointerBallisticsCurve() : name_{}, speeds_{}, gains_{}, minimumVelocity_(0.0f)
{
    setCurveToApproved();
}

PointerBallisticsCurve::~PointerBallisticsCurve()
{
    speeds_.count = 0;
    gains_.count = 0;
}

void PointerBallisticsCurve::appendPoint(float speed, float gain)
{
    speeds_.append(speed);
    gains_.append(gain);
}

void PointerBallisticsCurve::setBuiltIn(const char* name, float minimumVelocity, const float (*points)[2],
                                        std::size_t count)
{
    std::strncpy(name_, name, kNameLength - 1);
    name_[kNameLength - 1] = '\0';
    minimumVelocity_ = minimumVelocity;
    pointClear();
    for (std::size_t i = 0; i < count; ++i)
        appendPoint(points[i][0], points[i][1]);
}

void PointerBallisticsCurve::setCurveToLinear()
{
    setBuiltIn("Linear", 0.0f, builtInCurves::kLinear, std::size(builtInCurves::kLinear));
}

void PointerBallisticsCurve::setCurveToApproved()
{
    setBuiltIn("Approved", kCurveDeadZone, builtInCurves::kApproved, std::size(builtInCurves::kApproved));
}

void PointerBallisticsCurve::setCurveToPointerResponse()
{
    setBuiltIn("PointerResponse", kCurveDeadZone, builtInCurves::kPointerResponse,
               std::size(builtInCurves::kPointerResponse));
}

void PointerBallisticsCurve::setCurveToExperimental()
{
    setBuiltIn("Experimental", 0.0f, builtInCurves::kExperimental, std::size(builtInCurves::kExperimental));
}

void PointerBallisticsCurve::setCurveToBriskoExperimental()
{
    setBuiltIn("Brisko Experimental", kCurveDeadZone, builtInCurves::kApproved,
               builtInCurves::kBriskoApprovedPoints);
    for (const auto& point : builtInCurves::kBriskoTail)
        appendPoint(point[0], point[1]);
}

void PointerBallisticsCurve::setToCurve(Curve_t curve)
{
    switch (curve) {
    case Experimental:
        setCurveToExperimental();
        break;
    case PointerResponse:
        setCurveToPointerResponse();
        break;
    case Linear:
        setCurveToLinear();
        break;
    case BriskoExperimental:
        setCurveToBriskoExperimental();
        break;
    case Approved:
    default:
        setCurveToApproved();
        break;
    }
}

float PointerBallisticsCurve::evaluate(float dt, float speed) const
{
    if (minimumVelocity_ > speed)
        return 0.0f;
    const float s = speed - minimumVelocity_;
    const std::size_t n = pointCount();
    if (n == 0)
        return s * kEmptyCurveFactorA * kEmptyCurveFactorB * dt;
    const float* speeds = speeds_.values;
    const float* gains = gains_.values;
    if (s >= speeds[n - 1])
        return dt * gains[n - 1];
    if (speeds[0] >= s)
        return dt * gains[0];
    if (n < 2)
        return 0.0f;
    for (std::size_t i = 1; i < n; ++i) {
        if (speeds[i] >= s) {
            const float t = (s - speeds[i - 1]) / (speeds[i] - speeds[i - 1]);
            return ((gains[i] - gains[i - 1]) * t + gains[i - 1]) * dt;
        }
    }
    return 0.0f;
}

bool PointerBallisticsCurve::pointClear()
{
    speeds_.count = 0;
    gains_.count = 0;
    return true;
}

bool PointerBallisticsCurve::pointGet(unsigned index, float& speed, float& gain) const
{
    if (index >= pointCount())
        return false;
    speed = speeds_.values[index];
    gain = gains_.values[index];
    return true;
}

bool PointerBallisticsCurve::pointSet(unsigned index, float speed, float gain)
{
    if (index >= pointCount())
        return false;
    speeds_.values[index] = speed;
    gains_.values[index] = gain;
    return true;
}

bool PointerBallisticsCurve::pointInsert(unsigned, float, float)
{
    return false;
}

bool PointerBallisticsCurve::pointDelete(unsigned)
{
    return false;
}

bool PointerBallisticsCurve::load(const char* path)
{
    FILE* file = nullptr;
    if (path == nullptr || !fopenLocal(&file, path, "r"))
        return false;
    const CNumericLocale numbers;
    pointClear();
    float minimumVelocity = 0.0f;
    if (std::fscanf(file, "%f\n", &minimumVelocity) != 1) {
        std::fclose(file);
        return false;
    }
    minimumVelocity_ = minimumVelocity;
    float speed = 0.0f;
    float gain = 0.0f;
    while (std::fscanf(file, "%f,%f\n", &speed, &gain) == 2)
        appendPoint(speed, gain);
    std::fclose(file);
    return true;
}

bool PointerBallisticsCurve::save(const char* path) const
{
    FILE* file = nullptr;
    if (path == nullptr || !fopenLocal(&file, path, "w"))
        return false;
    const CNumericLocale numbers;
    bool written = std::fprintf(file, "%.6f\n", static_cast<double>(minimumVelocity_)) > 0;
    for (std::size_t i = 0; written && i < pointCount(); ++i) {
        written = std::fprintf(file, "%.6f,%.6f\n", static_cast<double>(speeds_.values[i]),
                               static_cast<double>(gains_.values[i])) > 0;
    }
    // A full disk often shows only when the buffer is flushed at close.
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace vnx
