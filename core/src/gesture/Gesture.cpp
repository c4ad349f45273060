#include "gesture/Gesture.h"

#include <climits>
#include <cstddef>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/// The value `atoi` reads from the start of `text`: leading white space, an
/// optional sign, then decimal digits; 0 when there are none. A number beyond
/// the int range saturates instead of being undefined.
int readInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) {
            magnitude = static_cast<long long>(INT_MAX) + 1;
        }
    }
    const long long value = negative ? -magnitude : magnitude;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

Gesture::Gesture(std::string_view name, std::string_view codeText, std::string_view imageName)
    : name_(name), imageName_(imageName)
{
    setCode(codeText);
}

void Gesture::set(std::string_view name, std::string_view codeText, std::string_view imageName)
{
    name_ = name;
    imageName_ = imageName;
    setCode(codeText);
}

void Gesture::setCode(std::string_view codeText)
{
    for (std::size_t i = 0; i < codeText.size(); ++i) {
        if (codeText[i] != ' ') {
            code_.push_back(static_cast<float>(readInteger(codeText.substr(i))));
        }
    }
}
