#include <algorithm>
#include <cstring>
#include <new>

#include "captureLog/captureLog.h"
#include "common/NodeInterface.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "common/timeSource.h"
#include "extCommon/extStatusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "moduleManager/ModuleManager.h"
#include "moduleManager/sampleNumber.h"

namespace vnx {

namespace {

// The sampling period a SensorFusion Format among the outputs carries; 0
// when there is none.
uint32_t fusionPeriodUs(size_t n, vnx_StructFormat_s* const* formats)
{
    for (size_t i = 0; formats != nullptr && i < n; ++i) {
        const vnx_StructFormat_s* format = formats[i];
        if (format != nullptr && format->header.type == VNX_TYPE_SENSOR_FUSION &&
            format->header.size >= sizeof(vnx_StructFormat_s) + sizeof(uint32_t)) {
            uint32_t periodUs = 0;
            std::memcpy(&periodUs, reinterpret_cast<const uint8_t*>(format) + sizeof(vnx_StructFormat_s),
                        sizeof periodUs);
            return periodUs;
        }
    }
    return 0;
}

} // namespace

bool ModuleManager::makeRing(uint64_t slots)
{
    ring_.reset();
    ringSize_ = 0;
    stored_ = 0;
    slots = std::max<uint64_t>(slots, 1);
    try {
        ring_.reset(new InputStore[slots]);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    ringSize_ = slots;
    return true;
}

bool ModuleManager::setMaxBufferedSamples(size_t n)
{
    return makeRing(n);
}

int ModuleManager::process(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats)
{
    const int initialized = initializeModule();
    if (initialized != VNX_STATUS_SUCCESS) {
        logReturn(initialized);
        return initialized;
    }
    if (ring_ == nullptr && !makeRing(config_.maxBufferedSamplesToProcess)) {
        logReturn(VNX_STATUS_OUT_OF_MEMORY);
        return VNX_STATUS_OUT_OF_MEMORY;
    }

    InputStore& slot = ring_[stored_ % ringSize_];
    slot.store(n, outputs, formats);
    unsigned long count = 0;
    vnx_StructOutput_s** copies = nullptr;
    vnx_StructFormat_s** copyFormats = nullptr;
    slot.peek(count, copies, copyFormats);
    // A batch the store could not copy (a missing record, a type no factory
    // makes) leaves it empty: refused rather than run as an empty sample.
    if (count != n) {
        logReturn(VNX_STATUS_INVALID_PARAMETER);
        return VNX_STATUS_INVALID_PARAMETER;
    }
    ++stored_;

    const int64_t nowNs = static_cast<int64_t>(vnx_time_ns());
    std::optional<uint32_t> sampleNumber;
    const SampleNumberSite site = findStoredSampleNumber(count, copies, copyFormats);
    if (site.counter != nullptr) {
        if (config_.sampleBaseWidth == 8 && counter_.has_value()) {
            sampleNumber = counter_->widen(site.read(), nowNs, periodUs_);
            site.write(*sampleNumber);
        } else {
            sampleNumber = site.read();
        }
    }
    if (rawLog_ != nullptr && rawLog_->isOpen()) {
        capture::logRawInput(*rawLog_, captureStartNs_, count, copies, copyFormats, sampleNumber);
    }
    autoSaveDcd(sampleNumber, nowNs);
    if (config_.reportMotionInput != 0 && device_ != nullptr) {
        device_->motionInput(deviceSelf(), n, outputs, formats);
    }
    if (config_.maxBufferedSamplesToProcess == 0) {
        return process();
    }
    return VNX_STATUS_SUCCESS;
}

void ModuleManager::autoSaveDcd(std::optional<uint32_t> sampleNumber, int64_t nowNs)
{
    const int32_t intervalS = config_.dcdSaveInterval;
    if (intervalS <= 0) {
        return;
    }
    if (sampleNumber.has_value()) {
        // Sample time since the last save; 64 bits, so a long gap in the
        // sample numbers cannot wrap into a short one.
        const uint64_t elapsedUs =
            static_cast<uint64_t>(periodUs_) * static_cast<uint32_t>(*sampleNumber - lastSaveSample_);
        if (static_cast<uint64_t>(intervalS) * 1'000'000u < elapsedUs) {
            saveDcd();
            lastSaveSample_ = *sampleNumber;
        }
    } else if (static_cast<int64_t>(intervalS) * 1'000'000'000 < nowNs - lastSaveNs_) {
        saveDcd();
        lastSaveNs_ = nowNs;
    }
}

int ModuleManager::process()
{
    if (device_ == nullptr) {
        return VNX_STATUS_DEVICE_INVALID_ID;
    }
    if (stored_ == 0 || ring_ == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    uint64_t first = 0;
    if (stored_ > ringSize_) {
        first = stored_ - ringSize_;
        sendDeviceStatus(VNX_DEVICE_STATUS_SAMPLES_OVERWRITTEN, VNX_STATUS_SUCCESS, first, nullptr);
    }
    // A listener may change the host from inside a report (a new ring, no
    // module): the drain stops when the ring it walks is gone.
    const InputStore* ring = ring_.get();
    const uint64_t last = stored_;
    int lowest = VNX_STATUS_SUCCESS;
    for (uint64_t i = first; i < last && ring_.get() == ring; ++i) {
        unsigned long n = 0;
        const vnx_StructOutput_s** inputs = nullptr;
        const vnx_StructFormat_s** formats = nullptr;
        ring_[i % ringSize_].retrieve(n, inputs, formats);
        if (module_ == nullptr || initFailed_) {
            if (config_.reportMotionOutput != 0) {
                device_->motionOutput(deviceSelf(), n, inputs, formats, VNX_STATUS_SUCCESS);
            }
            stored_ = 0;
            return VNX_STATUS_SUCCESS;
        }
        bool matched = true;
        const int result = runSample(n, inputs, formats, matched);
        if (!matched) {
            stored_ = 0;
            return VNX_STATUS_PROCESS_ERROR;
        }
        lowest = std::min(lowest, result);
    }
    stored_ = 0;
    return lowest;
}

size_t ModuleManager::inputCountOf(int inputId, size_t n) const
{
    // Asked without room for the ids, an interface still tells its count.
    size_t count = 0;
    const int described = module_->getInputInterface(inputId, 0, nullptr, count);
    if (described != VNX_STATUS_SUCCESS && described != VNX_STATUS_SIZE_TOO_SMALL) {
        return n;
    }
    return std::min(count, n);
}

void ModuleManager::markSequenceNumber(uint32_t sampleNumber)
{
    if (rawLog_ != nullptr && rawLog_->isOpen()) {
        capture::logFusionTick(*rawLog_, captureStartNs_, sampleNumber);
    }
    if (NodeInterface* node = deviceNode()) {
        node->setSequenceNumber(sampleNumber, false);
    }
}

int ModuleManager::runSample(size_t n, const vnx_StructOutput_s** inputs, const vnx_StructFormat_s** formats,
                             bool& matched)
{
    int inputId = config_.inputId;
    size_t count = n;
    if (inputId < 0) {
        inputId = inputMatch_.find(*module_, n, inputs, count);
        if (inputId < 0) {
            VNX_LOGF(dftLog_, log::ERROR,
                     "Could not match input interface for module. Ensure input structures match one of %s's "
                     "input interfaces.",
                     ModuleFactory::typeIdToString(module_->getType()));
            matched = false;
            return VNX_STATUS_PROCESS_ERROR;
        }
    } else {
        count = inputCountOf(inputId, n);
    }
    if (const std::optional<uint32_t> sampleNumber = runSampleNumber(n, inputs, formats)) {
        markSequenceNumber(*sampleNumber);
    }

    const int outputId = std::max(config_.outputId, 0);
    unsigned long nOut = 0;
    vnx_StructOutput_s** outputs = nullptr;
    vnx_StructFormat_s** outputFormats = nullptr;
    outputs_.peek(nOut, outputs, outputFormats);
    int result = module_->process(inputId, count, inputs, formats, outputId, nOut, outputs, outputFormats);
    if (result == VNX_STATUS_ARRAY_SIZE_MISMATCH) {
        if (shapeOutputs()) {
            outputs_.peek(nOut, outputs, outputFormats);
            result = module_->process(inputId, count, inputs, formats, outputId, nOut, outputs, outputFormats);
        } else {
            result = VNX_STATUS_INVALID_PARAMETER;
        }
    }
    // The module may have read the batch on another interface than the
    // remembered one: match the next sample afresh.
    if (result == VNX_STATUS_INVALID_INTERFACE || result == VNX_STATUS_ARRAY_SIZE_MISMATCH) {
        inputMatch_.forget();
    }
    const vnx_StructOutput_s** constOutputs = const_cast<const vnx_StructOutput_s**>(outputs);
    const vnx_StructFormat_s** constFormats = const_cast<const vnx_StructFormat_s**>(outputFormats);
    if (outputLog_ != nullptr && outputLog_->isOpen() && result != VNX_STATUS_WARNING_WAITING_FOR_FUSION) {
        logMotionOutput(nOut, constOutputs, constFormats, result);
    }
    if (result != VNX_STATUS_SUCCESS) {
        sendDeviceStatus(VNX_DEVICE_STATUS_PROCESS_FAILED, result, 0, nullptr);
        if (result < 0) {
            VNX_LOGF(dftLog_, log::ERROR, "Error process module (%s)", vnx_statusToString(result));
            if (result == VNX_STATUS_INVALID_INTERFACE) {
                VNX_LOGF(dftLog_, log::INFO, "Input Interface Id=%d, Output Interface Id=%d", inputId, outputId);
            }
        } else {
            VNX_LOGF(dftLog_, log::WARN, "Process(): %s", vnx_statusToString(result));
        }
    }
    // A Format the module has not filled yet (period 0) leaves the period.
    if (const uint32_t periodUs = fusionPeriodUs(nOut, outputFormats); periodUs != 0) {
        periodUs_ = periodUs;
    }
    // Last: a listener may end the module and its stores from inside.
    if (config_.reportMotionOutput != 0 && device_ != nullptr) {
        device_->motionOutput(deviceSelf(), nOut, constOutputs, constFormats, result);
    }
    return result;
}

void ModuleManager::logMotionOutput(size_t n, const vnx_StructOutput_s** outputs,
                                    const vnx_StructFormat_s** formats, int)
{
    if (outputLog_ != nullptr && outputLog_->isOpen()) {
        capture::logMotionOutput(*outputLog_, captureStartNs_, periodUs_, n, outputs, formats);
    }
}

} // namespace vnx
