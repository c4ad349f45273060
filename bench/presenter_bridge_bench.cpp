// One motion packet of the simulated presenter through the application's
// bridge and the engine to the presenter event: dispatchPacket builds the
// records, vnx_Device_sendInput and vnx_Domain_process run the desktop chain
// on the presenter's ManualDevice, and the output callback turns the cursor
// position into (dx, dy) for the event callback. The stream is ten minutes of
// hand-held motion whose sample counter passes 0x7FFF -> 0x8000. Reported:
// mean and p99 ns per packet, and heap allocations per packet.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "benchRoad.h"
#include "engineLibraries.h"
#include "device/hidCallback.h"
#include "device/hidPacket.h"
#include "sensor/motionBridge.h"
#include "simulation/PresenterScenario.h"

#include "extCommon/extModuleType.h"

namespace {

using vnx::bench::startLibraries;

constexpr uint8_t kDeviceNumber = 0x5B;

/// The simulated stream as the reader queues it: the identity, then every
/// motion packet.
struct Stream
{
    Stream()
    {
        PresenterScenario scenario({.deviceNumber = kDeviceNumber,
                                    .firstCounter = static_cast<uint16_t>(0x8000 - 37'500), // both wraps, mid-stream
                                    .motion = {.seed = 7,
                                               .gyroOffset = {0.01, -0.02, 0.015},
                                               .accNoise = 0.02,
                                               .gyroNoise = 0.002}});
        scenario.identity();
        for (int minute = 0; minute < 10; ++minute) {
            scenario.still(5.0).turn({1, 0, 0}, 0.5, 1.0).turn({0, 1, 0}, -0.7, 1.0).turn({0, 0, 1}, 1.0, 2.0);
            for (double t = 0.0; t < 51.0; t += 0.1) {
                const vnx::testsupport::Vec3d rate{0.4 * std::sin(0.9 * t), 0.3 * std::sin(0.6 * t + 1.0),
                                                   0.5 * std::cos(0.35 * t)};
                scenario.turn(rate, std::hypot(rate[0], rate[1], rate[2]), 0.1);
            }
        }
        packets.reserve(static_cast<size_t>(scenario.reportCount()));
        while (auto timed = scenario.next()) {
            hidPacket packet{};
            hidPacketFill(packet, timed->report.data(), timed->report.size());
            packets.push_back(packet);
        }
    }
    std::vector<hidPacket> packets;
};

const Stream& stream()
{
    static const Stream shared;
    return shared;
}

/// The motion thread's work per packet on a fresh domain and device; the
/// identity packet and the device's making are not timed.
class BridgeRoad
{
  public:
    BridgeRoad()
    {
        setHidCallback([this](const PresenterEvent& event) {
            ++events_;
            moved_ += event.dx != 0 || event.dy != 0;
        });
        restart();
    }
    ~BridgeRoad()
    {
        setHidCallback({});
        if (domain_ != nullptr) {
            vnx_DomainFactory_destroyDomain(domain_);
        }
    }
    BridgeRoad(const BridgeRoad&) = delete;
    BridgeRoad& operator=(const BridgeRoad&) = delete;

    bool atEnd() const { return next_ == stream().packets.size(); }
    void restart()
    {
        if (domain_ != nullptr) {
            vnx_DomainFactory_destroyDomain(domain_);
        }
        resetMotionBridge();
        domain_ = vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN);
        vnx_Domain_registerDomainListener(domain_, onDomainStatus, onDeviceAdded, onDeviceRemoved, nullptr, nullptr,
                                          nullptr);
        next_ = 0;
        failures_ += dispatchPacket(stream().packets[next_++], domain_, nullptr) != 0;
        failures_ += makePendingDevice(domain_) == nullptr;
    }
    int step() { return dispatchPacket(stream().packets[next_++], domain_, motionBridge().currentDevice); }

    int failures() const { return failures_; }
    long events() const { return events_; }
    long moved() const { return moved_; }

  private:
    vnx_DomainHandle_s* domain_ = nullptr;
    size_t next_ = 0;
    int failures_ = 0;
    long events_ = 0;
    long moved_ = 0;
};

void BM_PresenterPacketToEvent(benchmark::State& state)
{
    startLibraries();
    BridgeRoad road;
    runRoad(state, road);
    state.counters["failed_calls"] += road.failures();
    state.counters["events_per_packet"] =
        static_cast<double>(road.events()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PresenterPacketToEvent);

/// Every packet of the stream timed on its own: mean and p99.
void BM_PresenterPacketToEventFigures(benchmark::State& state)
{
    startLibraries();
    BridgeRoad road;
    std::vector<double> ns;
    ns.reserve(stream().packets.size());
    vnx::bench::Figures figures;
    for (auto _ : state) {
        figures = vnx::bench::timeEachSample(road, ns);
    }
    state.counters["packet_mean_ns"] = figures.meanNs;
    state.counters["packet_p99_ns"] = figures.p99Ns;
    state.counters["packets"] = static_cast<double>(stream().packets.size() - 1);
    state.counters["movement_events"] = static_cast<double>(road.moved());
    state.counters["failed_calls"] = road.failures();
}
BENCHMARK(BM_PresenterPacketToEventFigures)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
