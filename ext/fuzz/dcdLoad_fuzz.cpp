// Arbitrary DCD contents through a module host's load path into the init of
// a hosted SensorFusion module: half the inputs as the client's DCD in
// external mode (a size field above 260 must be refused there), half as the
// device's DCD file, whose size field nothing has checked before init (a
// file holds at most 260 bytes, whatever its size field says). The module is
// run once and its DCD read back, so a DCD init half took is used too. With
// bit 1 of the first byte the block is sealed for the device's SCD (its two
// CRC-32 words written where a DCD of its size field keeps them), so the
// fuzzer reaches the learned state behind the checks.

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/crc32.h"
#include "coreEntry/coreEntry.h"
#include "dcdStore/ZephraDcdManager.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "moduleManager/ModuleManager.h"
#include "support/ScdBuilder.h"
#include "support/stubDevice.h"

namespace {

using vnx::Fp32;
using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;
using vnx::testsupport::StubDevice;

constexpr uint8_t kSensorFusion = 3;

const scdGen4Float_s& presenterScd()
{
    static const scdGen4Float_s scd = ScdBuilder()
                                          .period(0.008)
                                          .accelMatrix(Fp32(19.6133f) * I)
                                          .accelNoise(33.4f, 33.4f, 33.4f)
                                          .gyroMatrix(Fp32(0.001f) * I)
                                          .gyroNoise(5.0f, 5.0f, 5.0f)
                                          .zroInitSigma(0.02f)
                                          .deviceKind(1)
                                          .build();
    return scd;
}

bool startOnce()
{
    char pattern[] = "/tmp/kinemora-dcd-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return false;
    }
    setenv("VNX_DCD_PATH", pattern, 1);
    static std::string directory = pattern;
    std::atexit([] { std::filesystem::remove_all(directory); });
    setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
    unsetenv("VNX_LOG_RAWINPUT");
    unsetenv("VNX_LOG_OUTPUT");
    vnx_core_initialize();
    return true;
}

// Writes the bytes as the device's DCD file, unchecked.
void writeDcdFile(const StubDevice& device, const uint8_t* bytes, size_t size)
{
    vnx_DomainGuid_s guid;
    char path[vnx::ZephraDcdManager::kPathSize];
    if (device.getGuid(&guid) != 0 || !vnx::ZephraDcdManager::createPath(guid, path)) {
        __builtin_trap();
    }
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        __builtin_trap();
    }
    std::fwrite(bytes, 1, size, file);
    std::fclose(file);
}

// Writes the SCD's CRC-32 and the block's own CRC-32 into the last eight
// bytes its size field gives it.
void seal(vnx_dcdMemory_s& dcd)
{
    const size_t size = dcd.head.size;
    if (size < 8 || size > sizeof dcd) {
        return;
    }
    const uint32_t scdCrc = crc32_process(&presenterScd(), sizeof(scdGen4Float_s));
    std::memcpy(dcd.bytes + size - 8, &scdCrc, sizeof scdCrc);
    const uint32_t crc = crc32_process(dcd.bytes, size - 4);
    std::memcpy(dcd.bytes + size - 4, &crc, sizeof crc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = startOnce();
    if (!started || size < 1) {
        return 0;
    }
    const bool external = (data[0] & 1) != 0;
    // At most 260 bytes are the block's own, its size field says what it likes.
    vnx_dcdMemory_s dcd;
    std::memset(&dcd, 0, sizeof dcd);
    const size_t blockSize = size - 1 < sizeof dcd ? size - 1 : sizeof dcd;
    std::memcpy(dcd.bytes, data + 1, blockSize);
    if ((data[0] & 2) != 0) {
        seal(dcd);
    }

    StubDevice device;
    device.keepBatches = false;
    vnx::ModuleManager host;
    host.setDevice(&device);
    host.setScd(&presenterScd().head);
    if (external) {
        host.setDcdIsExternal(true);
        const int answer = host.setDcd(&dcd.head);
        if ((dcd.head.size > kVnxDcdMemorySize) != (answer == VNX_STATUS_INVALID_PARAMETER)) {
            __builtin_trap();
        }
    } else {
        writeDcdFile(device, dcd.bytes, blockSize);
    }

    vnx_Device_Config_s config;
    vnx_Device_initConfig(&config);
    config.typeId = kSensorFusion;
    host.setConfig(&config.config);
    vnx_DeviceSupport6AG_Output_s sensors;
    vnx_DeviceSupport6AG_initOutput(&sensors);
    sensors.accelerometer[2] = 16384; // 1 g
    vnx_StructFormat_s format;
    vnx_DeviceSupport6AG_initFormat(&format);
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_initOutput(&buttons);
    buttons.activity = 0;
    const vnx_StructOutput_s* outputs[] = {&sensors.output, &buttons.output};
    const vnx_StructFormat_s* formats[] = {&format, nullptr};
    for (int32_t sample = 0; sample < 3; ++sample) {
        sensors.sampleNumber = sample;
        host.process(2, outputs, formats);
        host.process();
    }
    // Read back into the client's buffer: the file store syncs every save
    // to disk, far too slow for a fuzzer (the host saves again at its end).
    host.setDcdIsExternal(true);
    host.saveDcd();
    return 0;
}
