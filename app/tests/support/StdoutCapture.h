#pragma once

// Catches what the process writes to standard output (file descriptor 1)
// while the object lives, so a test can read the lines a user would see.

#include <string>

class StdoutCapture
{
  public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    /// Everything written so far.
    std::string text() const;

  private:
    int savedStdout_ = -1;
    int file_ = -1;
};
