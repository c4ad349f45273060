#include "gyroBias/BiasCorrectMin.h"

namespace vnx {

namespace {

constexpr float kNoTemperature = VNX_DCD_NO_TEMPERATURE;

using Phase = ZroKfMin::KfPhase_e;
constexpr Phase kStart = ZroKfMin::KF_PHASE_START;
constexpr Phase kRestored = ZroKfMin::KF_PHASE_RESTORED;
constexpr Phase kRunning = ZroKfMin::KF_PHASE_RUNNING;

/// "Check" column of the state table for "Main" running: 0 phase 1,
/// 1 phase 2, 2 running at confidence 2, 3 running at confidence 3, -1 none.
int checkColumn(Phase phase, std::uint8_t confidence)
{
    if (phase == kStart)
        return 0;
    if (phase == kRestored)
        return 1;
    if (phase == kRunning && confidence == 2)
        return 2;
    if (phase == kRunning && confidence == 3)
        return 3;
    return -1;
}

/// State from the phases and confidences; confidences of "Main" in states
/// 1-4, of "Check" in phases 1 and 2 and of "Check2" are not consulted.
std::uint32_t stateOf(Phase mainPhase, std::uint8_t mainConf, Phase checkPhase, std::uint8_t checkConf,
                      Phase check2Phase)
{
    if (mainPhase == kStart) {
        if (checkPhase == kStart)
            return 1;
        if (checkPhase == kRunning)
            return 2;
        return 0;
    }
    if (mainPhase == kRestored) {
        if (checkPhase == kRestored)
            return 3;
        if (checkPhase == kRunning)
            return 4;
        return 0;
    }
    if (mainPhase != kRunning || mainConf < 1 || mainConf > 3)
        return 0;
    const int column = checkColumn(checkPhase, checkConf);
    if (column < 0)
        return 0;
    if (check2Phase == kStart) {
        // Rows 5-16 of the table, by "Check" column then "Main" confidence.
        static constexpr std::uint8_t kCheck2Starting[4][3] = {
            {5, 7, 11}, {6, 8, 12}, {9, 10, 13}, {14, 15, 16}};
        return kCheck2Starting[column][mainConf - 1];
    }
    if (check2Phase == kRunning)
        return 17u + 3u * static_cast<std::uint32_t>(column) + (mainConf - 1u);
    return 0;
}

} // namespace

BiasCorrectMinState_e BiasCorrectMin::getState() const
{
    return static_cast<BiasCorrectMinState_e>(stateOf(main_.phase(), main_.confidenceLevel(), check_.phase(),
                                                      check_.confidenceLevel(), check2_.phase()));
}

int BiasCorrectMin::getPhase() const
{
    if (main_.confidenceLevel() == 0)
        return 0;
    if (main_.confidenceLevel() < 3 || check_.confidenceLevel() < 3)
        return 1;
    return check2_.confidenceLevel() == 3 ? 2 : 1;
}

bool BiasCorrectMin::isDcdWorseThan(std::uint32_t a, std::uint32_t b)
{
    return a < b && (a < BCM_STATE_LEARNED || b < BCM_STATE_LEARNED);
}

bool BiasCorrectMin::isDcdStateBad(const dcdAlg4MinFixedInnards_s& innards)
{
    return innards.temperature == kNoTemperature || innards.state < BCM_STATE_PER_UNIT ||
           innards.state > BCM_STATE_BEST;
}

bool isStateValid(KfRole_e /*role*/, std::uint32_t state, Phase mainPhase, std::uint8_t mainConf,
                  Phase checkPhase, std::uint8_t checkConf, Phase check2Phase, std::uint8_t check2Conf)
{
    if (state < 1 || state > 28)
        return false;
    if (stateOf(mainPhase, mainConf, checkPhase, checkConf, check2Phase) != state)
        return false;
    // The values the table leaves open are those the learning produces.
    if (state <= 4 && mainConf != 0)
        return false;
    if (checkPhase != kRunning && checkConf != 0)
        return false;
    if ((state == 2 || state == 4) && checkConf != 1)
        return false;
    if (state <= 16)
        return check2Phase == kStart && check2Conf == 0;
    return check2Conf == 3;
}

} // namespace vnx
