// Bit masks of PMC and parameter bytes.
#ifndef TAVRIN_NC_BIT_MASK_H
#define TAVRIN_NC_BIT_MASK_H

namespace tavrin {

// The mask 2^bit of a bit within a byte; a bit number outside 0..7 selects no
// bit of the byte (mask 0).
constexpr unsigned char BitMask(short bit) {
  return (bit >= 0 && bit <= 7) ? static_cast<unsigned char>(1u << bit) : 0;
}

// The byte with the bit set when `set` is true and cleared otherwise; the
// other seven bits are kept.
constexpr unsigned char ChangeBit(unsigned char byte, short bit, bool set) {
  return set ? static_cast<unsigned char>(byte | BitMask(bit)) : static_cast<unsigned char>(byte & ~BitMask(bit));
}

// True when a flag passed by the application holds exactly 1.  Callers in
// other languages may pass any byte as a bool; only 1 sets a bit, every other
// value clears it, so the stored byte is looked at as it is.
inline bool IsExactlyOne(const bool& flag) {
  return *reinterpret_cast<const volatile unsigned char*>(&flag) == 1;
}

}  // namespace tavrin

#endif
