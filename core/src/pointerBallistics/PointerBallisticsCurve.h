#pragma once

#include <cstddef>
#include <cstdint>

namespace vnx {

/// Speed-to-gain curve of the pointer ballistics: up to 100 points (speed in
/// rad/s, gain in counts per radian), linearly interpolated, with a dead zone
/// (the minimum velocity) subtracted from every speed. Five curves are built
/// in; a curve can also be read from and written to a text file. Fixed-size:
/// nothing is allocated.
class PointerBallisticsCurve
{
  public:
    enum Curve_t
    {
        Approved = 1,
        Experimental = 2,
        PointerResponse = 3,
        Linear = 4,
        BriskoExperimental = 8,
    };

    static constexpr std::size_t kMaxPoints = 100;
    static constexpr std::size_t kNameLength = 128;

    /// Starts on the Approved curve.
    PointerBallisticsCurve();
    ~PointerBallisticsCurve();

    /// Loads a built-in curve; an unknown selector loads Approved.
    void setToCurve(Curve_t curve);
    void setCurveToLinear();
    void setCurveToApproved();
    void setCurveToPointerResponse();
    void setCurveToExperimental();
    void setCurveToBriskoExperimental();

    /// dt times the gain at `speed` (rad/s): 0 below the minimum velocity,
    /// the first or last gain outside the points, else interpolated. With
    /// no points the Linear gain applies.
    float evaluate(float dt, float speed) const;

    bool pointClear();
    std::size_t pointCount() const { return static_cast<std::size_t>(speeds_.count); }
    bool pointGet(unsigned index, float& speed, float& gain) const;
    bool pointSet(unsigned index, float speed, float gain);
    /// Not supported: answer false and leave the curve unchanged.
    bool pointInsert(unsigned index, float speed, float gain);
    bool pointDelete(unsigned index);

    float getMinimumVelocity() const { return minimumVelocity_; }
    void setMinimumVelocity(float velocity) { minimumVelocity_ = velocity; }
    const char* getName() const { return name_; }

    /// Reads a curve file: the minimum velocity on the first line, then one
    /// "speed,gain" pair per line until a line does not parse (points past
    /// 100 are dropped). False, curve unchanged, when the file cannot be
    /// opened; false with no points when the first line is not a number.
    bool load(const char* path);
    /// Writes the curve in the format `load` reads; false when the file
    /// cannot be written.
    bool save(const char* path) const;

  private:
    struct PointList
    {
        float values[kMaxPoints];
        std::uint64_t count;
        void append(float value)
        {
            if (count < kMaxPoints)
                values[count++] = value;
        }
    };

    void setBuiltIn(const char* name, float minimumVelocity, const float (*points)[2], std::size_t count);
    void appendPoint(float speed, float gain);

    char name_[kNameLength];
    PointList speeds_;
    PointList gains_;
    float minimumVelocity_;
};

} // namespace vnx
