#include "moduleManager/InputMatch.h"

#include <algorithm>

#include "common/statusCode.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

int InputMatch::find(const ModuleInterface& module, size_t n, const vnx_StructOutput_s* const* outputs,
                     size_t& count)
{
    if (known_ && sameKey(n, outputs)) {
        count = count_;
        return interface_;
    }
    interface_ = search(module, n, outputs, count_);
    count = count_;
    known_ = n <= kMaxKey;
    if (known_) {
        keyLength_ = n;
        for (size_t i = 0; i < n; ++i) {
            key_[i] = outputs[i]->header.type;
        }
    }
    return interface_;
}

bool InputMatch::sameKey(size_t n, const vnx_StructOutput_s* const* outputs) const
{
    if (n != keyLength_) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (outputs[i]->header.type != key_[i]) {
            return false;
        }
    }
    return true;
}

int InputMatch::search(const ModuleInterface& module, size_t n, const vnx_StructOutput_s* const* outputs,
                       size_t& count)
{
    const int interfaces = module.getInputInterfaceCount();
    for (int k = 0; k < interfaces; ++k) {
        uint8_t types[kMaxInterfaceTypes];
        size_t m = 0;
        if (module.getInputInterface(k, kMaxInterfaceTypes, types, m) != VNX_STATUS_SUCCESS || m > n ||
            m > kMaxInterfaceTypes) {
            continue;
        }
        if (std::equal(types, types + m, outputs, [](uint8_t type, const vnx_StructOutput_s* output) {
                return output->header.type == type;
            })) {
            count = m;
            return k;
        }
    }
    count = 0;
    return -1;
}

} // namespace vnx
