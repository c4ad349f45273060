// Names of poll event bits, for debugging output.

#include <poll.h>

#include <cstring>
#include <string>

#include "appSupport/appSupport.h"

namespace {

struct EventName
{
    int bit;
    const char* name;
};

constexpr EventName kEventNames[] = {
    {POLLIN, "POLLIN"},         {POLLPRI, "POLLPRI"},       {POLLOUT, "POLLOUT"},       {POLLRDHUP, "POLLRDHUP"},
    {POLLERR, "POLLERR"},       {POLLHUP, "POLLHUP"},       {POLLNVAL, "POLLNVAL"},     {POLLRDNORM, "POLLRDNORM"},
    {POLLRDBAND, "POLLRDBAND"}, {POLLWRNORM, "POLLWRNORM"}, {POLLWRBAND, "POLLWRBAND"},
};

constexpr size_t textNeeded()
{
    size_t size = 1;
    for (const EventName& event : kEventNames) {
        size += std::char_traits<char>::length(event.name) + 1;
    }
    return size;
}

// Every name with its separator.
constexpr size_t kTextSize = 128;
static_assert(textNeeded() <= kTextSize);

} // namespace

extern "C" const char* print_events(int events)
{
    thread_local char text[kTextSize];
    text[0] = '\0';
    for (const EventName& event : kEventNames) {
        if ((events & event.bit) != 0) {
            if (text[0] != '\0') {
                std::strcat(text, "|");
            }
            std::strcat(text, event.name);
        }
    }
    return text;
}
