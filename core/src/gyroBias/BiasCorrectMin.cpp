#include "gyroBias/BiasCorrectMin.h"

#include <cmath>
#include <cstring>

#include "common/NodeManager.h"
#include "gyroBias/windowRounding.h"

namespace vnx {

namespace {

constexpr float kNoTemperature = VNX_DCD_NO_TEMPERATURE;
// Gyroscope noise (rad/s) from which the rate is low-pass filtered before
// the offset filters see it.
constexpr float kPreFilterNoise = 0.005f;
// A pause longer than this (s) leaves the short-window statistics stale.
constexpr float kStatisticsRestartS = 0.08f;
// Offset change (rad/s) that, divided by the offset temperature coefficient,
// gives the temperature change after which a stored state is offered for
// storing again.
constexpr float kStoredOffsetChange = 0.01f;
// Offset change (rad/s) after which a stored state is offered again.
constexpr float kStoredOffsetLimit = 0.02f;
// Kept gap of a fully converged state: the time after which aging has used
// up the nominal uncertainty, as rate x 1.4256e7 (us).
constexpr double kKeptGapPerRate = 1.4256e7;
// Per-unit seeding: an offset uncertainty below this (rad/s) is trusted as
// the per-unit calibration; without temperature input 25 degC of drift are
// added to it first.
constexpr float kPerUnitSigma = 0.1f;
constexpr float kNoInputDriftDegC = 25.0f;
// Device-kind flag: always start from the per-unit seed.
constexpr std::uint16_t kKindPerUnitSeed = 4;

} // namespace

BiasCorrectMin::BiasCorrectMin()
    : main_(KF_ROLE_MAIN), check_(KF_ROLE_CHECK), check2_(KF_ROLE_CHECK2), output_(&main_)
{
    dcdAlg4MinFixedInnardsSetEmpty(&best_);
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &onTable_, NodeInterface::NODE_SUBNODE, "IsAccOnTableMin");
    nodes.addNode(this, &peak2Peak_, NodeInterface::NODE_SUBNODE, "CalcPeak2Peak");
    nodes.addNode(this, &saturation_, NodeInterface::NODE_SUBNODE, "IsRsSaturate");
    nodes.addNode(this, &averageMain_, NodeInterface::NODE_SUBNODE, "RsMoveAverageMain");
    nodes.addNode(this, &averageChecks_, NodeInterface::NODE_SUBNODE, "RsMoveAverageChecks");
    nodes.addNode(this, &main_, NodeInterface::NODE_SUBNODE, "Main");
    nodes.addNode(this, &check_, NodeInterface::NODE_SUBNODE, "Check");
    nodes.addNode(this, &check2_, NodeInterface::NODE_SUBNODE, "Check2");
    nodes.addNode(this, &temperatureFilt_, NodeInterface::NODE_SUBNODE, "TemperatureFilt");
}

BiasCorrectMin::~BiasCorrectMin()
{
    NodeManager& nodes = NodeManager::getInstance();
    for (const void* member :
         {static_cast<const void*>(&temperatureFilt_), static_cast<const void*>(&check2_),
          static_cast<const void*>(&check_), static_cast<const void*>(&main_),
          static_cast<const void*>(&averageChecks_), static_cast<const void*>(&averageMain_),
          static_cast<const void*>(&saturation_), static_cast<const void*>(&peak2Peak_),
          static_cast<const void*>(&onTable_)})
        nodes.removeNode(member);
}

bool BiasCorrectMin::isNominalCal() const
{
    return cal_->isNominalCal && cal_->zroNominalSigma != 0.0f;
}

bool BiasCorrectMin::isNoTInput() const
{
    return cal_->tempScale == 0.0f;
}

void BiasCorrectMin::init(const FixedPointCal::Output& cal, const dcdAlg4MinFixedInnards_s* innards,
                          bool written, std::uint8_t rsChannels)
{
    cal_ = &cal;
    rsChannels_ = clampRsChannels(rsChannels);
    restartLimit_ = roundWindowLength(cal.rate * kStatisticsRestartS);
    for (int axis = 0; axis < 3; ++axis)
        preFilterFlags_[axis] = cal.rsNoise[axis] >= Fp32(kPreFilterNoise);
    hasRun_ = 0;
    lastTemperature_ = Fp32(kNoTemperature);
    temperatureRate_ = Fp32(0.125f);
    currentTemperature_ = Fp32(kNoTemperature);
    updateCount_ = 0;
    temperatureMode_ = 0;
    tempChangeLimit_ = Fp32(kStoredOffsetChange) / Fp32(cal.zroTempCoef);

    preFilter_.init();
    onTable_.init(cal, rsChannels_);
    peak2Peak_.init(cal, rsChannels_);
    windowCheck_.init(cal, rsChannels_);
    startMoved_ = false;
    averageMain_.init(cal, rsChannels_);
    averageChecks_.init(cal, rsChannels_);
    output_ = &main_;
    check_.setRole(KF_ROLE_CHECK_RESTORED);
    temperatureFilt_.init(cal);
    constants_.init(cal, rsChannels_);
    main_.init(cal, constants_);
    check_.init(cal, constants_);
    check2_.init(cal, constants_);

    if (innards != nullptr) {
        best_ = *innards;
        setDcd(best_);
        written_ = written ? 1 : 0;
    } else {
        dcdAlg4MinFixedInnardsSetEmpty(&best_);
        written_ = 1;
    }

    seedPerUnitIfNeeded();

    if (best_.state == BCM_STATE_BEST) {
        const double gap = std::floor(static_cast<double>(cal.rate) * kKeptGapPerRate);
        keptGap_ = gap >= 4294967295.0 ? 0xFFFFFFFFu : (gap > 0.0 ? static_cast<std::uint32_t>(gap) : 0u);
    } else {
        keptGap_ = 0xFFFFFFFFu;
    }
    updateReferenceFromBestDcd();
}

void BiasCorrectMin::seedPerUnitIfNeeded()
{
    const bool kindSeed = (cal_->deviceKind & kKindPerUnitSeed) != 0;
    if (!kindSeed && !(main_.phase() == ZroKfMin::KF_PHASE_START && !isNominalCal()))
        return;
    Fp32 sigma(cal_->zroInitSigma);
    if (isNoTInput())
        sigma += Fp32(kNoInputDriftDegC) * Fp32(cal_->zroTempCoef);
    if (sigma < Fp32(kPerUnitSigma) || kindSeed)
        updateDcdForPerUnitCalibratedDevices(constants_);
}

void BiasCorrectMin::updateDcdForPerUnitCalibratedDevices(const ZroKfMin::StaticCalConstants_t& constants)
{
    dcdAlg4MinFixedInnards_s seed;
    std::memset(&seed, 0, sizeof seed);
    for (int c = 0; c < 3; ++c)
        seed.zroVariance[c] = constants.rFloor[c].value();
    seed.temperature = 0.0f;
    seed.state = BCM_STATE_PER_UNIT;
    setDcd(seed);
}

void BiasCorrectMin::setDcdRestore(const dcdAlg4MinFixedInnards_s& innards)
{
    preFilter_.init();
    onTable_.reset();
    peak2Peak_.init(*cal_, rsChannels_);
    startMoved_ = false;
    averageMain_.reset();
    averageChecks_.reset();
    output_ = &main_;
    check_.setRole(KF_ROLE_CHECK_RESTORED);
    temperatureFilt_.init(*cal_);
    currentTemperature_ = Fp32(kNoTemperature);
    updateCount_ = 0;

    if (!isDcdStateBad(innards)) {
        main_.setDcd(*cal_, constants_, innards);
        check_.setDcd(*cal_, constants_, innards);
        check2_.init(*cal_, constants_);
        lastTemperature_ = Fp32(innards.temperature);
        temperatureMode_ = 1;
    } else {
        main_.init(*cal_, constants_);
        check_.init(*cal_, constants_);
        check2_.init(*cal_, constants_);
        lastTemperature_ = Fp32(kNoTemperature);
        temperatureMode_ = 0;
    }
    temperatureRate_ = Fp32(0.125f);
}

void BiasCorrectMin::setDcd(const dcdAlg4MinFixedInnards_s& innards)
{
    setDcdRestore(innards);
    // Nothing usable was restored: the per-unit seed, when it applies,
    // restores "Main" (phase 2), which ends the repetition.
    if (main_.phase() == ZroKfMin::KF_PHASE_START)
        seedPerUnitIfNeeded();
}

bool BiasCorrectMin::getDcd(dcdAlg4MinFixedInnards_s& out)
{
    dcdAlg4MinFixedInnardsSetEmpty(&out);
    if (currentTemperature_ != Fp32(kNoTemperature)) {
        main_.getDcd(out);
        check_.getDcd(out);
        out.state = getState();
        out.temperature = currentTemperature_.value();
    }
    if (isDcdWorseThan(out.state, best_.state)) {
        out = best_;
        return false;
    }
    best_ = out;
    written_ = 0;
    return true;
}

bool BiasCorrectMin::isDcdReady()
{
    if (main_.phase() != ZroKfMin::KF_PHASE_RUNNING)
        return false;
    if (written_) {
        bool unchanged = best_.state == getState() &&
                         abs(currentTemperature_ - Fp32(best_.temperature)) <= tempChangeLimit_;
        for (int c = 0; unchanged && c < rsChannels_; ++c)
            unchanged = !(abs(main_.x()[c] - Fp32(best_.zro[c])) > Fp32(kStoredOffsetLimit));
        if (!unchanged)
            written_ = 0;
    }
    return written_ == 0;
}

void BiasCorrectMin::updateReferenceFromBestDcd()
{
    referenceTemperature_ = Fp32(best_.temperature);
    // States in which "Check" is further converged than "Main": its offset
    // is the better reference.
    bool second = false;
    switch (best_.state) {
    case 9:
    case 14:
    case 15:
    case 23:
    case 26:
    case 27:
        second = true;
        break;
    default:
        break;
    }
    // A state that has learned nothing (below the per-unit seed) holds
    // whatever the start phase had gathered, which may be a turn: no
    // reference then.
    const bool learned = best_.state >= BCM_STATE_PER_UNIT && best_.state <= BCM_STATE_BEST;
    for (int c = 0; c < 3; ++c)
        referenceOffset_[c] = learned ? Fp32(second ? best_.zro2[c] : best_.zro[c]) : Fp32(0.0f);
}

} // namespace vnx
