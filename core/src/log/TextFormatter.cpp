#include "log/TextFormatter.h"

#include "log/Appender.h"

namespace vnx::log {

TextFormatter::~TextFormatter()
{
    if (owned_) {
        delete appender_;
    }
}

void TextFormatter::setAppender(Appender* appender, bool own)
{
    appender_ = appender;
    owned_ = own;
}

void TextFormatter::log(LogEvent&, const vnx_Struct_s*) {}

void TextFormatter::log(LogEvent&, size_t, const vnx_StructOutput_s* const*, const vnx_StructFormat_s* const*)
{
}

void TextFormatter::log(const LogEvent&, size_t, size_t, const void*, TestPoint_e) {}

} // namespace vnx::log
