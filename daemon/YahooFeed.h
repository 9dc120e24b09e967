// Conversion of the forecast service's RSS answer into a forecast record.
#pragma once

#include "daemon/ByteBuffer.h"
#include "daemon/ForecastRecord.h"

namespace ombrelo {

// Fills temp, code, rdate and days; what cannot be found keeps its initial value.
void load_from_yahoo(ForecastRecord& record, const ByteBuffer& body);

} // namespace ombrelo
