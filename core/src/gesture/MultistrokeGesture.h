#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "gesture/GestureRecognitionProcessor.h"
#include "gesture/MultistrokeGestureRecords.h"
#include "moduleFactory/moduleInterface.h"

/// Recognises a written sequence of symbols, each of one or two pen strokes.
/// The client marks the beginning and end of every stroke with commands while
/// ExtendedCursor outputs flow in; on request the next sample splits the
/// strokes into symbols, matches each against the library and reports the
/// names ("?" for a stroke that matches nothing).
class MultistrokeGesture : public vnx::ModuleInterface
{
  public:
    /// One pointer delta pair.
    struct Point_s
    {
        int32_t x;
        int32_t y;
    };

    /// One stroke: its deltas and the bounding box of the pointer positions.
    /// An empty box is inverted, so the first position sets all four bounds.
    struct Segment_s
    {
        std::vector<Point_s> points;
        int32_t minY = std::numeric_limits<int32_t>::max();
        int32_t minX = std::numeric_limits<int32_t>::max();
        int32_t maxX = std::numeric_limits<int32_t>::min();
        int32_t maxY = std::numeric_limits<int32_t>::min();
    };

    /// Strokes closer than this (pointer units) may pair until a Config says otherwise.
    static constexpr double kDefaultGroupingDistance = 25.0;
    /// A match counts from this score (percent) on.
    static constexpr double kMinMatchScore = 60.0;

    MultistrokeGesture();

    int setModuleListener(vnx::ModuleListenerInterface* listener) override;
    /// Copies the kept Config (a freshly initialised one before any
    /// setConfig); -3 for a record that is not a MultistrokeGesture Config.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// Keeps the Config; its grouping distance replaces the module's.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Reads the code and Definition of any Command as its own; -2 for null.
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override;

    /// Empties the library and the strokes, clears both flags and the period,
    /// grouping distance back to its default. Reads no calibration.
    int init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset) override;
    int term() override;
    int getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const override;

    /// In: ExtendedCursor Output. Out: MultistrokeGesture Output.
    int getInputInterfaceCount() const override;
    int getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;
    int getOutputInterfaceCount() const override;
    int getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const override;

    /// One cursor sample; 0, or -2 for missing records or records of another type.
    int process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats) override;

    /// The symbols of strokes [first, last): each one stroke, or two when the
    /// pair lies close, is nearer than the next pair and matches.
    std::vector<std::string> findSymbols(std::size_t first, std::size_t last);
    /// Strokes [first, last) replayed through the processor as one capture.
    GestureRecognitionProcessor::Output_t match(std::size_t first, std::size_t last);
    /// A finished capture that names a gesture with a score of at least 60.
    static bool isMatch(const GestureRecognitionProcessor::Output_t& result);
    /// Shortest corner-to-corner distance of two boxes; 0 when they overlap.
    static double distance(const Segment_s& a, const Segment_s& b);
    /// Whether two boxes overlap, borders included.
    static bool intersects(const Segment_s& a, const Segment_s& b);
    static double dist(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    const std::vector<Segment_s>& strokes() const { return strokes_; }
    double groupingDistance() const { return groupingDistance_; }
    const GestureRecognitionProcessor& processor() const { return processor_; }

  private:
    void recognise(vnx_MultistrokeGesture_Output_s& out);

    GestureRecognitionProcessor processor_;
    bool strokeOpen_ = false;
    bool recognitionRequested_ = false;
    uint32_t periodUs_ = 0;
    std::vector<Segment_s> strokes_;
    double groupingDistance_ = kDefaultGroupingDistance;
    vnx_MultistrokeGesture_Config_s config_{};
    vnx::ModuleListenerInterface* listener_ = nullptr; ///< kept, never called
};
