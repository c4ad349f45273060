#include "device/closure.h"

#include <cstdlib>

closure* closureCreate(void* context, closureTarget target)
{
    auto* self = static_cast<closure*>(std::malloc(sizeof(closure)));
    if (self == nullptr) {
        return nullptr;
    }
    self->free = closureFree;
    self->context = context;
    self->invoke = closureInvoke;
    self->target = target;
    return self;
}

void* closureInvoke(closure* self, void* a, void* b)
{
    if (self == nullptr || self->target == nullptr) {
        return nullptr;
    }
    return self->target(self->context, a, b);
}

void closureFree(closure* self)
{
    std::free(self);
}
