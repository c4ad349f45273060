#include "pointerEngine/PointerAlignment.h"

#include <cmath>
#include <cstring>

#include "numerics/rtNonFinite.h"
#include "pointerEngine/orientationMappingMath.h"

namespace vnx {

namespace {

using Quaternion = PointerAlignment::Quaternion;

constexpr float kNoDirection = 1e-7f;
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kMaxErrorScaleLimit = 100.0f; // beyond this maxError leaves scale and angle alone
constexpr std::uint32_t kMeanCountCap = 3750;
constexpr std::uint32_t kMeanCountTrusted = 100;
constexpr float kRecentreEnterPitch = 1.3089969f;  // 75 degrees
constexpr float kRecentreLeavePitch = 0.62831855f; // 36 degrees
constexpr float kDriftDecay = 0.984f;
constexpr float kNegligible = 1e-5f;
constexpr float kMinSpreadPixels = 10.0f;
constexpr float kMinSpreadRadians = 0.017453292f; // 1 degree
constexpr float kWeightFullSpeed = 32.0f;         // counts per sample at which a sample stops counting
constexpr float kFixedWeight = 2.0f;
constexpr float kDegreesPerRadian = 57.29578f;

// Unit quaternion by the largest component first, the root in double.
Quaternion normalised(Quaternion q)
{
    float s = 0.0f;
    for (float c : q.e)
        s = std::fmax(s, std::fabs(c));
    if (s == 0.0f)
        return q;
    double sum = 0.0;
    for (float c : q.e) {
        const double scaled = c / s;
        sum += scaled * scaled;
    }
    const float norm = s * static_cast<float>(std::sqrt(sum));
    for (float& c : q.e)
        c /= norm;
    return q;
}

struct Angles
{
    float yaw;
    float pitch;
};

// Yaw and pitch of a unit rotation (z-y-x angles).
Angles anglesOf(const Quaternion& r)
{
    const float w = r.e[0], x = r.e[1], y = r.e[2], z = r.e[3];
    float sinPitch = 2.0f * (w * y - x * z);
    // Rounding can carry a vertical rotation just past 1, where asin has no value.
    sinPitch = sinPitch > 1.0f ? 1.0f : (sinPitch < -1.0f ? -1.0f : sinPitch);
    return {std::atan2(2.0f * (w * z + x * y), 2.0f * (w * w + x * x) - 1.0f), std::asin(sinPitch)};
}

// Angles of q measured against ref.
Angles relativeAngles(const Quaternion& q, const Quaternion& ref)
{
    return anglesOf(normalised(ref * q.conj()));
}

Quaternion aboutVertical(float angle)
{
    return {std::cos(angle / 2.0f), 0.0f, 0.0f, std::sin(angle / 2.0f)};
}

// Rotation with the given z-y-x angles.
Quaternion fromAngles(float yaw, float pitch, float roll)
{
    const float cy = std::cos(yaw / 2), sy = std::sin(yaw / 2);
    const float cp = std::cos(pitch / 2), sp = std::sin(pitch / 2);
    const float cr = std::cos(roll / 2), sr = std::sin(roll / 2);
    return {cr * cp * cy + sr * sp * sy, sr * cp * cy - cr * sp * sy, cr * sp * cy + sr * cp * sy,
            cr * cp * sy - sr * sp * cy};
}

float rollOf(const Quaternion& r)
{
    const float w = r.e[0], x = r.e[1], y = r.e[2], z = r.e[3];
    return std::atan2(2.0f * (w * x + y * z), 1.0f - 2.0f * (x * x + y * y));
}

float wrapPi(float a)
{
    if (!std::isfinite(a))
        return a;
    while (a > kPi)
        a -= kTwoPi;
    while (a < -kPi)
        a += kTwoPi;
    return a;
}

float length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

void mapAngles(const float map[9], float yaw, float pitch, float out[2])
{
    out[0] = (map[0] * yaw + map[2]) + map[1] * pitch;
    out[1] = (yaw * map[3] + map[5]) + pitch * map[4];
}

void setIdentity(float map[9])
{
    std::memset(map, 0, 9 * sizeof(float));
    map[0] = map[4] = map[8] = 1.0f;
}

// Angles whose map image is the screen point (x, y).
Angles unmap(const float map[9], float x, float y)
{
    const float b[3] = {x, y, 1.0f};
    float a[3];
    m_mldivide(map, b, a);
    return {a[0], a[1]};
}

} // namespace

PointerAlignment::PointerAlignment(const int screen[2])
    : width_(static_cast<float>(screen[0])), height_(static_cast<float>(screen[1]))
{
    rt_InitInfAndNaN(8);
    state_.learnedReference = {1.0f, 0.0f, 0.0f, 0.0f};
    state_.previousOrientation = {1.0f, 0.0f, 0.0f, 0.0f};
}

PointerAlignment::~PointerAlignment() = default;

bool PointerAlignment::resetAlignment()
{
    std::memset(&state_, 0, sizeof state_);
    return true;
}

void PointerAlignment::getXyRef(float out[2]) const
{
    out[0] = mappedPoint_[0];
    out[1] = mappedPoint_[1];
}

void PointerAlignment::getError(float out[2]) const
{
    out[0] = error_[0];
    out[1] = error_[1];
}

void PointerAlignment::applyMap(const Quaternion& q, const Quaternion& ref, const float map[6], float out[2])
{
    const Angles a = relativeAngles(q, ref);
    out[0] = (map[0] * a.yaw + map[2]) + map[1] * a.pitch;
    out[1] = (a.yaw * map[3] + map[5]) + a.pitch * map[4];
}

void PointerAlignment::applyMapScaleOffset(const Quaternion& q, const Quaternion& ref, const float map[6],
                                           float out[2])
{
    const Angles a = relativeAngles(q, ref);
    out[0] = a.yaw * map[0] + map[2];
    out[1] = a.pitch * map[4] + map[5];
}

bool PointerAlignment::mapOrientationToScreen(const float q[4], float out[2]) const
{
    const float m0 = state_.map[0];
    if (m0 == 0.0f || m0 == 1.0f)
        return false;
    const Quaternion orientation = normalised({q[0], q[1], q[2], q[3]});
    applyMap(orientation, reference_, state_.map, out);
    return true;
}

bool PointerAlignment::adjustVeloctiy2d(const float pos[2], const float vel[2], const float target[2],
                                        float scale, float angle, float out[2]) const
{
    out[0] = vel[0];
    out[1] = vel[1];
    const float speed = length(vel[0], vel[1]);
    if (speed <= kNoDirection)
        return true;
    const float dx = target[0] - pos[0];
    const float dy = target[1] - pos[1];
    const float distance = length(dx, dy);
    if (distance <= kNoDirection)
        return true;
    float projection;
    if (angle != 0.0f) {
        const float c = (dx * vel[0] + dy * vel[1]) / (distance * speed);
        float a = std::fabs(c) <= 1.0f ? std::acos(c) : 0.0f;
        a = angle < a ? angle : a;
        if (dy * vel[0] - dx * vel[1] < 0.0f)
            a = -a;
        const float ca = std::cos(a), sa = std::sin(a);
        out[0] = ca * vel[0] - sa * vel[1];
        out[1] = ca * vel[1] + sa * vel[0];
        projection = dx * out[0] + dy * out[1];
    } else {
        projection = dx * vel[0] + dy * vel[1];
    }
    float g = projection / (speed * speed);
    g = std::fmax(1.0f / scale, std::fmin(scale, g));
    out[0] *= g;
    out[1] *= g;
    return true;
}

bool PointerAlignment::alignPointer(const Quaternion& q, const float pos[2], const float vel[2], float scale,
                                    float angle, float maxError, const bool flags[2], float out[2])
{
    float k = scale;
    float limit = angle;
    if (maxError != 0.0f && std::fabs(maxError) <= kMaxErrorScaleLimit) {
        float e = length(error_[0], error_[1]) / (std::fabs(maxError) * width_);
        if (maxError < 0.0f)
            e *= e;
        k = 1.0f + (scale - 1.0f) * e;
        limit = e * angle;
    }
    if (!flags[0] && k > 0.0f && !flags[1] && previousMode_) {
        applyMap(normalised(q), reference_, state_.map, mappedPoint_);
        adjustVeloctiy2d(pos, vel, mappedPoint_, k, limit, out);
    } else {
        out[0] = vel[0];
        out[1] = vel[1];
    }
    error_[0] = mappedPoint_[0] - (pos[0] + out[0]);
    error_[1] = mappedPoint_[1] - (pos[1] + out[1]);
    return true;
}

bool PointerAlignment::alignPointerDirect(const float target[3], const float pos[2], const float vel[2],
                                          float scale, float angle, float maxError, const bool[2],
                                          float out[2])
{
    mappedPoint_[0] = target[0];
    mappedPoint_[1] = target[2];
    adjustVeloctiy2d(pos, vel, mappedPoint_, scale, angle, out);
    error_[0] = mappedPoint_[0] - (pos[0] + out[0]);
    error_[1] = mappedPoint_[1] - (pos[1] + out[1]);
    if (length(error_[0], error_[1]) > maxError) {
        out[0] = mappedPoint_[0] - pos[0];
        out[1] = mappedPoint_[1] - pos[1];
        error_[0] = 0.0f;
        error_[1] = 0.0f;
    }
    return true;
}

bool PointerAlignment::updateMap(const Quaternion& q, const float pos[2], const float push[2],
                                 const bool atBound[2], float gain[2], bool, float filterValue, bool mode)
{
    // Only finite values join the mean: one infinite value (a zero period
    // upstream) would otherwise poison the gains for good.
    if (filterValue > 0.0f && std::isfinite(filterValue)) {
        if (filterCount_ == 0) {
            filterMean_ = filterValue;
            filterCount_ = 1;
        } else {
            const std::uint32_t count = filterCount_ + 1;
            filterMean_ += (filterValue - filterMean_) / static_cast<float>(count);
            filterCount_ = count < kMeanCountCap ? count : kMeanCountCap;
        }
        if (filterCount_ > kMeanCountTrusted) {
            gain[0] = filterMean_;
            gain[1] = filterMean_;
        }
    }

    const Quaternion orientation = normalised(q);
    const bool anchorAll = state_.sampleCounter == 0 || mode != previousMode_;
    previousMode_ = mode;

    // Per axis: re-anchor once the pointer was held against a bound for more
    // than a quarter screen width of push and then moves back.
    bool anchor[2] = {anchorAll, anchorAll};
    const float threshold = width_ / 4.0f;
    for (int axis = 0; axis < 2; ++axis) {
        std::uint8_t& edge = edgeState_[axis];
        float& accumulated = pushAccumulator_[axis];
        const float p = push[axis];
        switch (edge) {
        case 0:
            if (atBound[axis]) {
                accumulated += p;
                if (std::fabs(accumulated) > threshold)
                    edge = 1;
            } else {
                edge = 4;
            }
            break;
        case 1:
            if (atBound[axis])
                anchor[axis] = true;
            else
                edge = p >= 0.0f ? 2 : 3;
            break;
        case 2:
        case 3:
            if (atBound[axis]) {
                edge = 0;
                accumulated = p;
            } else if ((edge == 2 && p < 0.0f) || (edge == 3 && p > 0.0f)) {
                edge = 4;
                anchor[axis] = true;
            }
            break;
        default:
            if (atBound[axis]) {
                edge = 0;
                accumulated = p;
            }
            break;
        }
    }

    if (anchor[0] || anchor[1]) {
        if (mode) {
            if (anchor[0])
                reference_ = aboutVertical(anglesOf(orientation).yaw);
        } else {
            reference_ = orientation;
        }
        state_.learnedReference = reference_;
    }
    const Angles a = relativeAngles(orientation, reference_);
    if (anchor[0]) {
        anchor_[0] = pos[0];
        anchor_[2] = a.yaw;
    }
    if (anchor[1]) {
        anchor_[1] = pos[1];
        anchor_[3] = a.pitch;
    }
    float* m = state_.map;
    m[0] = gain[0];
    m[1] = 0.0f;
    m[2] = anchor_[0] - anchor_[2] * gain[0];
    m[3] = 0.0f;
    m[4] = -gain[1];
    m[5] = anchor_[3] * gain[1] + anchor_[1];
    m[6] = 0.0f;
    m[7] = 0.0f;
    m[8] = 1.0f;
    if (state_.sampleCounter != UINT32_MAX)
        ++state_.sampleCounter;
    return true;
}

bool PointerAlignment::updateMap(const Quaternion& q, const float pos[2], const float delta[2],
                                 const bool enable[2], const float gain[2], bool fixedWeight)
{
    float target[2];
    orientationMapping(q, pos, delta, true, enable, gain, fixedWeight, target);
    reference_ = state_.learnedReference;
    return true;
}

void PointerAlignment::clearLearned()
{
    std::memset(state_.yaw, 0, sizeof state_.yaw);
    std::memset(state_.pitch, 0, sizeof state_.pitch);
    std::memset(state_.x, 0, sizeof state_.x);
    std::memset(state_.y, 0, sizeof state_.y);
    std::memset(state_.weight, 0, sizeof state_.weight);
    std::memset(state_.coverage, 0, sizeof state_.coverage);
    setIdentity(state_.map);
    state_.headingOffset = 0.0f;
    state_.drift[0] = 0.0f;
    state_.drift[1] = 0.0f;
    state_.driftActive = 0;
    state_.sampleCounter = 0;
    state_.established = 0;
}

void PointerAlignment::recordSample(float yaw, float pitch, float x, float y, float weight)
{
    MapState& s = state_;
    if (s.sampleCounter < static_cast<std::uint32_t>(kBufferSize)) {
        if (!(weight > kNegligible))
            return;
        const std::uint32_t n = s.sampleCounter;
        s.yaw[n] = yaw;
        s.pitch[n] = pitch;
        s.x[n] = x;
        s.y[n] = y;
        s.weight[n] = weight;
        ++s.sampleCounter;
        // The empty tail repeats the stored samples, so that the buffer always
        // holds 200 usable entries.
        for (int i = static_cast<int>(s.sampleCounter); i < kBufferSize; ++i) {
            const int from = i % static_cast<int>(s.sampleCounter);
            s.yaw[i] = s.yaw[from];
            s.pitch[i] = s.pitch[from];
            s.x[i] = s.x[from];
            s.y[i] = s.y[from];
            s.weight[i] = s.weight[from];
        }
        return;
    }
    int smallest = 0;
    for (int i = 1; i < kBufferSize; ++i) {
        if (s.weight[i] < s.weight[smallest])
            smallest = i;
    }
    if (weight > s.weight[smallest]) {
        s.yaw[smallest] = yaw;
        s.pitch[smallest] = pitch;
        s.x[smallest] = x;
        s.y[smallest] = y;
        s.weight[smallest] = weight;
        if (s.sampleCounter != UINT32_MAX)
            ++s.sampleCounter;
    }
}

bool PointerAlignment::fitMap()
{
    MapState& s = state_;
    const int n = static_cast<int>(s.sampleCounter < static_cast<std::uint32_t>(kBufferSize)
                                       ? s.sampleCounter
                                       : static_cast<std::uint32_t>(kBufferSize));
    if (n == 0)
        return false;
    float minYaw = s.yaw[0], maxYaw = s.yaw[0], minPitch = s.pitch[0], maxPitch = s.pitch[0];
    float minX = s.x[0], maxX = s.x[0], minY = s.y[0], maxY = s.y[0];
    for (int i = 1; i < n; ++i) {
        minYaw = std::fmin(minYaw, s.yaw[i]);
        maxYaw = std::fmax(maxYaw, s.yaw[i]);
        minPitch = std::fmin(minPitch, s.pitch[i]);
        maxPitch = std::fmax(maxPitch, s.pitch[i]);
        minX = std::fmin(minX, s.x[i]);
        maxX = std::fmax(maxX, s.x[i]);
        minY = std::fmin(minY, s.y[i]);
        maxY = std::fmax(maxY, s.y[i]);
    }
    if (!s.established && !(maxX - minX > kMinSpreadPixels && maxY - minY > kMinSpreadPixels &&
                            maxYaw - minYaw > kMinSpreadRadians && maxPitch - minPitch > kMinSpreadRadians))
        return false;

    if (s.recentring) {
        // Centre the stored yaws on the middle of their range.
        const float middle = (minYaw + maxYaw) / 2.0f;
        s.headingOffset = wrapPi(s.headingOffset + middle);
        for (int i = 0; i < kBufferSize; ++i)
            s.yaw[i] -= middle;
        s.learnedReference = aboutVertical(-s.headingOffset);
    }

    float xFit[2], yFit[2];
    m_linearFit(s.yaw, s.x, n, xFit);
    m_linearFit(s.pitch, s.y, n, yFit);
    float* m = s.map;
    m[0] = xFit[0];
    m[1] = 0.0f;
    m[2] = xFit[1];
    m[3] = 0.0f;
    m[4] = yFit[0];
    m[5] = yFit[1];
    m[6] = 0.0f;
    m[7] = 0.0f;
    m[8] = 1.0f;

    // The screen, taken back through the map, must span a plausible angle.
    const Angles topLeft = unmap(m, 0.0f, 0.0f);
    const Angles bottomRight = unmap(m, width_, height_);
    const float yawExtent = std::fabs(bottomRight.yaw - topLeft.yaw);
    const float pitchExtent = std::fabs(bottomRight.pitch - topLeft.pitch);
    const bool plausible = !rtIsNaNF(yawExtent) && !rtIsInfF(yawExtent) && !rtIsNaNF(pitchExtent) &&
                           !rtIsInfF(pitchExtent) && yawExtent <= kPi && pitchExtent <= kTwoPi;
    s.spreadCheck = 0;
    if (plausible) {
        s.established = 1;
        return true;
    }
    const std::uint8_t recentring = s.recentring;
    const float heading = s.headingOffset;
    const Quaternion reference = s.learnedReference;
    clearLearned();
    s.recentring = recentring;
    s.headingOffset = heading;
    s.learnedReference = reference;
    return false;
}

void PointerAlignment::provisionalMap(const float gain[2])
{
    MapState& s = state_;
    int e = 0;
    for (int i = 1; i < kBufferSize; ++i) {
        if (s.weight[i] < s.weight[e])
            e = i;
    }
    float* m = s.map;
    m[0] = gain[0];
    m[1] = 0.0f;
    m[2] = s.x[e] - s.yaw[e] * gain[0];
    m[3] = 0.0f;
    m[4] = -gain[1];
    m[5] = s.pitch[e] * gain[1] + s.y[e];
    m[6] = 0.0f;
    m[7] = 0.0f;
    m[8] = 1.0f;
}

void PointerAlignment::orientationMapping(const Quaternion& qIn, const float pos[2], const float delta[2],
                                          bool learn, const bool enable[2], const float gain[2],
                                          bool fixedWeight, float target[2])
{
    MapState& s = state_;
    const Quaternion q = normalised(qIn);
    target[0] = pos[0] + delta[0];
    target[1] = pos[1] + delta[1];

    // Re-centre gate: pointing steeply up or down ends a re-centring episode,
    // coming back to level starts one; either starts a fresh fit.
    const float absolutePitch = std::fabs(anglesOf(q.conj()).pitch);
    if (s.recentring ? absolutePitch >= kRecentreEnterPitch : absolutePitch <= kRecentreLeavePitch) {
        clearLearned();
        s.recentring = s.recentring ? 0 : 1;
        s.spreadCheck = 1;
    }

    if (s.sampleCounter == 0) {
        if (s.recentring) {
            s.headingOffset = anglesOf(q.conj()).yaw;
            s.learnedReference = aboutVertical(-s.headingOffset);
        } else {
            s.learnedReference = q;
        }
    }
    Angles current = relativeAngles(q, s.learnedReference);

    if (!learn) {
        mapAngles(s.map, current.yaw, current.pitch, target);
        s.previousOrientation = q;
        return;
    }

    if (!enable[0] && !enable[1]) {
        s.driftActive = 0;
        s.drift[0] = 0.0f;
        s.drift[1] = 0.0f;
    } else if (s.established) {
        const Angles aimed = unmap(s.map, target[0], target[1]);
        if (!s.recentring) {
            // Turn the reference so that the current orientation maps onto the
            // target: keep the current roll, take the target's yaw and pitch.
            const Quaternion r = normalised(s.learnedReference * q.conj());
            const Quaternion wanted = fromAngles(aimed.yaw, aimed.pitch, rollOf(r));
            s.learnedReference = normalised(wanted * q);
            std::memset(s.coverage, 0, sizeof s.coverage);
            s.previousOrientation = q;
            return;
        }
        const Angles atPointer = unmap(s.map, pos[0], pos[1]);
        if (!s.driftActive) {
            const Angles previous = relativeAngles(s.previousOrientation, s.learnedReference);
            s.drift[0] = wrapPi(atPointer.yaw - previous.yaw);
            s.drift[1] = atPointer.pitch - previous.pitch;
            std::memset(s.coverage, 0, sizeof s.coverage);
            for (float& w : s.weight) {
                w *= 0.5f;
                if (w < kNegligible)
                    w = 0.0f;
            }
            s.driftActive = 1;
        } else {
            for (float& d : s.drift) {
                d *= kDriftDecay;
                if (std::fabs(d) < kNegligible)
                    d = 0.0f;
            }
        }
        if (enable[0]) {
            s.headingOffset = wrapPi(s.headingOffset + wrapPi(current.yaw - aimed.yaw + s.drift[0]));
            s.learnedReference = aboutVertical(-s.headingOffset);
        }
        if (enable[1]) {
            const float shift = current.pitch - aimed.pitch + s.drift[1];
            for (float& p : s.pitch)
                p += shift;
            // The samples moved by `shift`: move the map's offset with them.
            s.map[5] -= s.map[4] * shift;
        }
        current = relativeAngles(q, s.learnedReference);
    }

    const float speed = length(delta[0], delta[1]);
    float weight =
        fixedWeight ? kFixedWeight : std::fmax(0.0f, (kWeightFullSpeed - speed) / kWeightFullSpeed);
    if (!fixedWeight)
        weight = weight * weight * weight;
    if (std::isfinite(current.yaw) && std::isfinite(current.pitch)) {
        float yawDegrees = std::fmod(current.yaw * kDegreesPerRadian + 180.0f, 360.0f);
        if (yawDegrees < 0.0f)
            yawDegrees += 360.0f;
        float pitchDegrees = std::fmod(current.pitch * kDegreesPerRadian + 90.0f, 180.0f);
        if (pitchDegrees < 0.0f)
            pitchDegrees += 180.0f;
        const int yawCell = static_cast<int>(yawDegrees / 5.0f) % kYawCells;
        const int pitchCell = static_cast<int>(pitchDegrees / 5.0f) % kPitchCells;
        std::uint32_t& seen = s.coverage[yawCell * kPitchCells + pitchCell];
        if (seen != UINT32_MAX)
            ++seen;
        recordSample(current.yaw, current.pitch, target[0], target[1], weight / static_cast<float>(seen));
    }

    if (s.spreadCheck && fitMap()) {
        current = relativeAngles(q, s.learnedReference);
    }
    if (!s.established)
        provisionalMap(gain);
    mapAngles(s.map, current.yaw, current.pitch, target);
    s.previousOrientation = q;
}

} // namespace vnx
