// Conversion of the forecast service's RSS answer into a forecast record.
#pragma once

#include "daemon/ByteBuffer.h"
#include "daemon/ForecastRecord.h"

namespace ombrelo {

// Fills temp, code, rdate, days and the sample mark; what cannot be found keeps its
// initial value. False when the body is no forecast: neither the current condition nor
// any day could be read.
bool load_from_yahoo(ForecastRecord& record, const ByteBuffer& body);

} // namespace ombrelo
