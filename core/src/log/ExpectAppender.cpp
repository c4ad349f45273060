#include "log/ExpectAppender.h"

#include "log/LogManager.h"

namespace vnx::log {

namespace {

// The site named by expected events built from a name, level and text; fixed
// so that every build names the same one.
constexpr const char* kSourceFile = "core/src/log/ExpectAppender.cpp";
constexpr int kExpectLine = 69;

} // namespace

void ExpectAppender::log(const LogEvent& event)
{
    if (mode_ == MODE_EXPECT) {
        expected_.push_back(event);
    } else if (mode_ == MODE_ACTUAL) {
        actual_.push_back(event);
    }
}

void ExpectAppender::logExpect(const LogEvent& event)
{
    expected_.push_back(event);
}

void ExpectAppender::logExpect(const char* loggerName, Priority_e level, const char* text)
{
    const Logger* logger = loggerName != nullptr ? LogManager::getInstance().get(loggerName) : nullptr;
    LogEvent event(kSourceFile, kExpectLine, level, logger);
    event.setText(text != nullptr ? text : "");
    logExpect(event);
}

bool ExpectAppender::compare()
{
    while (!actual_.empty() && !expected_.empty() && actual_.front().isSimilar(expected_.front())) {
        actual_.pop_front();
        expected_.pop_front();
    }
    const bool same = actual_.empty() && expected_.empty();
    actual_.clear();
    expected_.clear();
    return same;
}

} // namespace vnx::log
