#include "support/RecordingPresentationBackend.h"

#include <thread>

void RecordingPresentationBackend::setAnswer(PVPresentationOperation operation, PVBackendAnswer answer)
{
    answers_[operation] = std::move(answer);
}

void RecordingPresentationBackend::setDelay(PVPresentationOperation operation,
                                            std::chrono::milliseconds delay)
{
    delays_[operation] = delay;
}

PVBackendAnswer RecordingPresentationBackend::answer(PVPresentationOperation operation)
{
    calls_.push_back(operation);
    const auto delay = delays_.find(operation);
    if (delay != delays_.end()) {
        std::this_thread::sleep_for(delay->second);
    }
    const auto scripted = answers_.find(operation);
    return scripted != answers_.end() ? scripted->second
                                      : PVBackendAnswer::none(QStringLiteral("not scripted"));
}
