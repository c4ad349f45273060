#pragma once

// How a bundle calls the modules it created: a child the factory could not
// create (its library not started, or started out of order) answers -14
// (NOT_ACTIVE) wherever it would have been called, routing included, so a
// bundle with a missing child reports it instead of crashing.

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/statusCode.h"
#include "moduleFactory/ModuleFactory.h"
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

/// Creates one child per type id, in order, with `parent` as its node's
/// parent; a type without a factory leaves its child absent (null).
inline void createChildren(void* parent, std::span<const uint8_t> types, std::span<ModuleInterface*> children)
{
    for (size_t i = 0; i < types.size() && i < children.size(); ++i) {
        children[i] = ModuleFactory::createModule(parent, types[i]);
    }
}

/// Destroys the children through their factories, in order, and clears them.
inline void destroyChildren(std::span<ModuleInterface*> children)
{
    for (ModuleInterface*& child : children) {
        ModuleFactory::destroyModule(child);
        child = nullptr;
    }
}

/// Calls every child in order by the chain rule: the first negative result
/// stops it, otherwise the last non-zero result stands.
template <class Call> int chainAll(std::span<ModuleInterface* const> children, Call&& call)
{
    ChainResult chain;
    for (ModuleInterface* child : children) {
        if (!chain.add(callChild(child, call))) {
            break;
        }
    }
    return chain.result();
}

/// One child's process as a step of a chained sample; false when the sample
/// must stop there.
inline bool processStep(ChainResult& chain, ModuleInterface* child, int inputInterface, size_t inputCount,
                        const vnx_StructOutput_s** inputs, const vnx_StructFormat_s** inputFormats,
                        int outputInterface, size_t outputCount, vnx_StructOutput_s** outputs,
                        vnx_StructFormat_s** outputFormats)
{
    return chain.add(callChild(child, [&](ModuleInterface& m) {
        return m.process(inputInterface, inputCount, inputs, inputFormats, outputInterface, outputCount, outputs,
                         outputFormats);
    }));
}

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
