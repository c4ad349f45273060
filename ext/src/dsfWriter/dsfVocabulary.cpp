#include "dsfWriter/dsfVocabulary.h"

#include <iterator>

namespace vnx::dsf {

namespace {

struct Column
{
    const char* name;
    const char* dims;
};

// Indexed by DsfWriter::ColumnType_e.
constexpr Column kColumns[] = {
    {"ACTIVITY", "xyz"},
    {"AAR_S", "x"},
    {"AAR_P", "0123456789"},
    {"ANG_POS_GLOBAL", "wxyz"},
    {"ANG_POS_GEOMAG", "wxyz"},
    {"ANG_POS_GAME", "wxyz"},
    {"ANG_POS_ACCURACY", "x"},
    {"ANG_VEL", "xyz"},
    {"BUTTON_STATE", "x"},
    {"DELTA_WHEEL", "x"},
    {"CURSOR_OFFSCREEN_DISTANCE", "x"},
    {"CURSOR_POS", "xy"},
    {"CURSOR_VEL", "xy"},
    {"EULER", "xyz"},
    {"GRAVITY", "xyz"},
    {"LIN_ACC", "xyz"},
    {"LIN_ACC_GRAVITY", "xyz"},
    {"MAG", "xyz"},
    {"POINTER_STATE", "x"},
    {"TEMPERATURE", "x"},
    {"TICK_FUSION", "x"},
    {"TICK_INPUT", "x"},
    {"MAG_ACCURACY", "x"},
    {"PRESSURE", "x"},
    {"STAIR_STATUS", "x"},
    {"STEP_ON_STAIR", "x"},
    {"TAP_DETECTED", "xyz"},
    {"STEP_DETECTED", "x"},
    {"STEP_COUNTER", "x"},
    {"STABILITY", "x"},
    {"PICKUP", "x"},
    {"FLIP", "x"},
    {"TILT", "x"},
    {"SHAKE", "x"},
    {"CIRCLE", "x"},
    {"SIGNIFICANT_MOTION", "x"},
    {"POCKET", "x"},
    {"SLEEP", "x"},
    {"SAMPLE_ID", "x"},
    {"TIME", "x"},
    {"STATUS", "x"},
};
static_assert(std::size(kColumns) == DsfWriter::STATUS + 1);

// Indexed by DsfWriter::Units_e.
constexpr const char* kUnits[] = {"m/s^2",   "ADC",     "deg",        "rad",     "rad/s", "uT",
                                  "mickeys", "px",      "quaternion", "samples", "s",     "state",
                                  "degc",    "integer", "percent",    "hPa",     ""};
static_assert(std::size(kUnits) == DsfWriter::UNIT_NONE + 1);

const Column* findColumn(DsfWriter::ColumnType_e type)
{
    const auto index = static_cast<unsigned>(type);
    return index < std::size(kColumns) ? &kColumns[index] : nullptr;
}

} // namespace

const char* columnName(DsfWriter::ColumnType_e type)
{
    const Column* column = findColumn(type);
    return column != nullptr ? column->name : "UNKNOWN";
}

const char* columnDims(DsfWriter::ColumnType_e type)
{
    const Column* column = findColumn(type);
    return column != nullptr ? column->dims : "?";
}

const char* unitName(DsfWriter::Units_e unit)
{
    const auto index = static_cast<unsigned>(unit);
    return index < std::size(kUnits) ? kUnits[index] : "?";
}

} // namespace vnx::dsf
