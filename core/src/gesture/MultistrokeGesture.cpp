#include "gesture/MultistrokeGesture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "gesture/cursorSample.h"
#include "gesture/gestureDefinition.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

namespace {

constexpr uint8_t kInputTypes[] = {VNX_TYPE_EXTENDED_CURSOR};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_MULTISTROKE_GESTURE};

const char kUnknownSymbol[] = "?";
const char kNoMatchName[] = "Not matched";

} // namespace

MultistrokeGesture::MultistrokeGesture()
{
    vnx_MultistrokeGesture_initConfig(&config_);
}

int MultistrokeGesture::setModuleListener(vnx::ModuleListenerInterface* listener)
{
    listener_ = listener;
    return VNX_STATUS_SUCCESS;
}

int MultistrokeGesture::getConfig(vnx_StructConfig_s* config) const
{
    // The typed cast guards the 40-byte copy against shorter records.
    auto* own = vnx_MultistrokeGesture_dynamicDownCastConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    *own = config_;
    return VNX_STATUS_SUCCESS;
}

int MultistrokeGesture::setConfig(const vnx_StructConfig_s* config)
{
    const auto* own = vnx_MultistrokeGesture_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    config_ = *own;
    groupingDistance_ = own->groupingDistance;
    return VNX_STATUS_SUCCESS;
}

int MultistrokeGesture::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto& own = *vnx_MultistrokeGesture_downCastConstCommand(command);
    switch (own.code) {
    case VNX_MULTISTROKE_GESTURE_COMMAND_BEGIN_STROKE:
        if (!strokeOpen_) {
            strokes_.emplace_back();
        }
        strokeOpen_ = true;
        return VNX_STATUS_SUCCESS;
    case VNX_MULTISTROKE_GESTURE_COMMAND_END_STROKE:
        strokeOpen_ = false;
        return VNX_STATUS_SUCCESS;
    case VNX_MULTISTROKE_GESTURE_COMMAND_ADD_SYMBOL:
        return processor_.addGesture(vnx::gesture::gestureFromDefinition(own.definition))
                   ? VNX_STATUS_SUCCESS
                   : VNX_STATUS_INVALID_COMMAND;
    case VNX_MULTISTROKE_GESTURE_COMMAND_RESERVED:
        return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
    case VNX_MULTISTROKE_GESTURE_COMMAND_CLEAR_SYMBOLS:
        processor_.clearGestures();
        return VNX_STATUS_SUCCESS;
    case VNX_MULTISTROKE_GESTURE_COMMAND_RECOGNISE:
        // Recognition needs every stroke finished.
        recognitionRequested_ = !strokeOpen_;
        return strokeOpen_ ? VNX_STATUS_INVALID_COMMAND : VNX_STATUS_SUCCESS;
    default:
        return VNX_STATUS_INTERNAL_ERROR;
    }
}

uint8_t MultistrokeGesture::getType() const
{
    return VNX_TYPE_MULTISTROKE_GESTURE;
}

int MultistrokeGesture::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    processor_.init();
    strokeOpen_ = false;
    recognitionRequested_ = false;
    periodUs_ = 0;
    strokes_.clear();
    groupingDistance_ = kDefaultGroupingDistance;
    return VNX_STATUS_SUCCESS;
}

int MultistrokeGesture::term()
{
    return VNX_STATUS_SUCCESS;
}

int MultistrokeGesture::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int MultistrokeGesture::getInputInterfaceCount() const
{
    return 1;
}

int MultistrokeGesture::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kInputTypes, capacity, typeIds, count);
}

int MultistrokeGesture::getOutputInterfaceCount() const
{
    return 1;
}

int MultistrokeGesture::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

int MultistrokeGesture::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                                const vnx_StructFormat_s** inputFormats, int, size_t outputCount,
                                vnx_StructOutput_s** outputs, vnx_StructFormat_s**)
{
    vnx::gesture::CursorSample sample;
    const bool read = vnx::gesture::readExtendedCursorSample(inputCount, inputs, inputFormats, sample);
    auto* out = vnx::processRecord(outputCount, outputs, 0, vnx_MultistrokeGesture_dynamicDownCastOutput);
    if (!read || out == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    periodUs_ = sample.periodUs;
    vnx_MultistrokeGesture_initOutput(out);
    if (strokeOpen_) {
        Segment_s& stroke = strokes_.back();
        stroke.points.push_back({sample.dx, sample.dy});
        stroke.minX = std::min(stroke.minX, sample.x);
        stroke.maxX = std::max(stroke.maxX, sample.x);
        stroke.minY = std::min(stroke.minY, sample.y);
        stroke.maxY = std::max(stroke.maxY, sample.y);
        return VNX_STATUS_SUCCESS;
    }
    if (recognitionRequested_) {
        recognise(*out);
    }
    return VNX_STATUS_SUCCESS;
}

void MultistrokeGesture::recognise(vnx_MultistrokeGesture_Output_s& out)
{
    out.result = 1;
    const std::vector<std::string> names = findSymbols(0, strokes_.size());
    out.count = static_cast<uint32_t>(names.size());
    const std::size_t carried = std::min<std::size_t>(names.size(), VNX_MULTISTROKE_GESTURE_MAX_SYMBOLS);
    for (std::size_t i = 0; i < carried; ++i) {
        // Into the zeroed slot: a 128-character name fills it without a terminator.
        std::memcpy(out.names[i], names[i].data(), std::min(names[i].size(), sizeof(out.names[i])));
    }
    strokes_.clear();
    recognitionRequested_ = false;
}

std::vector<std::string> MultistrokeGesture::findSymbols(std::size_t first, std::size_t last)
{
    // Each symbol takes one stroke or a pair, then the search goes on after
    // it: written as a loop, so the depth does not grow with the strokes.
    std::vector<std::string> names;
    while (first < last) {
        const GestureRecognitionProcessor::Output_t single = match(first, first + 1);
        const bool singleMatches = isMatch(single);
        if (last - first == 1) {
            names.push_back(singleMatches ? single.name : kUnknownSymbol);
            break;
        }
        const double toNext = distance(strokes_[first], strokes_[first + 1]);
        const double nextToThird = last - first > 2 ? distance(strokes_[first + 1], strokes_[first + 2])
                                                    : std::numeric_limits<double>::max();
        GestureRecognitionProcessor::Output_t pair;
        bool pairMatches = false;
        // A pair only when its strokes lie close and closer than the second
        // lies to the third.
        if (nextToThird > toNext && groupingDistance_ > toNext) {
            pair = match(first, first + 2);
            pairMatches = isMatch(pair);
        }
        if (singleMatches && pairMatches) {
            // Overlapping strokes belong together whatever the scores say.
            if (toNext != 0.0 && pair.score <= single.score) {
                names.push_back(single.name);
                first += 1;
            } else {
                names.push_back(pair.name);
                first += 2;
            }
        } else if (singleMatches) {
            names.push_back(single.name);
            first += 1;
        } else if (pairMatches) {
            names.push_back(pair.name);
            first += 2;
        } else {
            names.push_back(kUnknownSymbol);
            first += 1;
        }
    }
    return names;
}

GestureRecognitionProcessor::Output_t MultistrokeGesture::match(std::size_t first, std::size_t last)
{
    GestureRecognitionProcessor::Output_t result;
    for (std::size_t s = first; s < last && s < strokes_.size(); ++s) {
        for (const Point_s& point : strokes_[s].points) {
            processor_.processCursorFrame(point.x, point.y, true, result, nullptr, periodUs_);
        }
    }
    processor_.processCursorFrame(0, 0, false, result, nullptr, periodUs_);
    return result;
}

bool MultistrokeGesture::isMatch(const GestureRecognitionProcessor::Output_t& result)
{
    return result.done && result.name != kNoMatchName && result.score >= kMinMatchScore;
}

bool MultistrokeGesture::intersects(const Segment_s& a, const Segment_s& b)
{
    return a.minX <= b.maxX && b.minX <= a.maxX && a.minY <= b.maxY && b.minY <= a.maxY;
}

double MultistrokeGesture::distance(const Segment_s& a, const Segment_s& b)
{
    if (intersects(a, b)) {
        return 0.0;
    }
    // Differences and squares in double: boxes far apart, and the inverted
    // box of a stroke without points, are simply far away.
    const int32_t ax[] = {a.minX, a.maxX};
    const int32_t ay[] = {a.minY, a.maxY};
    const int32_t bx[] = {b.minX, b.maxX};
    const int32_t by[] = {b.minY, b.maxY};
    double shortest = std::numeric_limits<double>::max();
    for (int32_t x1 : ax) {
        for (int32_t x2 : bx) {
            for (int32_t y1 : ay) {
                for (int32_t y2 : by) {
                    shortest = std::min(shortest, dist(x1, y1, x2, y2));
                }
            }
        }
    }
    return shortest;
}

double MultistrokeGesture::dist(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    return std::sqrt(dx * dx + dy * dy);
}
