#include "support/StdoutCapture.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    char name[] = "/tmp/pelvaro-stdout-XXXXXX";
    file_ = ::mkstemp(name);
    ::unlink(name);
    savedStdout_ = ::dup(STDOUT_FILENO);
    ::dup2(file_, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    std::fflush(stdout);
    ::dup2(savedStdout_, STDOUT_FILENO);
    ::close(savedStdout_);
    ::close(file_);
}

std::string StdoutCapture::text() const
{
    std::fflush(stdout);
    std::string text;
    char chunk[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(file_, chunk, sizeof chunk, offset);
        if (got <= 0) {
            return text;
        }
        text.append(chunk, static_cast<size_t>(got));
        offset += got;
    }
}
