#pragma once

#include <cstddef>

#include "gesture/Gesture.h"

namespace vnx::gesture {

/// The gesture of a Definition record: the name and the code text each read
/// up to their terminator or the end of their field, whichever comes first,
/// and an empty image name.
Gesture gestureFromDefinition(const char* name, std::size_t nameSize, const char* codeText,
                              std::size_t codeTextSize);

template <class Definition> Gesture gestureFromDefinition(const Definition& definition)
{
    return gestureFromDefinition(definition.name, sizeof(definition.name), definition.code,
                                 sizeof(definition.code));
}

} // namespace vnx::gesture
