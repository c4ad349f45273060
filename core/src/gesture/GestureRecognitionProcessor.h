#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gesture/CursorGestureLearningRecords.h"
#include "gesture/Gesture.h"
#include "gesture/GestureCostTable.h"

/// Turns pointer movements captured while a capture flag is held into a
/// direction code, matches it against an in-memory library of gestures by
/// dynamic time warping, and learns new gestures from training gestures.
///
/// The path of a capture is cut into steps of nearly equal length (the first
/// at least 40 units, the others at least 8); each step becomes a direction
/// value and the sequence is stretched or compressed towards the library's
/// code length before matching. Learning resamples each training gesture into
/// exactly that many pieces, drops the outliers and averages the rest.
///
/// Diagnostic messages of learning go to standard output.
class GestureRecognitionProcessor
{
  public:
    /// Result of one finished capture.
    struct Output_t
    {
        bool done = false;
        std::string name;
        double score = 0.0; ///< percent: (1 - cost) * 100, 0 when not matched
    };

    /// Statistics of a matched capture, in the units of the pointer deltas.
    struct AdditionalOutput_t
    {
        std::string imageName;
        std::vector<int32_t> positionsX; ///< running position after every captured sample
        std::vector<int32_t> positionsY;
        float durationS = 0.0f;
        float centreX = 0.0f; ///< centre of the bounding box of the positions
        float centreY = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
        float lastX = 0.0f;
        float lastY = 0.0f;
        float pathLength = 0.0f; ///< sum of the distances between successive positions
        uint32_t captureState = 0;
    };

    /// Why a capture stopped growing.
    enum CaptureState : uint32_t
    {
        kCaptureNormal = 0,
        kCaptureTimeLimit = 1,   ///< ten seconds of samples
        kCaptureLengthLimit = 2, ///< kMaxSteps steps
    };

    static constexpr std::size_t kMaxSteps = 625;
    static constexpr uint32_t kMaxTrajectories = 100;
    static constexpr int32_t kMaxUserGestures = 100;
    /// A gesture matches when its cost is below this.
    static constexpr double kMatchCost = 0.4;

    GestureRecognitionProcessor();

    /// Empties the last code, the library and the captured positions, zeroes
    /// the running position, anchors and previous capture flag and unsets the
    /// library code length. Learning data and steps are kept.
    void init();

    /// Removes every stored gesture and unsets the code length.
    void clearGestures();
    /// Stores a copy of `gesture`. The first gesture of an empty library sets
    /// the code length; a gesture of another length is refused (false).
    bool addGesture(const Gesture& gesture);

    /// One sample of recognition: a rising `capture` begins a gesture (this
    /// sample's delta is not used), a held one captures the delta, a falling
    /// one ends the gesture and matches it (result.done true). `additional`
    /// may be null.
    void processCursorFrame(int32_t dx, int32_t dy, bool capture, Output_t& result,
                            AdditionalOutput_t* additional, uint32_t periodUs);
    /// One captured sample. A period of 0 sets no time limit.
    void handleCapturing(int32_t dx, int32_t dy, uint32_t periodUs);
    /// Begins a capture as a rising flag does.
    void handleStartCapture();
    /// Ends a capture as a falling flag does.
    void handleStopCapture(Output_t& result, AdditionalOutput_t* additional, uint32_t periodUs);

    /// Direction value of the vector (x, y); note the argument order.
    static float codeFromDeltaPos(double y, double x);

    /// Turns the steps of the capture into the code, stretched or compressed
    /// towards the library code length.
    void gestureNormalize();
    /// Normalises and matches the capture against the library.
    void gestureMatchProcess(Output_t& result, AdditionalOutput_t* additional, uint32_t periodUs);
    /// Cost of `tested` against `reference` (see GestureCostTable).
    double costProcess(const std::vector<float>& tested, const std::vector<float>& reference);

    /// Forgets every training gesture and the learned code.
    void startLearning();
    /// One sample while learning: a held `capture` records the deltas, a
    /// falling one turns them into a training code.
    void gestureLearning(int32_t dx, int32_t dy, bool capture, uint32_t periodUs);
    /// Resamples a path of raw deltas into exactly L pieces of equal length
    /// and appends their directions to `code`; false (with a message) for a
    /// path that is too short or does not give L pieces.
    bool createGestureCode(const std::vector<int32_t>& dxs, const std::vector<int32_t>& dys,
                           std::vector<float>& code);
    /// Averages the consistent training codes into the learned code and
    /// reports the outcome.
    void stopLearning(vnx_CursorGesture_StatusType_e* statusType,
                      vnx_CursorGesture_LearningSuccessData_s* data);
    /// Stores the learned code as "User <n>" unless the library already has
    /// a close gesture or `userCounter` reached the maximum.
    void updateGestureLibrary(int32_t& userCounter);

    const std::vector<float>& code() const { return code_; }
    const std::vector<Gesture>& library() const { return library_; }
    int32_t codeLength() const { return codeLength_; }
    uint32_t captureState() const { return captureState_; }
    const std::vector<int32_t>& positionsX() const { return positionsX_; }
    const std::vector<int32_t>& positionsY() const { return positionsY_; }
    const std::vector<float>& stepsX() const { return stepsX_; }
    const std::vector<float>& stepsY() const { return stepsY_; }
    uint32_t trajectoryCount() const { return trajectoryCount_; }
    const std::vector<float>& trajectory(uint32_t index) const { return trajectories_.at(index); }
    const std::vector<float>& learnedCode() const { return learnedCode_; }

  private:
    void appendDirections(float x, float y, std::size_t times);
    void beginCapture();
    void fillMatchStatistics(AdditionalOutput_t& additional, uint32_t periodUs) const;

    std::vector<float> code_;
    int64_t runningX_ = 0;
    int64_t runningY_ = 0;
    int64_t anchorX_ = 0;
    int64_t anchorY_ = 0;
    bool previousCapture_ = false;
    uint32_t captureState_ = kCaptureNormal;
    std::vector<Gesture> library_;
    std::vector<int32_t> positionsX_;
    std::vector<int32_t> positionsY_;
    int32_t codeLength_ = 0;
    std::vector<float> stepsX_;
    std::vector<float> stepsY_;
    uint32_t trajectoryCount_ = 0;
    std::array<std::vector<float>, kMaxTrajectories> trajectories_;
    std::vector<float> learnedCode_;
    std::vector<int32_t> trainingDx_;
    std::vector<int32_t> trainingDy_;

    vnx::gesture::GestureCostTable costTable_;
    std::vector<double> pairCosts_; ///< trajectory x trajectory costs of stopLearning
};
