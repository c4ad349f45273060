// Arbitrary report sequences into a link device that a scripted bring-up has
// brought to ASLEEP (identity, a valid SCD from its flash, motion on), so
// that the fuzzed reports reach motion decoding, flash-record answers,
// data-mode answers and the reassembly of DceOutput values and DceOutV4
// pairs. The input is a list of reports, each a length byte and that many
// bytes; a length byte of 255 runs the device's process pass instead, and
// one of 254 moves the engine clock on by the next byte in 8 ms steps.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/timeSource.h"
#include "coreEntry/coreEntry.h"
#include "extCommon/extStatusCode.h"
#include "extEntry/extEntry.h"
#include "support/ScdBuilder.h"
#include "support/linkReports.h"
#include "tlinkDevice/TlinkCoordinator.h"
#include "tlinkDevice/TlinkDevice.h"

namespace {

namespace reports = vnx::testsupport::linkReports;

uint64_t clockNs = 1'000'000'000'000ull;
uint64_t readClock()
{
    return clockNs;
}

/// Takes every report the device sends and checks it fits a report.
class SinkReceiver : public vnx::DeviceIOReceiver
{
  public:
    int deviceIoReceive(vnx::DeviceIOInterface*, const void* bytes, size_t length) override
    {
        if (bytes == nullptr || length == 0 || length > ZEPHRA_MAX_REPORT_LENGTH) {
            std::abort();
        }
        ++count;
        return 0;
    }
    size_t count = 0;
};

const std::vector<std::vector<uint8_t>>& bringUpReports()
{
    static const std::vector<std::vector<uint8_t>> made = [] {
        const scdGen4Float_s scd =
            vnx::testsupport::ScdBuilder().period(0.008).accelNoise(6, 6, 8).gyroNoise(2.5f, 2.5f, 3).build();
        std::vector<uint32_t> words(sizeof scd / 4);
        std::memcpy(words.data(), &scd, words.size() * 4);
        std::vector<std::vector<uint8_t>> all{reports::productId(2, 0x1234, 0x5678)};
        for (const auto& report : reports::frsRecord(words)) {
            all.push_back(report);
        }
        return all;
    }();
    return made;
}

bool startOnce()
{
    vnx_time_source(&readClock);
    vnx_core_initialize();
    vnx_ext_initialize();
    return true;
}

int send(vnx::TlinkDevice& device, uint32_t code, uint32_t parameter)
{
    vnx_TlinkDevice_Command_s command;
    vnx_TlinkDevice_initCommand(&command);
    command.code = code;
    command.argument.parameter = parameter;
    return device.sendCommand(&command.command);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = startOnce();
    (void)started;

    vnx::TlinkCoordinator domain;
    vnx_TlinkDevice_Config_s config;
    vnx_TlinkDevice_initConfig(&config);
    auto* device = static_cast<vnx::TlinkDevice*>(domain.createDevice(&config));
    if (device == nullptr) {
        std::abort();
    }
    SinkReceiver receiver;
    device->deviceIoRegisterReceiver(&receiver);
    device->open();
    send(*device, vnx::TlinkDevice::COMMAND_START, 0);
    for (const auto& report : bringUpReports()) {
        device->deviceIoSend(report.data(), report.size());
    }
    send(*device, vnx::TlinkDevice::COMMAND_SET_DATA_MODE, 1);
    if (device->getState() != vnx::TlinkDeviceFsm::ASLEEP) {
        std::abort(); // the scripted bring-up must reach motion
    }

    size_t at = 0;
    while (at < size) {
        const uint8_t length = data[at++];
        if (length == 255) {
            device->process();
            continue;
        }
        if (length == 254) {
            const uint8_t steps = at < size ? data[at++] : 1;
            clockNs += static_cast<uint64_t>(steps) * 8'000'000ull;
            continue;
        }
        const size_t take = length < size - at ? length : size - at;
        // A copy of exactly the report's bytes, so that a read past its end
        // is seen by the sanitizer.
        std::vector<uint8_t> report(data + at, data + at + take);
        const int result = device->deviceIoSend(report.data(), report.size());
        if (result != 0 && result != VNX_STATUS_WARNING_IO_UNRECOGNIZED_MSG) {
            std::abort();
        }
        at += take;
    }
    device->close();
    return 0;
}
