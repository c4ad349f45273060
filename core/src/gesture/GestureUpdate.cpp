#include "gesture/GestureUpdate.h"

GestureUpdate::GestureUpdate(std::string_view name, std::string_view imageName, int32_t value,
                             const std::vector<int32_t>* positions)
{
    setValues(name, imageName, value, positions);
}

void GestureUpdate::setValues(std::string_view name, std::string_view imageName, int32_t value,
                              const std::vector<int32_t>* positions)
{
    name_ = name;
    imageName_ = imageName;
    value_ = value;
    if (positions == nullptr) {
        positionsX_.clear();
        positionsY_.clear();
        return;
    }
    positionsX_ = positions[0];
    positionsY_ = positions[1];
}
