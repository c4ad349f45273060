#include "inputStore/InputJoin.h"

namespace vnx {

void InputJoin::clear()
{
    stores_.reset();
    slots_ = 0;
    outputs_.clear();
    outputs_.shrink_to_fit();
    formats_.clear();
    formats_.shrink_to_fit();
}

bool InputJoin::init(unsigned long slots)
{
    clear();
    stores_ = std::make_unique<InputStore[]>(slots);
    slots_ = slots;
    return true;
}

bool InputJoin::init(unsigned long slot, unsigned long n, const vnx_StructOutput_s** outputs,
                     const vnx_StructFormat_s** formats)
{
    return slot < slots_ && stores_[slot].init(n, outputs, formats);
}

bool InputJoin::init(unsigned long slot, unsigned long n, const unsigned char* typeIds)
{
    return slot < slots_ && stores_[slot].init(n, typeIds);
}

bool InputJoin::isValid(unsigned long slot, unsigned long n, const vnx_StructOutput_s** outputs,
                        const vnx_StructFormat_s** formats) const
{
    return slot < slots_ && stores_[slot].isValid(n, outputs, formats);
}

void InputJoin::store(unsigned long slot, unsigned long n, const vnx_StructOutput_s** outputs,
                      const vnx_StructFormat_s** formats)
{
    if (slot < slots_) {
        stores_[slot].store(n, outputs, formats);
    }
}

unsigned InputJoin::retrieve(unsigned long& n, const vnx_StructOutput_s**& outputs,
                             const vnx_StructFormat_s**& formats)
{
    unsigned long total = 0;
    for (unsigned long slot = 0; slot < slots_; ++slot) {
        unsigned long count = 0;
        const vnx_StructOutput_s** slotOutputs = nullptr;
        const vnx_StructFormat_s** slotFormats = nullptr;
        stores_[slot].peek(count, slotOutputs, slotFormats);
        total += count;
    }
    if (total != outputs_.size()) {
        outputs_.resize(total);
        formats_.resize(total);
    }

    unsigned stored = 0;
    unsigned long placed = 0;
    for (unsigned long slot = 0; slot < slots_; ++slot) {
        unsigned long count = 0;
        const vnx_StructOutput_s** slotOutputs = nullptr;
        const vnx_StructFormat_s** slotFormats = nullptr;
        stored += stores_[slot].retrieve(count, slotOutputs, slotFormats);
        for (unsigned long i = 0; i < count; ++i, ++placed) {
            outputs_[placed] = slotOutputs[i];
            formats_[placed] = slotFormats[i];
        }
    }
    n = placed;
    outputs = outputs_.data();
    formats = formats_.data();
    return stored;
}

} // namespace vnx
