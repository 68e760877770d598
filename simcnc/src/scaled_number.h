// Numbers with decimal places as the machine description file writes them:
// the CNC's pair (m, d), standing for m / 10^d, to decimal text and back.
#ifndef TAVRIN_SIMCNC_SCALED_NUMBER_H
#define TAVRIN_SIMCNC_SCALED_NUMBER_H

#include <cstdint>
#include <string>

namespace tavrin::simcnc::detail {

constexpr int kMaxTextDecimals = 9;

// "2.5" for (25, 1), "-0.005" for (-5, 3), "7" for (7, 0), "2.50" for
// (250, 2): exactly d digits after the point.  decimals must be 0..9.
std::string ScaledText(std::int64_t value, int decimals);

// Reads decimal text such as "-12.340" exactly: the digits as *value and the
// digits after the point as *decimals.  False for anything else, or for
// more than 9 decimals or 18 digits.
bool ParseDecimalText(const std::string& text, std::int64_t* value, int* decimals);

// Brings a number read as a double to (m, d): with `decimals` 0..9 it must be
// whole at that many places; with -1 the fewest places (up to 9) at which it
// is whole are taken.  False when it is not whole at those places.
bool ScaleDouble(double number, int decimals, std::int64_t* value, int* decimals_out);

// Brings (value, decimals) to `wanted` decimals (more places only: 1.5 with
// 3 becomes 1500).  False when wanted is fewer than decimals.
bool Rescale(std::int64_t* value, int decimals, int wanted);

}  // namespace tavrin::simcnc::detail

#endif
