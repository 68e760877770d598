#include "tavrin/util/numeric.h"

#include <cmath>
#include <cstdint>

extern "C" tavrin_long TAVRIN_CALL lib_RoundValue(double value) {
  double whole = std::floor(value);
  // A value that is not a number or whose floor does not fit gives 0 rather
  // than the undefined conversion.
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return 0;
  auto result = static_cast<std::int32_t>(whole);
  // The remainder carries the sign of the value, so a negative value is never
  // raised; a remainder that is not a number compares false.
  if (std::fmod(value, 1.0) >= 0.5) {
    result = static_cast<std::int32_t>(static_cast<std::uint32_t>(result) + 1u);
  }
  return result;
}

extern "C" tavrin_long TAVRIN_CALL lib_LongPow(short base, short exponent) {
  if (exponent == 0) return 1;
  if (exponent < 2) return base;
  // Multiply in unsigned 32-bit so that overflow wraps modulo 2^32 as the CNC
  // tools expect, without undefined behaviour.
  std::uint32_t result = static_cast<std::uint32_t>(static_cast<std::int32_t>(base));
  for (short i = 1; i < exponent; ++i) {
    result *= static_cast<std::uint32_t>(static_cast<std::int32_t>(base));
  }
  return static_cast<std::int32_t>(result);
}

extern "C" double TAVRIN_CALL lib_DoublePow(short base, short exponent) {
  if (exponent == 0) return 1.0;
  if (exponent < 2) return static_cast<double>(base);
  double result = base;
  for (short i = 1; i < exponent; ++i) result *= base;
  return result;
}

extern "C" double TAVRIN_CALL lib_ConvertMmInch(bool inch) { return inch ? 25.4 : 1.0; }
