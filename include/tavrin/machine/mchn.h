// The machine object: the machine's operating state, identity and tool data.
//
// A CLibMchn holds a copy of a CNC library handle (opened and freed by the
// application, lib_GetNcLibHandle / lib_FreeHandle) and nothing else.  Every
// member goes to the CNC at once; nothing is cached, no member shows or logs
// anything except the tool count members named below, and failures are
// results, never exceptions.
//
// Operation signals.  The operator panel's switches and requests are bits in
// the PMC's D area that the PMC program reads; the CNC reports what is in
// force in F bits and K keep relays.  Each switch or request is one read of
// its byte (pmc_rdpmcrng: data type 0, start = end = the byte, length 9) and,
// for setters and requests, one write of the whole record as read with only
// the one bit changed (pmc_wrpmcrng, length 9).  When the read fails nothing
// is written.  Setters set the bit for true and clear it for false; requests
// only ever set theirs (the PMC program clears them).
//
//   switch / request                  written      read back from
//   simulation                        D9550.0      D9550.0
//   dry run                           D9550.1      F2.7  (CNC status)
//   single block                      D9550.2      F4.3  (CNC status)
//   automatic start button down       D9550.3      D9151.3 (GetCycleStatus)
//   feed hold button down             D9550.4      F0.3 / F1000.3 / F2000.3 per path
//   optional stop                     D9550.5      D9550.5
//   work coordinate preset request    D9550.6      D9551.2
//   simulation reset request          D9550.7      D9551.0 (reset), D9551.1 (reference)
//   machine lock                      D81.0        F4.1  (CNC status)
//   program check                     D25.0        D25.0
//   idle                              D6045.0      D6045.0
//   left chuck check                  D6045.1      D6045.1
//   right chuck check                 D6045.2      D6045.2
//   hand check                        D6045.3      D6045.3
//   six-digit T code                  D9694.3      D9694.3
//   3D check mode change request      D9700.1      K12.4
//   selected path                                  K0.1, K30.1, K60.1
//   memory mode                                    K10.6
//
// A setter's read and write are two CNC calls: a change the PMC program makes
// to another bit of the same byte in between is overwritten.
//
// Paths.  A path selected with cnc_setpath stays selected on the handle and is
// never restored.  GetMchnSeries, GetMagazineStMax, IsInch and
// GetMachineSerialNo select path 1; GetStationNum, GetCncMode,
// GetToolOffsetXRad and the path overloads of the tool count members select
// the path they are given.  Every other member leaves the selection alone;
// GetDispOrderIdx and IsToolNagasaInput read the path that is selected.
//
// Return codes are FOCAS2 codes (tavrin/nc/return_codes.h), 0 for success,
// or the code of the NC function used (lib_ReadPCode and the lib_ PMC calls).
//
// Output pointers and name buffers are not checked: they must point to
// storage of the size given.
#ifndef TAVRIN_MACHINE_MCHN_H
#define TAVRIN_MACHINE_MCHN_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

/* Size of the text buffers of GetMchnSeries and GetMachineSerialNo. */
#define TAVRIN_MCHN_TEXT_SIZE 256
/* Tool count members: tool number above the largest one of the layout. */
#define TAVRIN_MCHN_TOOL_OUT_OF_RANGE (-1000)
/* Style of the unsupported-version message box: OK button only. */
#define TAVRIN_MCHN_BOX_STYLE 0x0u

#ifdef __cplusplus

class TAVRIN_CLASS CLibMchn {
 public:
  /* An object without a usable handle (it holds 0, which FOCAS2 refuses)
   * until another CLibMchn is assigned to it. */
  CLibMchn();
  /* Keeps a copy of handle; the object never frees it. */
  CLibMchn(unsigned short handle);
  /* Copies share the same CNC connection. */
  CLibMchn(const CLibMchn& other);
  CLibMchn& operator=(const CLibMchn& other);
  /* Releases nothing. */
  virtual ~CLibMchn();

  /* --- Switches: true sets the bit, false clears it (see the table above).
   * No result: a failed read writes nothing, a failed write is not told. */
  void SetSimulationMode(bool on);
  void SetMachineLock(bool on);
  void SetProgramCheck(bool on);
  void SetIdelMode(bool on);
  void SetLChuckCheck(bool on);
  void SetRChuckCheck(bool on);
  void SetHandCheck(bool on);
  void SetDryRunMode(bool on);
  void SetSingleBlockMode(bool on);
  void SetAutoReadyBtnDownSignal(bool on);
  void SetStopFeedBtnDownSignal(bool on);
  void SetOptionalStopMode(bool on);
  void SetT6ketaMode(bool on);

  /* --- Requests: set their bit and never clear it.  No result. */
  void RequireExecWorkCoordinatePreset();
  void RequireExecSimuResetProc();
  void RequireChange3dchkMode();

  /* --- Status bits (see the table above).  Each returns the bit; false
   * also when the read fails, so a failure and a clear bit look alike. */
  bool GetSimulationMode();
  bool GetMachineLock();
  bool GetProgramCheck();
  bool GetIdelMode();
  bool GetLChuckCheck();
  bool GetRChuckCheck();
  bool GetHandCheck();
  bool GetDryRunMode();
  bool GetSingleBlockMode();
  bool GetCycleStatus();
  bool GetOptionalStopMode();
  bool GetWorkCoordinatePreset();
  bool GetSimuResetProcStatus();
  bool GetSimuRefProcStatus();
  bool Get3dchkMode();
  bool GetT6ketaMode();
  /* Feed hold state of a path: bit 3 of F(1000 * path - 1000), the address
   * computed in 16 bits; the path is not checked (a path the CNC lacks reads
   * outside the F area and gives false).  No path is selected. */
  bool GetStopFeed(short path);

  /* The selected path: K0, K30 and K60 are read in that order and the first
   * with bit 1 set decides (1, 2 or 3); 0 when none has it; -1 when a read
   * fails before one with the bit set was found. */
  short GetSelectedPath();
  /* Memory mode: K10 bit 6 as 0 or 1; -1 when the read fails. */
  short GetMemMode();

  /* --- Identity and configuration ----------------------------------------
   * GetMchnSeries: selects path 1, reads the series code (parameter 7283,
   * signed byte) and copies its name into name (256 bytes; the name is at
   * most 255 characters and terminated):
   *   6 "Alder Series" when the model code D4005 is 3, else "Birch Series"
   *     (D4005 is read only for code 6), 40 "Cedar Series",
   *   50 "Dogwood Series", 51 "Elm Series", 52 "Fir Series",
   *   53 "Gum Series", 56 "Hazel Series", 57 "Ilex Series",
   *   61 "Juniper Series", 62 "Kauri Series", any other code "" (result 0).
   * Returns 0, or the code of the first failing call (path selection,
   * parameter read, D4005 read); name is then untouched. */
  short GetMchnSeries(char* name);
  /* Machine type code: PMC byte D7688 sign-extended (200 gives -56); -1 when
   * the read fails. */
  short GetMchnType();
  /* Machine model code: PMC byte D4005 sign-extended; -1 when the read fails. */
  short GetMchnModel();
  /* B rotation: true when PMC byte D4006 is not 0; false when the read fails. */
  bool GetBRot();
  /* Largest magazine station number: selects path 1 and returns parameter
   * 7257 sign-extended; 0 when either call fails. */
  short GetMagazineStMax();
  /* Maintenance product version: macro variable 10434.  When the read fails
   * its return code is returned as the version (for example -16.0). */
  double GetMindrVersion();
  /* Machine serial number: selects path 1 (its result is not looked at) and
   * appends to the text already in text (256 bytes, terminated, normally
   * empty) four characters from each of the variables 10435, 10436, 10437:
   * the value truncated to a 32-bit integer is read as four two-digit
   * character codes, highest pair first (65666768 gives "ABCD"); a pair 00
   * adds nothing, and nothing is appended beyond 255 characters.
   * Returns 0, or the code of the first failing variable read, with the
   * characters of the variables read before it left in text. */
  short GetMachineSerialNo(char* text);
  /* Station number of a path: selects the path, reads variable 10910
   * (cnc_rdpmacro) and returns its mantissa divided by lib_LongPow(10,
   * decimal places), truncated toward zero, as a short.  -1 when the path
   * cannot be selected, the read fails, or the variable has no decimal
   * places; 0 when the power of ten wraps to 0 in 32 bits (32 decimal places
   * or more). */
  short GetStationNum(short path);
  /* The CNC's automatic/manual mode selection (third field of the status
   * record, cnc_statinfo) on the given path, which is selected first.
   * Returns the path selection's code when it fails, -1 when the status read
   * fails. */
  short GetCncMode(short path);
  /* Inch input: selects path 1 and returns bit 2 of parameter 0; false when
   * either call fails. */
  bool IsInch();
  /* Tool length input: bit 1 of parameter 7292 (read with length 6) on the
   * selected path; false when the read fails. */
  bool IsToolNagasaInput();
  /* Axis index (0-based) shown at position (0 to 31) of the display order
   * list of the selected path.  The list is built from the axis count
   * (cnc_rdaxisname), the display order number of each axis (parameter
   * 3130, signed byte per axis) and its hidden flag (parameter 3115 bit 0):
   *  - when no axis has an order number above 0, the axes that are not
   *    hidden, in index order;
   *  - otherwise, for v = 1 up to the largest order number, the lowest axis
   *    holding v, unless it is hidden.  An order number held by no axis is
   *    skipped and the walk goes on with the next one, so it always ends
   *    after at most the largest order number steps.  Axes with an order
   *    number of 0 or below, and all but the lowest of axes sharing one,
   *    are not in the list.
   * Returns the entry, 0 for a position beyond the list or outside 0 to 31
   * (the same value as axis 0), -1 when any of the three reads fails. */
  short GetDispOrderIdx(short position);
  /* Reset in progress: false only when D9150 bit 0 is set and D9386 bit 1 is
   * clear; true when either read fails. */
  bool IsResetProcessing();

  /* --- Magazine and ATC data (entries are not range-checked; addresses are
   * computed in 16 bits) ----------------------------------------------------
   * Station at which a tool is taken out of the left magazine, from the word
   * R6836: s = value + 3, less stations / 2 when s is above stations / 2.
   * Returns 0 with *station set, or the read's code with *station untouched. */
  short GetRemoveLMagazineStNo(short stations, short* station);
  /* The same for the right magazine, from the word E7350: s = value + 3, less
   * stations / 2 when s is above stations (the whole count). */
  short GetRemoveRMagazineStNo(short stations, short* station);
  /* T code number of ATC entry i: the two-word E(7996 + 4i) (least
   * significant byte first).  Returns the write's code. */
  short SetAtcTCodeNo(short entry, tavrin_long tcode);
  /* Reads the four bytes E(7996 + 4i) to E(7999 + 4i).  Returns 0 with
   * *tcode set, or the read's code with *tcode set to 0. */
  short GetAtcTCodeNo(short entry, tavrin_long* tcode);
  /* Tool type (0 to 63) of ATC entry i: bits 2 to 7 of E(9318 + 2i); bits 0
   * and 1 are kept as read.  Returns the read's code when it fails (nothing
   * written), else the write's code. */
  short SetAtcToolType(short entry, short type);
  /* Returns 0 with *type set to bits 2 to 7, or the read's code with *type
   * untouched. */
  short GetAtcToolType(short entry, short* type);
  /* Large-diameter flag of ATC entry i: bit 0 of E(9318 + 2i), set only by
   * a flag of exactly 1 (lib_WritePmcParam_Bit).  Returns its code. */
  short SetAtcLargeDiam(short entry, bool large);
  /* Returns lib_ReadPmcParam_Bit's code; *large untouched on failure. */
  short GetAtcLargeDiam(short entry, bool* large);

  /* --- Tool counting --------------------------------------------------------
   * Tool count status: bits 0 and 1 of parameter 7250 on the selected path.
   * Mode 0 clears both, 1 clears bit 1, 2 clears bit 0, any other mode
   * changes nothing; no mode sets a bit.  The parameter is written back for
   * every mode.  Returns the read's code when it fails (nothing written),
   * else the write's code. */
  short SetToolCountStatus(short mode);
  /* Returns 0 with *status set to bits 0 and 1 (0 to 3), or the read's code
   * with *status untouched. */
  short GetToolCountStatus(short* status);

  /* Count setting and count addition of tool number T, in macro variables
   * whose layout follows the maintenance product version v:
   *   v below 7.1: not supported;
   *   7.1 to below 10.1: tools up to 128, setting 13470 + T, addition 10660 + T;
   *   10.1 and above: tools up to 400, setting 14599 + T, addition 14999 + T.
   * The path overloads select the path (returning its code when that fails)
   * and read v from variable 10434 as GetMindrVersion does: when that read
   * fails its code stands for v, so a negative code counts as unsupported
   * and a positive one as that version number.  The version overloads
   * take v from the caller and select nothing; a v that is not a number
   * counts as unsupported.
   * Unsupported version: GetToolCountSetting, SetToolCountAddition and
   * GetToolCountAddition show the message "QV MINDRのバージョンが対応していません。"
   * (OK button, no caption, waits for the operator) through the message
   * seam; SetToolCountSetting shows nothing.  Nothing is read or written,
   * the output is untouched, and the result is 0 from the path overloads,
   * DLL_FOCAS2_FUNCRET_INIT (32767) from the version overloads.
   * T above the largest tool number: TAVRIN_MCHN_TOOL_OUT_OF_RANGE (-1000),
   * nothing read or written, no message.  T is not checked from below; the
   * variable number is taken as a signed 16-bit number.
   * Otherwise: the Set members return lib_WritePCode's code; the Get members
   * store the value read (0.0 when the read fails) and return
   * lib_ReadPCode's code.
   * A plain int literal as the first argument is ambiguous between the two
   * overloads: pass a short path or a double version. */
  short SetToolCountSetting(short path, short tool, double value);
  short SetToolCountSetting(double version, short tool, double value);
  short GetToolCountSetting(short path, short tool, double* value);
  short GetToolCountSetting(double version, short tool, double* value);
  short SetToolCountAddition(short path, short tool, double value);
  short SetToolCountAddition(double version, short tool, double value);
  short GetToolCountAddition(short path, short tool, double* value);
  short GetToolCountAddition(double version, short tool, double* value);

  /* X tool offsets as radius values: selects the path and reads bit 1 of
   * parameter 5004.  Returns 0 with *radius set to 1 or 0, or the code of the
   * failing call with *radius untouched. */
  short GetToolOffsetXRad(short path, int* radius);

 private:
  unsigned short m_handle;
};

#endif

#endif
