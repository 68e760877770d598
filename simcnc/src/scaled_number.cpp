#include "scaled_number.h"

#include <cmath>
#include <cstdint>

namespace tavrin::simcnc::detail {

namespace {
constexpr std::int64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
}  // namespace

std::string ScaledText(std::int64_t value, int decimals) {
  const bool negative = value < 0;
  std::string digits = std::to_string(negative ? -static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value));
  if (decimals > 0) {
    if (digits.size() <= static_cast<std::size_t>(decimals)) {
      digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
  }
  return negative ? "-" + digits : digits;
}

bool ParseDecimalText(const std::string& text, std::int64_t* value, int* decimals) {
  std::size_t at = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    at = 1;
  }
  std::int64_t magnitude = 0;
  int digits = 0;
  int places = -1;  // -1 until the point
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '.' && places < 0 && digits > 0) {
      places = 0;
      continue;
    }
    if (c < '0' || c > '9' || ++digits > 18) return false;
    magnitude = magnitude * 10 + (c - '0');
    if (places >= 0) ++places;
  }
  if (digits == 0 || places == 0 || places > kMaxTextDecimals) return false;
  *value = negative ? -magnitude : magnitude;
  *decimals = places < 0 ? 0 : places;
  return true;
}

bool ScaleDouble(double number, int decimals, std::int64_t* value, int* decimals_out) {
  if (!std::isfinite(number)) return false;
  const int first = decimals < 0 ? 0 : decimals;
  const int last = decimals < 0 ? kMaxTextDecimals : decimals;
  if (first > kMaxTextDecimals) return false;
  for (int places = first; places <= last; ++places) {
    const double scaled = number * static_cast<double>(kPowers[places]);
    if (std::fabs(scaled) > 9.0e15) return false;
    const double whole = std::nearbyint(scaled);
    // A number written with these places differs from a whole one only by
    // the rounding of its double, far below a real digit of the fraction.
    if (std::fabs(scaled - whole) <= 1e-12 * std::fmax(1.0, std::fabs(scaled))) {
      *value = static_cast<std::int64_t>(whole);
      *decimals_out = places;
      return true;
    }
  }
  return false;
}

bool Rescale(std::int64_t* value, int decimals, int wanted) {
  if (wanted < decimals || wanted - decimals > kMaxTextDecimals) return false;
  const std::int64_t factor = kPowers[wanted - decimals];
  if (*value > INT64_MAX / factor || *value < -(INT64_MAX / factor)) return false;
  *value *= factor;
  return true;
}

}  // namespace tavrin::simcnc::detail
