#pragma once

// Test helper: a scratch directory for FIFOs, removed with everything in it.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vnx::testsupport {

class FifoDirectory
{
  public:
    FifoDirectory()
    {
        char pattern[] = "/tmp/kinemora-fifo-XXXXXX";
        if (const char* made = mkdtemp(pattern)) {
            path_ = made;
        }
    }
    ~FifoDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FifoDirectory(const FifoDirectory&) = delete;
    FifoDirectory& operator=(const FifoDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    /// A FIFO at `name` inside the directory: its full path.
    std::string fifo(const std::string& name) const
    {
        const std::string full = *this / name;
        mkfifo(full.c_str(), 0600);
        return full;
    }

  private:
    std::string path_;
};

} // namespace vnx::testsupport
