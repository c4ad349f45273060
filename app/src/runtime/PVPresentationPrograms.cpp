#include "runtime/PVPresentationPrograms.h"

#include "platform/X11InputLayer.h"
#include "runtime/ImpressBackend.h"
#include "runtime/PVPresentationBackend.h"

#include <memory>

void PVPresentationPrograms::install()
{
    PVPresentationBackends::setBackend(PVPresentationRole::PowerPoint,
                                       std::make_shared<ImpressBackend>(X11InputLayer::shared()));
}
