#pragma once

// Names, dimensions and units that channel definitions print.

#include "dsfWriter/DsfWriter.h"

namespace vnx::dsf {

/// "LIN_ACC" and so on; "UNKNOWN" for an id outside the vocabulary.
const char* columnName(DsfWriter::ColumnType_e type);
/// "xyz", "wxyz", ...; "?" for an id outside the vocabulary.
const char* columnDims(DsfWriter::ColumnType_e type);
/// "m/s^2", "ADC", ..., "" for UNIT_NONE; "?" outside the vocabulary.
const char* unitName(DsfWriter::Units_e unit);

} // namespace vnx::dsf
