#include "log/Logger.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "common/NodeManager.h"
#include "common/properties.h"
#include "log/Formatter.h"
#include "log/LogEvent.h"

namespace vnx::log {

namespace {

constexpr size_t kFormatBufferSize = 8192;

} // namespace

struct Logger::Impl
{
    struct Attached
    {
        Formatter* formatter;
        bool owned;
    };

    std::string blockName;
    std::string fullName;
    std::string localName;
    std::vector<Attached> formatters;

    template <class Call> void forEachFormatter(Call call) const
    {
        // By position: a formatter may attach or detach others while it logs.
        for (size_t i = 0; i < formatters.size(); ++i) {
            call(*formatters[i].formatter);
        }
    }
};

Logger::Logger(const char* blockName, const char* localName, Priority_e level, Type_e type)
    : impl_(new Impl{blockName != nullptr ? blockName : "",
                     localName != nullptr ? localName : "",
                     localName != nullptr ? localName : "",
                     {}}),
      level_(level), type_(type)
{
    const std::string blockProperty = "LOG_LEVEL_" + impl_->blockName;
    applyLevelProperty("LOG_GLOBAL_LEVEL");
    applyLevelProperty(blockProperty.c_str());
    applyLevelProperty((blockProperty + "_" + impl_->localName).c_str());
}

Logger::~Logger()
{
    for (const Impl::Attached& entry : impl_->formatters) {
        if (entry.owned) {
            delete entry.formatter;
        }
    }
    delete impl_;
}

void Logger::applyLevelProperty(const char* propertyName)
{
    priority_fromString(vnx_properties_getAsString(propertyName, ""), level_);
}

void Logger::log(const char* file, int line, Priority_e level, const char* text) const
{
    if (!isEnabled(level)) {
        return;
    }
    LogEvent event(file, line, level, this);
    impl_->forEachFormatter([&](Formatter& formatter) { formatter.log(event, text != nullptr ? text : ""); });
}

void Logger::logf(const char* file, int line, Priority_e level, const char* format, ...) const
{
    if (!isEnabled(level) || impl_->formatters.empty()) {
        return;
    }
    char text[kFormatBufferSize];
    text[0] = '\0';
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        const int written = std::vsnprintf(text, sizeof(text), format, args);
        va_end(args);
        if (written < 0) {
            text[0] = '\0';
        }
    }
    log(file, line, level, text);
}

void Logger::log(const char* file, int line, Priority_e level, const vnx_Struct_s* record) const
{
    if (!isEnabled(level)) {
        return;
    }
    LogEvent event(file, line, level, this);
    impl_->forEachFormatter([&](Formatter& formatter) { formatter.log(event, record); });
}

void Logger::log(const char* file, int line, Priority_e level, size_t count,
                 const vnx_StructOutput_s* const* outputs, const vnx_StructFormat_s* const* formats) const
{
    if (!isEnabled(level)) {
        return;
    }
    LogEvent event(file, line, level, this);
    impl_->forEachFormatter([&](Formatter& formatter) { formatter.log(event, count, outputs, formats); });
}

void Logger::log(const LogEvent& event, size_t countA, size_t countB, const void* data,
                 TestPoint_e testPoint) const
{
    impl_->forEachFormatter(
        [&](Formatter& formatter) { formatter.log(event, countA, countB, data, testPoint); });
}

bool Logger::addFormatter(Formatter* formatter, bool owned)
{
    if (formatter == nullptr) {
        return false;
    }
    for (Impl::Attached& entry : impl_->formatters) {
        if (entry.formatter == formatter) {
            entry.owned = entry.owned || owned;
            return false;
        }
    }
    impl_->formatters.push_back({formatter, owned});
    return true;
}

bool Logger::removeFormatter(Formatter* formatter)
{
    auto& formatters = impl_->formatters;
    for (auto it = formatters.begin(); it != formatters.end(); ++it) {
        if (it->formatter == formatter) {
            const bool owned = it->owned;
            formatters.erase(it);
            if (owned) {
                delete formatter;
            }
            return true;
        }
    }
    return false;
}

Formatter* Logger::getFormatter(size_t index) const
{
    return index < impl_->formatters.size() ? impl_->formatters[index].formatter : nullptr;
}

const char* Logger::getBlockName() const
{
    return impl_->blockName.c_str();
}

const char* Logger::getLocalName() const
{
    return impl_->localName.c_str();
}

const char* Logger::getName() const
{
    return impl_->fullName.c_str();
}

void Logger::setName(const char* name)
{
    impl_->fullName = name != nullptr ? name : "";
}

uint32_t Logger::getSequenceNumber() const
{
    // Looked up on every call rather than cached: the node (and its source)
    // may leave the tree at any time, and a cached pointer would dangle.
    const NodeInterface* node = NodeManager::getInstance().getNode(static_cast<const void*>(this));
    if (node == nullptr) {
        return 0;
    }
    return node->getSequenceNumberSource()->getSequenceNumber();
}

} // namespace vnx::log
