#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// A gesture as drawn: its name, image name, a value and the pointer
/// positions of the path.
class GestureUpdate
{
  public:
    GestureUpdate() = default;
    /// `positions` points to two consecutive vectors: x, then y (null: none).
    GestureUpdate(std::string_view name, std::string_view imageName, int32_t value,
                  const std::vector<int32_t>* positions);

    /// Copies all five fields; `positions` as in the constructor.
    void setValues(std::string_view name, std::string_view imageName, int32_t value,
                   const std::vector<int32_t>* positions);

    const std::string& name() const { return name_; }
    const std::string& imageName() const { return imageName_; }
    int32_t value() const { return value_; }
    const std::vector<int32_t>& positionsX() const { return positionsX_; }
    const std::vector<int32_t>& positionsY() const { return positionsY_; }

  private:
    std::string name_;
    std::string imageName_;
    int32_t value_ = 0;
    std::vector<int32_t> positionsX_;
    std::vector<int32_t> positionsY_;
};
