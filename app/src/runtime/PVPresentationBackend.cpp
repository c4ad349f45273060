#include "runtime/PVPresentationBackend.h"

PVBackendAnswer PVPresentationBackend::perform(PVPresentationOperation operation)
{
    switch (operation) {
    case PVPresentationOperation::Installed:
        return installed();
    case PVPresentationOperation::Open:
        return open();
    case PVPresentationOperation::Playing:
        return playing();
    case PVPresentationOperation::Frontmost:
        return frontmost();
    case PVPresentationOperation::Version:
        return version();
    case PVPresentationOperation::Play:
        return play();
    case PVPresentationOperation::Stop:
        return stop();
    case PVPresentationOperation::Black:
        return black();
    case PVPresentationOperation::Pen:
        return pen();
    case PVPresentationOperation::AutomaticPointer:
        return automaticPointer();
    case PVPresentationOperation::WindowBounds:
        return windowBounds();
    }
    return PVBackendAnswer::none(QStringLiteral("unknown operation"));
}

namespace PVPresentationBackends {

namespace {

std::shared_ptr<PVPresentationBackend> notInstalled(PVPresentationRole role)
{
    // No Linux build of the first program exists; the second is served by
    // whichever backend start-up sets.
    return std::make_shared<PVNotInstalledBackend>(
        role == PVPresentationRole::Keynote ? QStringLiteral("Keynote is not available on this system")
                                            : QStringLiteral("No presentation program is available"));
}

std::shared_ptr<PVPresentationBackend>& slot(PVPresentationRole role)
{
    static std::shared_ptr<PVPresentationBackend> first = notInstalled(PVPresentationRole::Keynote);
    static std::shared_ptr<PVPresentationBackend> second = notInstalled(PVPresentationRole::PowerPoint);
    return role == PVPresentationRole::Keynote ? first : second;
}

} // namespace

std::shared_ptr<PVPresentationBackend> backend(PVPresentationRole role)
{
    return slot(role);
}

std::shared_ptr<PVPresentationBackend> setBackend(PVPresentationRole role,
                                                  std::shared_ptr<PVPresentationBackend> backend)
{
    std::shared_ptr<PVPresentationBackend> previous = slot(role);
    slot(role) = backend ? std::move(backend) : notInstalled(role);
    return previous;
}

} // namespace PVPresentationBackends
