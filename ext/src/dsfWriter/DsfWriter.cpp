#include "dsfWriter/DsfWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "dsfWriter/DsfWriterImpl.h"
#include "dsfWriter/dsfVocabulary.h"

namespace vnx {

namespace {

// Longest part of a text property value that is written.
constexpr unsigned long kMaxTextLength = 256;

// A text value escaped whole: every character may double.
struct EscapedText
{
    explicit EscapedText(const char* text)
    {
        expand_escapes(text != nullptr ? text : "", chars, kMaxTextLength);
    }
    char chars[2 * kMaxTextLength + 1];
};

} // namespace

DsfWriter::DsfWriter() : impl_(std::make_unique<DsfWriterImpl>()) {}

DsfWriter::~DsfWriter() = default;

int DsfWriter::open(const char* path, size_t bufferSize)
{
    if (impl_->isOpen()) {
        return -1;
    }
    if (path == nullptr) {
        return -2;
    }
    if (std::strcmp(path, "stdout") == 0) {
        impl_->attach(stdout, bufferSize);
        return 0;
    }
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) {
        return -2;
    }
    impl_->attach(file, bufferSize);
    return 0;
}

int DsfWriter::openNew(const char* path, size_t bufferSize)
{
    if (impl_->isOpen()) {
        return -1;
    }
    if (path == nullptr) {
        return -2;
    }
    // O_EXCL never follows a link and never reuses a file another writer
    // has just made.
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno == EEXIST ? -3 : -2;
    }
    std::FILE* file = fdopen(fd, "w");
    if (file == nullptr) {
        ::close(fd);
        ::unlink(path);
        return -2;
    }
    impl_->attach(file, bufferSize);
    return 0;
}

void DsfWriter::close()
{
    impl_->close();
}

bool DsfWriter::isOpen() const
{
    return impl_->isOpen();
}

int DsfWriter::addChannel(ColumnType_e type, Units_e unit, bool withSampleId)
{
    const int channel = static_cast<int>(++impl_->channelCount);
    impl_->printf(withSampleId ? "+%d TIME{s},SAMPLE_ID{samples},%s[%s]{%s}\n" : "+%d TIME{s},%s[%s]{%s}\n",
                  channel, dsf::columnName(type), dsf::columnDims(type), dsf::unitName(unit));
    return channel;
}

DsfWriter& DsfWriter::addMultiColumnChannel(int* channel)
{
    int number = -1;
    if (impl_->column < 0) {
        number = static_cast<int>(++impl_->channelCount);
        impl_->printf("+%d ", number);
        impl_->column = 0;
    }
    if (channel != nullptr) {
        *channel = number;
    }
    return *this;
}

DsfWriter& DsfWriter::addColumn(ColumnType_e type, Units_e unit, int* column)
{
    int position = -1;
    if (impl_->column >= 0) {
        impl_->printf("%s%s[%s]{%s}", impl_->column > 0 ? ", " : "", dsf::columnName(type),
                      dsf::columnDims(type), dsf::unitName(unit));
        position = ++impl_->column;
    }
    if (column != nullptr) {
        *column = position;
    }
    return *this;
}

void DsfWriter::addMultiColumnChannelEnd()
{
    reportMultiColumnEnd();
}

void DsfWriter::setProperty(const char* name, const char* text)
{
    const EscapedText escaped(text);
    impl_->printf("! %s=\"%s\"\n", name, escaped.chars);
}

void DsfWriter::setProperty(const char* name, double value)
{
    impl_->printf("! %s=%f\n", name, value);
}

void DsfWriter::setProperty(const char* name, int value)
{
    impl_->printf("! %s=%d\n", name, value);
}

void DsfWriter::setProperty(const char* name, const unsigned char* bytes, unsigned long count)
{
    impl_->printf("! %s=", name);
    impl_->printBytes(bytes, count);
    impl_->printf("\n");
}

void DsfWriter::setChannelProperty(int channel, const char* name, const char* text)
{
    if (channel < 0) {
        return;
    }
    const EscapedText escaped(text);
    impl_->printf("!%d %s=\"%s\"\n", channel, name, escaped.chars);
}

void DsfWriter::setChannelProperty(int channel, const char* name, double value)
{
    if (channel >= 0) {
        impl_->printf("!%d %s=%f\n", channel, name, value);
    }
}

void DsfWriter::setChannelProperty(int channel, const char* name, const unsigned char* bytes,
                                   unsigned long count)
{
    if (channel < 0) {
        return;
    }
    impl_->printf("!%d %s=", channel, name);
    impl_->printBytes(bytes, count);
    impl_->printf("\n");
}

void DsfWriter::reportChannel(int channel, double time, int a, int b, int c, bool withSampleId, int sampleId)
{
    if (withSampleId) {
        impl_->printf(".%d %f, %d,%d,%d,%d\n", channel, time, sampleId, a, b, c);
    } else {
        impl_->printf(".%d %f, %d,%d,%d\n", channel, time, a, b, c);
    }
}

void DsfWriter::reportChannel(int channel, double time, double a, double b, double c, bool withSampleId,
                              int sampleId)
{
    if (withSampleId) {
        impl_->printf(".%d %f, %d,%f,%f,%f\n", channel, time, sampleId, a, b, c);
    } else {
        impl_->printf(".%d %f, %f,%f,%f\n", channel, time, a, b, c);
    }
}

void DsfWriter::reportChannel(int channel, double time, int value, bool withSampleId, int sampleId)
{
    if (withSampleId) {
        impl_->printf(".%d %f, %d, %d\n", channel, time, sampleId, value);
    } else {
        impl_->printf(".%d %f, %d\n", channel, time, value);
    }
}

void DsfWriter::reportChannel(int channel, double time, double value, bool withSampleId, int sampleId)
{
    if (withSampleId) {
        impl_->printf(".%d %f, %d, %f\n", channel, time, sampleId, value);
    } else {
        impl_->printf(".%d %f, %f\n", channel, time, value);
    }
}

namespace {

// "$N time, name(" or "$ time, name(" on channel 0.
void eventStart(DsfWriterImpl& impl, int channel, double time, const char* name)
{
    if (channel == 0) {
        impl.printf("$ %f, %s(", time, name);
    } else {
        impl.printf("$%d %f, %s(", channel, time, name);
    }
}

} // namespace

void DsfWriter::reportEvent(int channel, double time, const char* name, double a, double b)
{
    eventStart(*impl_, channel, time, name);
    impl_->printf("%f, %f)\n", a, b);
}

void DsfWriter::reportEvent(int channel, double time, const char* name, const unsigned char* bytes,
                            unsigned long count)
{
    eventStart(*impl_, channel, time, name);
    impl_->printBytes(bytes, count);
    impl_->printf(")\n");
}

void DsfWriter::reportMultiColumnBegin(int channel)
{
    impl_->printf(".%d ", channel);
    impl_->column = 0;
}

void DsfWriter::nextColumn(double value)
{
    if (impl_->column >= 0) {
        impl_->printf(impl_->column++ > 0 ? ", %f" : "%f", value);
    }
}

void DsfWriter::nextColumn(unsigned value)
{
    if (impl_->column >= 0) {
        impl_->printf(impl_->column++ > 0 ? ", %u" : "%u", value);
    }
}

void DsfWriter::nextColumn(int value)
{
    if (impl_->column >= 0) {
        impl_->printf(impl_->column++ > 0 ? ", %d" : "%d", value);
    }
}

void DsfWriter::nextColumn(int a, int b)
{
    if (impl_->column >= 0) {
        impl_->printf(impl_->column++ > 0 ? ", %d,%d" : "%d,%d", a, b);
    }
}

void DsfWriter::nextColumn(int a, int b, int c)
{
    if (impl_->column >= 0) {
        impl_->printf(impl_->column++ > 0 ? ", %d,%d,%d" : "%d,%d,%d", a, b, c);
    }
}

void DsfWriter::nextColumn(double a, double b, double c)
{
    if (impl_->column >= 0) {
        impl_->printf(impl_->column++ > 0 ? ", %f,%f,%f" : "%f,%f,%f", a, b, c);
    }
}

void DsfWriter::nextColumn(double a, double b, double c, double d)
{
    if (impl_->column >= 0) {
        impl_->printf(impl_->column++ > 0 ? ", %f,%f,%f,%f" : "%f,%f,%f,%f", a, b, c, d);
    }
}

void DsfWriter::reportMultiColumnEnd()
{
    if (impl_->column >= 0) {
        impl_->printf("\n");
        impl_->column = -1;
    }
}

void DsfWriter::addComment(const char* text)
{
    impl_->printf("# %s\n", text != nullptr ? text : "");
}

void expand_escapes(const char* source, char* destination, unsigned long count)
{
    if (destination == nullptr) {
        return;
    }
    char* out = destination;
    for (unsigned long i = 0; source != nullptr && i < count && source[i] != '\0'; ++i) {
        const char c = source[i];
        char letter = 0;
        switch (c) {
        case '\a':
            letter = 'a';
            break;
        case '\b':
            letter = 'b';
            break;
        case '\t':
            letter = 't';
            break;
        case '\n':
            letter = 'n';
            break;
        case '\v':
            letter = 'v';
            break;
        case '\f':
            letter = 'f';
            break;
        case '\r':
            letter = 'r';
            break;
        case '"':
            letter = '"';
            break;
        case '\\':
            letter = '\\';
            break;
        default:
            break;
        }
        if (letter != 0) {
            *out++ = '\\';
            *out++ = letter;
        } else {
            *out++ = c;
        }
    }
    *out = '\0';
}

} // namespace vnx
