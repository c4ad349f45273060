// Arbitrary record sequences into the batch deserializer and into an input
// store: whatever the head records announce, nothing is read or written out
// of bounds and no allocation follows a lying count.

#include <cstddef>
#include <cstdint>

#include "base/StructDeserializer.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "inputStore/InputStore.h"
#include "recordStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        vnx_ButtonActivity_moduleFactoryRegister();
        vnx_DeviceSupport_moduleFactoryRegister();
        vnx_DeviceSupport6AG_moduleFactoryRegister();
        vnx_SerializationModule_moduleFactoryRegister();
        return true;
    }();
    (void)registered;

    const auto records = vnx::fuzz::recordsOf(data, size);
    vnx::StructDeserializer deserializer;
    vnx::InputStore store;
    for (const auto& record : records) {
        if (deserializer.handle(record.get()) == 0) {
            size_t n = 0;
            const vnx_StructOutput_s** outputs = nullptr;
            const vnx_StructFormat_s** formats = nullptr;
            if (deserializer.retrieve(n, outputs, formats) == 0) {
                for (size_t i = 0; i < n; ++i) {
                    if (outputs[i] != nullptr && outputs[i]->header.size < sizeof(vnx_Struct_s)) {
                        __builtin_trap();
                    }
                }
            }
        }
        store.structDeserialize(record.get());
    }
    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    store.retrieve(n, outputs, formats);
    return 0;
}
