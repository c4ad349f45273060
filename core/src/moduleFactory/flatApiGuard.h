#pragma once

// The boundary of every exported function: no exception may leave the
// library, so a call that throws is answered with a status code or null.

#include <new>

#include "common/statusCode.h"

namespace vnx {

/// `call`'s status code; -21 when memory ran out, -10 for any other exception.
template <class Call> int guardStatus(Call&& call) noexcept
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return VNX_STATUS_OUT_OF_MEMORY;
    } catch (...) {
        return VNX_STATUS_INTERNAL_ERROR;
    }
}

/// `call`'s result; `failure` when it throws.
template <class Result, class Call> Result guardValue(Result failure, Call&& call) noexcept
{
    try {
        return call();
    } catch (...) {
        return failure;
    }
}

} // namespace vnx
