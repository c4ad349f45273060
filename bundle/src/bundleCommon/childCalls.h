#pragma once

// How a bundle calls the modules it created: a child the factory could not
// create (its library not started, or started out of order) answers -14
// (NOT_ACTIVE) wherever it would have been called, routing included, so a
// bundle with a missing child reports it instead of crashing.

#include <span>

#include "common/statusCode.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx::bundle {

/// `call(*child)`, or -14 for an absent child.
template <class Call> int callChild(ModuleInterface* child, Call&& call)
{
    return child != nullptr ? call(*child) : VNX_STATUS_NOT_ACTIVE;
}

/// The result of a call chained through several children: the first negative
/// result ends the chain, otherwise the last non-zero result stands (0 when
/// every child answered 0).
class ChainResult
{
  public:
    /// Takes one child's result; false when the chain must stop (negative).
    bool add(int result)
    {
        if (result != VNX_STATUS_SUCCESS) {
            result_ = result;
        }
        return result >= 0;
    }
    int result() const { return result_; }

  private:
    int result_ = VNX_STATUS_SUCCESS;
};

/// Offers a Config or Command to the children in order while they answer -3
/// (NOT_FOR_ME): the first other answer, else the last -3.
template <class Call> int routeWhileNotForMe(std::span<ModuleInterface* const> children, Call&& call)
{
    int result = VNX_STATUS_NOT_FOR_ME;
    for (ModuleInterface* child : children) {
        result = callChild(child, call);
        if (result != VNX_STATUS_NOT_FOR_ME) {
            return result;
        }
    }
    return result;
}

} // namespace vnx::bundle
