// The order in which the axes of the selected path are shown: built anew on
// every call from the axis count, each axis's display order number and its
// hidden flag.
#include "nc/cnc_access.h"
#include "focas2/focas2.h"
#include "tavrin/machine/mchn.h"

namespace machine = tavrin::machine;
namespace focas = tavrin::focas;

namespace {

constexpr short kHiddenParam = 3115;  // bit 0 per axis: not displayed
constexpr short kOrderParam = 3130;   // signed byte per axis: order number
constexpr short kAllAxes = -1;
constexpr short kAllAxesByteLength = 4 + focas::kMaxAxes;

// The axis indices in display order; entries past `length` are 0.
struct DisplayOrder {
  short axes[focas::kMaxAxes] = {};
  int length = 0;

  void Append(short axis) {
    if (length < focas::kMaxAxes) axes[length++] = axis;
  }
};

// Builds the list from n axes, their order numbers and hidden flags.
DisplayOrder BuildOrder(int n, const signed char* order, const unsigned char* flags) {
  DisplayOrder list;
  auto hidden = [&](int axis) { return (flags[axis] & 1) != 0; };

  int largest = 0;
  for (int i = 0; i < n; ++i) {
    if (order[i] > largest) largest = order[i];
  }

  if (largest == 0) {
    // No order set up: the shown axes in index order.
    for (int i = 0; i < n; ++i) {
      if (!hidden(i)) list.Append(static_cast<short>(i));
    }
    return list;
  }

  // For each order number in turn, the lowest axis holding it.  An order
  // number that no axis holds is skipped, so the walk ends at the largest
  // number whatever the parameters say.
  int hidden_count = 0;
  for (int v = 1; v <= largest; ++v) {
    for (int i = 0; i < n; ++i) {
      if (order[i] != v) continue;
      if (hidden(i)) {
        ++hidden_count;
      } else {
        list.Append(static_cast<short>(i));
      }
      break;
    }
    if (list.length == largest - hidden_count || list.length == largest) break;
  }
  return list;
}

}  // namespace

short CLibMchn::GetDispOrderIdx(short position) {
  short count = focas::kMaxAxes;
  focas::AxisNameEntry names[focas::kMaxAxes];
  if (focas::cnc_rdaxisname(m_handle, &count, names) != 0) return -1;
  // Only the number of axes is used; it cannot exceed the 32 asked for.
  int n = count < 0 ? 0 : count > focas::kMaxAxes ? focas::kMaxAxes : count;

  focas::ParamRecord record;
  if (machine::ReadParam(m_handle, kOrderParam, kAllAxes, kAllAxesByteLength, &record) != 0) return -1;
  signed char order[focas::kMaxAxes];
  for (int i = 0; i < focas::kMaxAxes; ++i) order[i] = record.data.byte_data[i];

  if (machine::ReadParam(m_handle, kHiddenParam, kAllAxes, kAllAxesByteLength, &record) != 0) return -1;
  unsigned char flags[focas::kMaxAxes];
  for (int i = 0; i < focas::kMaxAxes; ++i) flags[i] = static_cast<unsigned char>(record.data.byte_data[i]);

  DisplayOrder list = BuildOrder(n, order, flags);
  if (position < 0 || position >= focas::kMaxAxes) return 0;
  return list.axes[position];
}
