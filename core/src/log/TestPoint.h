#pragma once

#include <cstdint>

namespace vnx::log {

/// What a logged piece of raw data is: for arrays, its element type and size.
/// Values 1 to 391 name array element types; the named values below are the
/// kinds of payload the text, record and output-list calls produce.
enum TestPoint_e : uint32_t {
    TP_NONE = 0,
    TP_TEXT = 392,
    TP_RECORD = 393,
    TP_OUTPUT_LIST = 394,
};

} // namespace vnx::log
