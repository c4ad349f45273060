#include "dsfWriter/DsfWriterImpl.h"

#include <cstdarg>

namespace vnx {

DsfWriterImpl::~DsfWriterImpl()
{
    close();
}

void DsfWriterImpl::attach(std::FILE* file, size_t bufferSize)
{
    file_ = file;
    channelCount = 0;
    column = -1;
    // Standard output keeps its own buffer: it outlives this writer, and a
    // buffer freed at close would stay installed in it.
    if (bufferSize != 0 && file != stdout) {
        buffer_ = std::make_unique<char[]>(bufferSize);
        std::setvbuf(file_, buffer_.get(), _IOFBF, bufferSize);
    }
}

void DsfWriterImpl::close()
{
    if (file_ == nullptr) {
        return;
    }
    // Closing standard output would silence every later line of the
    // process, the application's own log included.
    if (file_ == stdout) {
        std::fflush(file_);
    } else {
        std::fclose(file_);
    }
    file_ = nullptr;
    buffer_.reset();
    column = -1;
}

void DsfWriterImpl::printf(const char* format, ...)
{
    if (file_ == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file_, format, arguments);
    va_end(arguments);
}

void DsfWriterImpl::printBytes(const unsigned char* bytes, unsigned long count)
{
    if (bytes == nullptr) {
        printf("\"\"");
        return;
    }
    printf("\"%02x", bytes[0]);
    for (unsigned long i = 1; i < count; ++i) {
        printf(",%02x", bytes[i]);
    }
    printf("\"");
}

} // namespace vnx
