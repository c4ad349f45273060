#include "log/BinaryFileAppender.h"

#include "log/BinaryFileRecords.h"
#include "log/LogEvent.h"
#include "log/LogManager.h"

namespace vnx::log {

BinaryFileAppender::BinaryFileAppender(const char* filename) : filename_(filename != nullptr ? filename : "")
{
}

BinaryFileAppender::~BinaryFileAppender()
{
    close();
}

void BinaryFileAppender::close()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void BinaryFileAppender::setFilename(const char* filename)
{
    close();
    filename_ = filename != nullptr ? filename : "";
}

std::string BinaryFileAppender::createFullFilename(const char* filename)
{
    return LogManager::getInstance().getFilenamePrefix() + (filename != nullptr ? filename : "") + ".dat";
}

bool BinaryFileAppender::open()
{
    if (file_ == nullptr) {
        file_ = std::fopen(createFullFilename(filename_.c_str()).c_str(), "wb");
        if (file_ == nullptr) {
            return false;
        }
        ++fileCount_;
        const BinaryFileHeader header;
        std::fwrite(&header, sizeof(header), 1, file_);
    }
    return true;
}

void BinaryFileAppender::log(const LogEvent& event)
{
    if (!open()) {
        return;
    }
    if (event.getBufferSize() != 0) {
        std::fwrite(event.getBuffer(), 1, event.getBufferSize(), file_);
    }
}

} // namespace vnx::log
