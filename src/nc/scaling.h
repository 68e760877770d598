// Conversions between doubles and the CNC's scaled 32-bit integers.
#ifndef TAVRIN_NC_SCALING_H
#define TAVRIN_NC_SCALING_H

#include <cmath>
#include <cstdint>

namespace tavrin {

// Truncates toward zero to a signed 32-bit integer.  Values beyond the range
// are clamped to it and a value that is not a number gives 0, so no
// conversion is ever undefined.
inline std::int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

}  // namespace tavrin

#endif
