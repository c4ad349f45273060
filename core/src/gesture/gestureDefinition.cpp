#include "gesture/gestureDefinition.h"

#include <cstring>
#include <string_view>

namespace vnx::gesture {

namespace {

std::string_view boundedText(const char* text, std::size_t size)
{
    return {text, ::strnlen(text, size)};
}

} // namespace

Gesture gestureFromDefinition(const char* name, std::size_t nameSize, const char* codeText,
                              std::size_t codeTextSize)
{
    return Gesture(boundedText(name, nameSize), boundedText(codeText, codeTextSize), "");
}

} // namespace vnx::gesture
