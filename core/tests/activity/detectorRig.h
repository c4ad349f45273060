#pragma once

// A member of the detector family, initialised from its defaults (adjusted
// by the test if it likes), enabled and running at one accelerometer period,
// fed records one by one through its exported functions. Api is a traits
// type of detectorApis.h.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "common/statusCode.h"
#include "detectorApis.h"

namespace vnx::activitytest {

/// What one process call answered and wrote.
struct Step
{
    int status;
    std::uint32_t event;
};

template <class Api> class DetectorRig
{
  public:
    using Config = typename Api::Config;

    explicit DetectorRig(std::int32_t periodUs, const std::function<void(Config&)>& adjust = {})
    {
        Api::defaults(&config_);
        if (adjust)
            adjust(config_);
        EXPECT_EQ(Api::initialize(&handle_, &config_), VNX_STATUS_SUCCESS);
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        EXPECT_EQ(Api::enable(handle_, 1, &periods), VNX_STATUS_SUCCESS);
        setPeriod(periodUs);
    }
    ~DetectorRig() { Api::finalize(handle_); }
    DetectorRig(const DetectorRig&) = delete;
    DetectorRig& operator=(const DetectorRig&) = delete;

    /// setInputPeriods with periodUs in the accelerometer slot.
    int setPeriod(std::int32_t periodUs)
    {
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        periods.periodUs[VNX_MOBILE_ACCELEROMETER] = periodUs;
        return Api::setInputPeriods(handle_, &periods);
    }

    Step process(const vnx_Mobile_Output_s& in, std::uint32_t callerWord = 0)
    {
        vnx_Detector_Output_s out{callerWord, 0};
        std::uint8_t flag = 0;
        const int status = Api::process(handle_, &in, &out, &flag);
        return {status, out.event};
    }

    std::vector<Step> run(const std::vector<vnx_Mobile_Output_s>& records)
    {
        std::vector<Step> steps;
        steps.reserve(records.size());
        for (const vnx_Mobile_Output_s& in : records)
            steps.push_back(process(in));
        return steps;
    }

    /// Indices of the records whose event word was not 0.
    std::vector<std::size_t> eventsOf(const std::vector<vnx_Mobile_Output_s>& records)
    {
        std::vector<std::size_t> at;
        const std::vector<Step> steps = run(records);
        for (std::size_t i = 0; i < steps.size(); ++i)
            if (steps[i].event != 0)
                at.push_back(i);
        return at;
    }

    typename Api::Handle handle() const { return handle_; }

  private:
    Config config_{};
    typename Api::Handle handle_ = nullptr;
};

} // namespace vnx::activitytest
