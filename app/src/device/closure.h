#pragma once

// A function paired with a context: invoking the closure calls
// target(context, a, b).

struct closure;

using closureTarget = void* (*)(void* context, void* a, void* b);

struct closure
{
    void (*free)(closure* self);
    void* context;
    void* (*invoke)(closure* self, void* a, void* b);
    closureTarget target;
};

/// A new closure, or null when it cannot be allocated. Free it with closureFree.
closure* closureCreate(void* context, closureTarget target);
void* closureInvoke(closure* self, void* a, void* b);
/// Frees the closure; does nothing for null.
void closureFree(closure* self);
