#include <cstring>

#include "gyroBias/BiasCorrectMin.h"

namespace vnx {

namespace {

constexpr float kUnknown = 2147483648.0f; // 2^31

using Vector3 = qdVectorFixed::Vector3;

Vector3 largerPerChannel(const Vector3& a, const Vector3& b)
{
    Vector3 out;
    for (int c = 0; c < 3; ++c)
        out[c] = max(a[c], b[c]);
    return out;
}

} // namespace

void BiasCorrectMin::handleOnTable(const ZroKfMin::TimeVaryingConstants_t& tv, const Vector3& m,
                                   std::uint8_t& onTable)
{
    constexpr auto kRunning = ZroKfMin::KF_PHASE_RUNNING;
    referenceOffset_ = m;
    onTable = 0;

    const bool mainRuns = main_.phase() == kRunning;
    const bool checkRuns = check_.phase() == kRunning;
    const bool check2Runs = check2_.phase() == kRunning;
    const int running = int(mainRuns) + int(check_.role() == KF_ROLE_CHECK && checkRuns) + int(check2Runs);

    bool mainOk = false;
    Vector3 mainDiff{};
    switch (running) {
    case 0:
        main_.processDeviceOnTable(tv, true, m);
        return;
    case 1:
        main_.isZroConsistent(tv, m, mainOk, mainDiff);
        if (mainOk) {
            main_.processDeviceOnTable(tv, true, m);
            return;
        }
        tableRestart(tv, m, mainDiff);
        return;
    case 2: {
        ZroKfMin& second = checkRuns ? check_ : check2_;
        bool secondOk = false;
        Vector3 secondDiff{};
        main_.isZroConsistent(tv, m, mainOk, mainDiff);
        second.isZroConsistent(tv, m, secondOk, secondDiff);
        if (mainOk || secondOk) {
            main_.processDeviceOnTable(tv, mainOk, m);
            second.processDeviceOnTable(tv, secondOk, m);
            return;
        }
        tableRestart(tv, m, largerPerChannel(mainDiff, secondDiff));
        return;
    }
    default:
        break;
    }

    // All three run.
    if (main_.confidenceLevel() == 3 && check_.confidenceLevel() == 3 && check2_.confidenceLevel() == 3) {
        bool ok = false;
        Vector3 diff{};
        output_->isZroConsistent(tv, m, ok, diff);
        if (ok) {
            onTable = 1;
            return;
        }
        tableRestart(tv, m, diff);
        return;
    }
    bool checkOk = false;
    bool check2Ok = false;
    Vector3 checkDiff{};
    Vector3 check2Diff{};
    main_.isZroConsistent(tv, m, mainOk, mainDiff);
    check_.isZroConsistent(tv, m, checkOk, checkDiff);
    check2_.isZroConsistent(tv, m, check2Ok, check2Diff);
    if (mainOk || checkOk || check2Ok) {
        main_.processDeviceOnTable(tv, mainOk, m);
        check_.processDeviceOnTable(tv, checkOk, m);
        check2_.processDeviceOnTable(tv, check2Ok, m);
        return;
    }
    tableRestart(tv, m, largerPerChannel(largerPerChannel(mainDiff, checkDiff), check2Diff));
}

void BiasCorrectMin::tableRestart(const ZroKfMin::TimeVaryingConstants_t& tv, const Vector3& m,
                                  const Vector3& difference)
{
    // No filter accepts the table offset: restart from it as a stored state
    // of full confidence.
    dcdAlg4MinFixedInnards_s table;
    std::memset(&table, 0, sizeof table);
    for (int c = 0; c < rsChannels_; ++c) {
        table.zro[c] = m[c].value();
        table.zroVariance[c] = tv.pOnTable[c].value();
        table.zro2[c] = m[c].value();
    }
    table.temperature = currentTemperature_.value();
    table.state = BCM_STATE_BEST;
    setDcd(table);

    // The disagreement is how far the offset has wandered.
    Fp32 largest = difference[0];
    Fp32 sigma = abs(m[0]) + difference[0];
    for (int c = 1; c < 3; ++c) {
        const Fp32 mc = c < rsChannels_ ? abs(m[c]) : Fp32(0.0f);
        largest = max(largest, difference[c]);
        sigma = max(sigma, mc + difference[c]);
    }
    agingEffect_ = largest;
    initialVariance_ = sigma < Fp32(kUnknown) ? sigma * sigma : Fp32(kUnknown);
    main_.addPDueToPowerGap(initialVariance_);
    check_.addPDueToPowerGap(initialVariance_);
    check2_.addPDueToPowerGap(initialVariance_);

    dcdAlg4MinFixedInnardsSetEmpty(&best_);
    written_ = 0;
}

} // namespace vnx
