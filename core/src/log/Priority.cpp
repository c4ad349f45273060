#include "log/Priority.h"

#include <cstring>

namespace vnx::log {

namespace {

struct PriorityName
{
    const char* word;
    const char* prefix;
};

// Indexed by priority + 1.
constexpr PriorityName kNames[] = {
    {"OFF", "OFF    "},   {"FATAL", "FATAL  "}, {"ALERT", "ALERT  "},  {"CRIT", "CRIT   "},
    {"ERROR", "ERROR  "}, {"WARN", "WARN   "},  {"NOTICE", "NOTICE "}, {"INFO", "INFO   "},
    {"FINE", "FINE   "},  {"FINER", "FINER  "}, {"TRACE", "TRACE  "},
};

constexpr bool isKnown(int priority)
{
    return priority >= OFF && priority <= TRACE;
}

} // namespace

const char* priority_toString(int priority)
{
    return isKnown(priority) ? kNames[priority + 1].word : "Unknown";
}

const char* priority_toPrefix(int priority)
{
    return isKnown(priority) ? kNames[priority + 1].prefix : "";
}

bool priority_fromString(const char* word, Priority_e& out)
{
    if (word == nullptr) {
        return false;
    }
    for (int p = OFF; p <= TRACE; ++p) {
        if (std::strcmp(word, kNames[p + 1].word) == 0) {
            out = static_cast<Priority_e>(p);
            return true;
        }
    }
    return false;
}

} // namespace vnx::log
