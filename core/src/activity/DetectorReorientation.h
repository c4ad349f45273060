#pragma once

// How the sensors sit in the device, for the detectors whose decisions
// depend on the pose (pocket, pick-up): a rotation taken from four Q14
// words in the order x, y, z, w. A zero vector part (x = y = z = 0) means
// no rotation, whatever w holds; otherwise a quaternion whose squared norm
// is off 1 by more than 1e-7 is normalised, so hand-rounded words still
// give a pure rotation.

#include <cstdint>

namespace vnx::activity {

class DetectorReorientation
{
  public:
    /// From the words x, y, z, w (value = word / 2^14).
    void set(const std::int16_t* xyzwQ14);
    bool isSet() const { return set_; }
    /// v turned by the rotation (q v q*); v itself when there is none. `out` may be `v`.
    void rotate(const float* v, float* out) const;

  private:
    bool set_ = false;
    float w_ = 1, x_ = 0, y_ = 0, z_ = 0;
};

} // namespace vnx::activity
