// The simulated CNC: a strict stand-in for the CNC maker's FOCAS2 library.
//
// libtavrin_simcnc exports the 19 FOCAS2 calls that Tavrin makes, under their
// FOCAS2 names, so that TAVRIN_FOCAS=/path/to/libtavrin_simcnc.so makes any
// Tavrin program run against it.  This header is its control API, for tests,
// examples and tools: describe the machine, look at its state, inject
// failures and read the journal of calls.
//
// One simulated CNC exists per process (a server of several machines makes
// more: see Instance below).  Every function is thread-safe.
//
// How it answers (the FOCAS2 codes of tavrin/nc/return_codes.h).  A call
// checks its handle first, then its pointers, then its other arguments in the
// order listed below, and answers the first fault it finds.  A write whose
// length cannot even hold its record's header gives EW_LENGTH (2) before its
// header is looked at.
//  - Handles: each open gives a new handle, never 0 (any node, address, port
//    and time-out are accepted); a freed handle is unknown; any call on an
//    unknown handle returns EW_HANDLE (-8).  A null pointer where the call
//    needs a record or an output returns EW_DATA (5) and changes nothing.
//  - Paths 1..N; each handle starts on path 1; cnc_setpath outside 1..N
//    returns EW_PATH (11).  Parameters, macro variables, offsets, figures,
//    status and axis names belong to a path; the PMC is shared by all paths.
//  - Parameters: an unknown number gives EW_NUMBER (3); so does an axis that
//    does not fit: 0 on a per-axis parameter, anything but 0 on a parameter of
//    no axis, an axis beyond 32, and -1 (all axes) on a parameter of no axis
//    or on any write.  Then a length other than the kind's (5 bit and byte,
//    6 word, 8 two-word, 12 real; 36, 36, 68, 132, 260 for all axes) gives
//    EW_LENGTH (2).  A real write takes value and decimals from the record;
//    decimals outside 0..9 give EW_DATA (5).
//  - PMC: areas G F Y X A R T K C D E (type codes 0 1 2 3 4 5 6 7 8 9 12) of
//    10000 bytes each; words and two-words least significant byte first.  An
//    unknown address type or data type gives EW_ATTRIB (4); end below start,
//    a range outside the area or not a whole number of values EW_NUMBER (3);
//    a length other than 8 + the range's bytes, or more than the record's 20
//    data bytes, EW_LENGTH (2).  Reads fill the data and the header.
//  - Macro variables 1..99999: one never set reads as m = 0, d = 0; a number
//    outside that range, or a range whose last is below its first, gives
//    EW_NUMBER (3); a range length other than 12 + 8 x count EW_LENGTH (2);
//    a write with decimals outside 0..9 EW_DATA (5), and a range write with
//    one such entry writes none.
//  - Tool offsets: number outside 1..count EW_NUMBER (3), type outside 0..9
//    EW_ATTRIB (4), length other than 8 EW_LENGTH (2).
//  - cnc_getfigure knows data kind 1 only; any other gives EW_ATTRIB (4).
//  - cnc_rdaxisname: a count (the room, in entries) below 1 gives
//    EW_LENGTH (2); otherwise as many names as the path has and the room
//    holds are filled and the count says how many.
//  - A planned failure (FailNext, FailNth, FailAlways) comes before all of
//    these: the call answers the planned code, even on an unknown handle,
//    and does nothing else.
//
// At first use the machine is the one described in the file named by the
// environment variable TAVRIN_SIMCNC_MACHINE when it is set (an empty
// one-path machine when it is not, or when the file cannot be loaded, which
// is then reported on standard error).
#ifndef TAVRIN_SIMCNC_H
#define TAVRIN_SIMCNC_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tavrin/focas2/calls.h"

#if defined(_WIN32)
#  if defined(TAVRIN_SIMCNC_BUILDING)
#    define TAVRIN_SIMCNC_API __declspec(dllexport)
#  else
#    define TAVRIN_SIMCNC_API __declspec(dllimport)
#  endif
#else
#  define TAVRIN_SIMCNC_API __attribute__((visibility("default")))
#endif

namespace tavrin::simcnc {

// The FOCAS2 calls, for failure injection and the journal: one per entry of
// the list of tavrin/focas2/calls.h, in its order.
enum class Call {
#define TAVRIN_SIMCNC_CALL_ENTRY(name, parameters, arguments) name,
  TAVRIN_FOCAS2_CALLS(TAVRIN_SIMCNC_CALL_ENTRY)
#undef TAVRIN_SIMCNC_CALL_ENTRY
};
#define TAVRIN_SIMCNC_CALL_COUNT(name, parameters, arguments) +1
constexpr int kCallCount = 0 TAVRIN_FOCAS2_CALLS(TAVRIN_SIMCNC_CALL_COUNT);
#undef TAVRIN_SIMCNC_CALL_COUNT
TAVRIN_SIMCNC_API const char* CallName(Call call);
// false when name is not one of the 19 calls.
TAVRIN_SIMCNC_API bool CallFromName(const std::string& name, Call* call);

enum class ParamKind { Bit, Byte, Word, TwoWord, Real };

// The bytes of one value of a parameter of that kind in a FOCAS2 parameter
// record (a real: a value and its decimals, 4 bytes each).
constexpr std::size_t ParamElementSize(ParamKind kind) {
  return kind == ParamKind::Word ? 2 : kind == ParamKind::TwoWord ? 4 : kind == ParamKind::Real ? 8 : 1;
}

// One call as the simulated CNC saw it.  `args` holds the scalar arguments in
// the order of the FOCAS2 prototype, without the handle and without pointers
// (cnc_allclibhndl3 records its address in `text`).  `record_in` holds the
// bytes of the record argument as passed in, `record_out` the same bytes as
// returned: as many as the call's length argument says (never more than the
// call's largest record: 260 for parameters, 28 for the PMC, 8 for offsets),
// 16 for cnc_rdpmacro, 32 for cnc_statinfo, 2 per entry of room (at most 32)
// for cnc_rdaxisname, none for calls without a record and for a null record.
// The journal keeps the last 100000 calls.
struct JournalEntry {
  Call call;
  unsigned short handle;  // 0 for the opens
  std::vector<long long> args;
  std::string text;
  std::vector<unsigned char> record_in;
  std::vector<unsigned char> record_out;
  short result;
};

// --- Machine description ----------------------------------------------------

// Resets to an empty machine: `paths` paths (1..10), no parameters, PMC all
// zero, no macro variables defined (range 1..99999 readable as zero), offsets
// 1..64 zero, figures (valid 9, input 3, output 3), status all zero, no axes,
// no handles, no failures, empty journal, journal on.
//
// The calls below that name a path the machine lacks do nothing (and return
// false).
TAVRIN_SIMCNC_API void Reset(int paths = 1);
TAVRIN_SIMCNC_API int PathCount();

// Defines parameter `number` of `kind` on `path` (replacing one defined
// before); per_axis parameters hold 32 values (axis 1..32), others one
// (axis 0).  Values start at 0 with `decimals` decimal places (reals only).
TAVRIN_SIMCNC_API void DefineParam(int path, short number, ParamKind kind, bool per_axis, int decimals = 0);
// Sets / gets a parameter value (axis 0 for a parameter of no axis).  For
// reals `decimals` is the decimal places of that axis (-1 keeps them).  Both
// return false for an unknown parameter or axis, Set also for a value that
// does not fit the kind (bit and byte -128..255, word -32768..65535; bytes
// and words are kept as the CNC keeps them, so a byte set to 200 reads -56).
TAVRIN_SIMCNC_API bool SetParam(int path, short number, short axis, std::int32_t value, int decimals = -1);
TAVRIN_SIMCNC_API bool GetParam(int path, short number, short axis, std::int32_t* value, int* decimals = nullptr);

// PMC bytes by address letter (G F Y X A R T K C D E) and byte address.
// Returns false for an unknown letter or an address outside the area.
TAVRIN_SIMCNC_API bool SetPmcByte(char letter, unsigned address, std::uint8_t value);
TAVRIN_SIMCNC_API bool GetPmcByte(char letter, unsigned address, std::uint8_t* value);
// Size in bytes of the area of a letter (0 for an unknown letter).
TAVRIN_SIMCNC_API unsigned PmcAreaSize(char letter);

// P-code macro variables: m / 10^d.
TAVRIN_SIMCNC_API bool SetMacro(int path, std::int32_t number, std::int32_t value, short decimals);
TAVRIN_SIMCNC_API bool GetMacro(int path, std::int32_t number, std::int32_t* value, short* decimals);

// Tool offsets: number 1..count, type 0..9.  The count is 0..999; offsets
// that remain keep their values.
TAVRIN_SIMCNC_API void SetOffsetCount(int path, int count);
TAVRIN_SIMCNC_API bool SetOffset(int path, short number, short type, std::int32_t value);
TAVRIN_SIMCNC_API bool GetOffset(int path, short number, short type, std::int32_t* value);

// The decimal figures returned by cnc_getfigure.
TAVRIN_SIMCNC_API void SetFigures(int path, short valid_digits, short input_decimals, short output_decimals);

// The 16 fields of the status record (the mode is field 2); index 0..15.
TAVRIN_SIMCNC_API void SetStatusField(int path, int index, short value);

// Axis names of a path ("X", "Z", "C", "Y", "B" ...; a second character is the
// suffix).  At most 32 are kept; longer names are cut to two characters and
// empty ones left out.
TAVRIN_SIMCNC_API void SetAxisNames(int path, const std::vector<std::string>& names);

// --- Handles -----------------------------------------------------------------

TAVRIN_SIMCNC_API int OpenHandleCount();
// The current path of a handle, 0 for an unknown handle.
TAVRIN_SIMCNC_API int CurrentPath(unsigned short handle);
// What the last successful Ethernet open was given (empty before one).
struct EthernetOpen {
  std::string address;
  unsigned short port;
  std::int32_t timeout;
};
TAVRIN_SIMCNC_API EthernetOpen LastEthernetOpen();

// --- Failure injection ----------------------------------------------------------

// The next call of `call` returns `code` and does nothing else.
TAVRIN_SIMCNC_API void FailNext(Call call, short code);
// The k-th call of `call` from now on (1 = the next one) returns `code`.
TAVRIN_SIMCNC_API void FailNth(Call call, int k, short code);
// Every call of `call` returns `code` until ClearFailures.
TAVRIN_SIMCNC_API void FailAlways(Call call, short code);
TAVRIN_SIMCNC_API void ClearFailures();

// --- Journal --------------------------------------------------------------------

TAVRIN_SIMCNC_API std::vector<JournalEntry> Journal();
TAVRIN_SIMCNC_API void ClearJournal();
// The number of journal entries (cheaper than Journal().size()).
TAVRIN_SIMCNC_API std::size_t JournalSize();
// Journal on or off (on after Reset); off keeps benchmarks cheap.
TAVRIN_SIMCNC_API void SetJournalEnabled(bool enabled);

// --- Machine description files ------------------------------------------------

// Replaces the machine with the one described in a TOML file or text (format:
// see examples/lathe.toml and simcnc/README.md).  On failure the machine is
// unchanged and *error says why ("file:line:column: what"; LoadText names
// its text "text").  Open handles, planned failures and the journal stay;
// a handle on a path the new machine lacks moves to path 1.
TAVRIN_SIMCNC_API bool LoadFile(const std::string& path, std::string* error);
TAVRIN_SIMCNC_API bool LoadText(const std::string& text, std::string* error);
// Writes the whole machine state in the same format (atomically: a temporary
// file beside it, then a rename).
TAVRIN_SIMCNC_API bool SaveFile(const std::string& path, std::string* error);
TAVRIN_SIMCNC_API std::string SaveText();

// Runs fn with the machine loaded from `path` under an exclusive lock, then
// saves it back, so that two processes (or threads) sharing one state file
// do not lose each other's writes.  The lock is taken on the file `path`
// followed by ".lock", made when missing and left in place, because every
// save replaces the state file itself.  Returns false (and *error) when the
// lock cannot be taken or the file cannot be loaded (it must exist) or saved;
// fn is not run when the load fails.
TAVRIN_SIMCNC_API bool WithStateFile(const std::string& path, void (*fn)(void* user), void* user, std::string* error);

// --- Several machines in one process ---------------------------------------------

// A program that serves several simulated machines at once (tavrin-simcnc)
// makes one Instance per machine and selects, for the calling thread, the one
// that every function above and every FOCAS2 call act on.  A thread that has
// selected none acts on the process's own machine, so nothing changes for a
// program that never selects.  A new instance is an empty one-path machine
// (TAVRIN_SIMCNC_MACHINE is not read for it); delete it only while no thread
// has it selected.
class Instance;
TAVRIN_SIMCNC_API Instance* NewInstance();
TAVRIN_SIMCNC_API void DeleteInstance(Instance* instance);
// Selects `instance` (null: the process's own machine) for the calling
// thread; returns the one selected before.
TAVRIN_SIMCNC_API Instance* SelectInstance(Instance* instance);

// Selects an instance for the life of a scope.
class SelectedInstance {
 public:
  explicit SelectedInstance(Instance* instance) : previous_(SelectInstance(instance)) {}
  ~SelectedInstance() { SelectInstance(previous_); }
  SelectedInstance(const SelectedInstance&) = delete;
  SelectedInstance& operator=(const SelectedInstance&) = delete;

 private:
  Instance* previous_;
};

// What a program serving the machine elsewhere needs to know of it without
// making a FOCAS2 call (nothing journaled, no planned failure taken): the
// kind of a parameter (false when the path or parameter is unknown) and the
// number of axes of a path (0 for a path the machine lacks).
TAVRIN_SIMCNC_API bool GetParamKind(int path, short number, ParamKind* kind, bool* per_axis);
TAVRIN_SIMCNC_API int AxisCount(int path);

// --- The control API through a loaded library ------------------------------------

// Every function above as one table, for programs that load the simulated CNC
// by path as their FOCAS2 library (lib_GetFocas2Function) instead of linking
// it: linking it would put a second set of FOCAS2 names into the process.
// Look up "tavrin_simcnc_control" in the loaded library, check `version`,
// and call through the table.  Default arguments do not carry over: pass
// every argument.
constexpr int kControlVersion = 1;
struct Control {
  int version;
  decltype(&CallName) call_name;
  decltype(&CallFromName) call_from_name;
  decltype(&Reset) reset;
  decltype(&PathCount) path_count;
  decltype(&DefineParam) define_param;
  decltype(&SetParam) set_param;
  decltype(&GetParam) get_param;
  decltype(&SetPmcByte) set_pmc_byte;
  decltype(&GetPmcByte) get_pmc_byte;
  decltype(&PmcAreaSize) pmc_area_size;
  decltype(&SetMacro) set_macro;
  decltype(&GetMacro) get_macro;
  decltype(&SetOffsetCount) set_offset_count;
  decltype(&SetOffset) set_offset;
  decltype(&GetOffset) get_offset;
  decltype(&SetFigures) set_figures;
  decltype(&SetStatusField) set_status_field;
  decltype(&SetAxisNames) set_axis_names;
  decltype(&OpenHandleCount) open_handle_count;
  decltype(&CurrentPath) current_path;
  decltype(&LastEthernetOpen) last_ethernet_open;
  decltype(&FailNext) fail_next;
  decltype(&FailNth) fail_nth;
  decltype(&FailAlways) fail_always;
  decltype(&ClearFailures) clear_failures;
  decltype(&Journal) journal;
  decltype(&ClearJournal) clear_journal;
  decltype(&JournalSize) journal_size;
  decltype(&SetJournalEnabled) set_journal_enabled;
  decltype(&LoadFile) load_file;
  decltype(&LoadText) load_text;
  decltype(&SaveFile) save_file;
  decltype(&SaveText) save_text;
  decltype(&WithStateFile) with_state_file;
};
// The type of tavrin_simcnc_control, for a lookup by name.
using ControlFunction = const Control* (*)();

}  // namespace tavrin::simcnc

// The table above; never null.
extern "C" TAVRIN_SIMCNC_API const tavrin::simcnc::Control* tavrin_simcnc_control();

#endif
