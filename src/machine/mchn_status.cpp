// The machine's status in one reading (tavrin/machine/mchn_status.h): the
// PMC bytes of the status table, each read once, neighbours of one letter in
// one ranged read.
#include "tavrin/machine/mchn_status.h"

#include <cstring>
#include <initializer_list>

#include "focas2/focas2.h"
#include "tavrin/nc/handles.h"
#include "tavrin/nc/pmc.h"
#include "tavrin/nc/return_codes.h"

namespace focas = tavrin::focas;

namespace {

constexpr short kByteData = 0;
constexpr unsigned kHeaderBytes = 8;
constexpr unsigned kMaxRangeBytes = sizeof(focas::PmcRecord{}.data);

// One ranged read of the bytes first..last of one letter, and what came of it.
struct PmcRange {
  char letter;
  unsigned short first;
  unsigned short last;
  unsigned char bytes[kMaxRangeBytes];
  bool byte_read[kMaxRangeBytes];
};

// A ranged read that the CNC refuses for its shape (a byte it does not hold,
// a length it does not take) is read again byte by byte.
bool RefusedForItsShape(short code) { return code == EW_LENGTH || code == EW_NUMBER || code == EW_ATTRIB; }

// Reads a range; returns 0, or the code of its first failing read.
short ReadRange(unsigned short handle, PmcRange* range) {
  const unsigned count = range->last - range->first + 1u;
  const short type = lib_GetPmcAddressTypeCode(range->letter);
  std::memset(range->byte_read, 0, sizeof range->byte_read);
  focas::PmcRecord record;
  std::memset(&record, 0, sizeof record);
  short code = focas::pmc_rdpmcrng(handle, type, kByteData, range->first, range->last,
                                   static_cast<unsigned short>(kHeaderBytes + count), &record);
  if (code == 0) {
    for (unsigned i = 0; i < count; ++i) {
      range->bytes[i] = static_cast<unsigned char>(record.data.byte_data[i]);
      range->byte_read[i] = true;
    }
    return 0;
  }
  if (count == 1 || !RefusedForItsShape(code)) return code;
  short first_failure = 0;
  for (unsigned i = 0; i < count; ++i) {
    auto address = static_cast<unsigned short>(range->first + i);
    std::memset(&record, 0, sizeof record);
    short one = focas::pmc_rdpmcrng(handle, type, kByteData, address, address, kHeaderBytes + 1, &record);
    if (one == 0) {
      range->bytes[i] = static_cast<unsigned char>(record.data.byte_data[0]);
      range->byte_read[i] = true;
    } else if (first_failure == 0) {
      first_failure = one;
    }
  }
  return first_failure;
}

// The reading: ranges read so far, and the first failure.
class Reading {
 public:
  explicit Reading(unsigned short handle) : handle_(handle) {}

  // Reads a range (once) for the bits that follow.
  void Read(PmcRange* range) {
    short code = ReadRange(handle_, range);
    if (code != 0 && failed_ == 0) failed_ = code;
  }
  // 1 or 0 for a bit of a read range, -1 when its byte was not read.
  static signed char Bit(const PmcRange& range, unsigned short address, int bit) {
    unsigned i = address - range.first;
    if (!range.byte_read[i]) return -1;
    return (range.bytes[i] >> bit) & 1;
  }
  // A bit of a byte of its own, read now.
  signed char ReadBit(char letter, unsigned short address, int bit) {
    PmcRange range{letter, address, address, {}, {}};
    Read(&range);
    return Bit(range, address, bit);
  }
  void Fail(short code) {
    if (failed_ == 0) failed_ = code;
  }
  short failed() const { return failed_; }

 private:
  unsigned short handle_;
  short failed_ = 0;
};

}  // namespace

extern "C" short TAVRIN_CALL lib_ReadMachineStatus(unsigned short handle, TavrinMachineStatus* status) {
  if (status == nullptr) return DLL_FOCAS2_FUNCRET_INIT;
  std::memset(status, -1, sizeof *status);
  Reading reading(handle);

  PmcRange d25{'D', 25, 25, {}, {}};
  PmcRange d6045{'D', 6045, 6045, {}, {}};
  PmcRange d9150{'D', 9150, 9151, {}, {}};
  PmcRange d9386{'D', 9386, 9386, {}, {}};
  PmcRange d9550{'D', 9550, 9551, {}, {}};
  PmcRange d9694{'D', 9694, 9694, {}, {}};
  PmcRange f0{'F', 0, 4, {}, {}};
  PmcRange k0{'K', 0, 12, {}, {}};
  for (PmcRange* range : {&d25, &d6045, &d9150, &d9386, &d9550, &d9694, &f0, &k0}) reading.Read(range);

  status->simulation = Reading::Bit(d9550, 9550, 0);
  status->optional_stop = Reading::Bit(d9550, 9550, 5);
  status->work_preset_done = Reading::Bit(d9550, 9551, 2);
  status->simulation_reset_done = Reading::Bit(d9550, 9551, 0);
  status->simulation_reference_done = Reading::Bit(d9550, 9551, 1);
  status->dry_run = Reading::Bit(f0, 2, 7);
  status->single_block = Reading::Bit(f0, 4, 3);
  status->machine_lock = Reading::Bit(f0, 4, 1);
  status->program_check = Reading::Bit(d25, 25, 0);
  status->idle = Reading::Bit(d6045, 6045, 0);
  status->left_chuck_check = Reading::Bit(d6045, 6045, 1);
  status->right_chuck_check = Reading::Bit(d6045, 6045, 2);
  status->hand_check = Reading::Bit(d6045, 6045, 3);
  status->six_digit_t = Reading::Bit(d9694, 9694, 3);
  status->cycle_running = Reading::Bit(d9150, 9151, 3);
  status->three_d_check_mode = Reading::Bit(k0, 12, 4);
  // The reset is over only when D9150.0 is set and D9386.1 is clear.
  signed char done = Reading::Bit(d9150, 9150, 0);
  signed char still = Reading::Bit(d9386, 9386, 1);
  status->reset_in_progress = done < 0 || still < 0 ? -1 : (done == 0 || still == 1);

  signed char memory = Reading::Bit(k0, 10, 6);
  status->memory_mode = memory;
  // As GetSelectedPath: the first of K0.1, K30.1, K60.1 that is set.
  signed char selected = Reading::Bit(k0, 0, 1);
  if (selected == 1) {
    status->selected_path = 1;
  } else if (selected == 0) {
    const unsigned short others[] = {30, 60};
    status->selected_path = 0;
    for (short i = 0; i < 2; ++i) {
      signed char on = reading.ReadBit('K', others[i], 1);
      if (on != 0) {
        status->selected_path = on < 0 ? -1 : static_cast<short>(i + 2);
        break;
      }
    }
  }

  short paths = -1;
  short code = lib_GetPathMax(handle, &paths);
  if (code != 0) reading.Fail(code);
  status->path_count = code == 0 ? paths : -1;
  for (short path = 1; code == 0 && path <= paths && path <= TAVRIN_STATUS_MAX_PATHS; ++path) {
    status->feed_hold[path - 1] =
        path == 1 ? Reading::Bit(f0, 0, 3) : reading.ReadBit('F', static_cast<unsigned short>(1000 * path - 1000), 3);
  }
  return reading.failed();
}
