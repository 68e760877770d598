// The machine's status and identity in one reading each: every operation
// signal and state of the status table, and the identity a panel or a
// publisher shows, read with as few FOCAS2 calls as the CNC allows.
//
// The individual CLibMchn getters read one PMC byte per signal, and some
// bytes several times (D6045 for four signals).  lib_ReadMachineStatus reads
// each byte it needs once, and neighbouring bytes of one letter in one ranged
// read: D25, D6045, D9150-D9151, D9386, D9550-D9551, D9694, F0-F4, K0-K12,
// and F1000, F2000 ... for the feed hold of paths 2 and up; K30 and K60 only
// when path 1 is not the selected one.  On a real CNC each read is a network
// round trip, so a status refresh costs 9 requests instead of 19 to 21.
//
// For the same PMC contents every field equals what its getter returns.  A
// read that fails marks exactly the fields it feeds as failed (-1), where the
// getter would have given false (or, for the reset, true).  A ranged read the
// CNC refuses (EW_LENGTH, EW_NUMBER, EW_ATTRIB: a range its PMC does not
// hold) is read again byte by byte, so that only the missing bytes fail.
#ifndef TAVRIN_MACHINE_MCHN_STATUS_H
#define TAVRIN_MACHINE_MCHN_STATUS_H

#include "tavrin/export.h"

/* The most paths whose feed hold a reading holds. */
#define TAVRIN_STATUS_MAX_PATHS 10

/* Each signal: 1 on, 0 off, -1 its read failed. */
typedef struct TavrinMachineStatus {
  signed char simulation;                /* D9550.0, GetSimulationMode */
  signed char dry_run;                   /* F2.7, GetDryRunMode */
  signed char single_block;              /* F4.3, GetSingleBlockMode */
  signed char machine_lock;              /* F4.1, GetMachineLock */
  signed char program_check;             /* D25.0, GetProgramCheck */
  signed char optional_stop;             /* D9550.5, GetOptionalStopMode */
  signed char idle;                      /* D6045.0, GetIdelMode */
  signed char left_chuck_check;          /* D6045.1, GetLChuckCheck */
  signed char right_chuck_check;         /* D6045.2, GetRChuckCheck */
  signed char hand_check;                /* D6045.3, GetHandCheck */
  signed char six_digit_t;               /* D9694.3, GetT6ketaMode */
  signed char cycle_running;             /* D9151.3, GetCycleStatus */
  signed char work_preset_done;          /* D9551.2, GetWorkCoordinatePreset */
  signed char simulation_reset_done;     /* D9551.0, GetSimuResetProcStatus */
  signed char simulation_reference_done; /* D9551.1, GetSimuRefProcStatus */
  signed char three_d_check_mode;        /* K12.4, Get3dchkMode */
  signed char reset_in_progress;         /* D9150.0 clear or D9386.1 set, IsResetProcessing */
  /* The CNC's path count (cnc_getpath), -1 when it could not be read; the
   * feed hold (F(1000 x (path - 1)).3, GetStopFeed) of paths 1 up to it
   * (at most TAVRIN_STATUS_MAX_PATHS), -1 beyond. */
  short path_count;
  signed char feed_hold[TAVRIN_STATUS_MAX_PATHS];
  /* As GetSelectedPath: 1 to 3 from K0.1, K30.1, K60.1, 0 none, -1 failed. */
  short selected_path;
  /* As GetMemMode: K10.6, 1 or 0, -1 failed. */
  short memory_mode;
} TavrinMachineStatus;

/* The machine's identity in one reading: what the identity getters of
 * CLibMchn give, with the same values, in fewer calls (#10434 to #10437 in
 * one ranged read, D4005 and D4006 in one, path 1 selected once).  A field
 * whose read failed holds what its getter gives then. */
typedef struct TavrinMachineIdentity {
  char series[256];          /* GetMchnSeries's text ("" when it failed) */
  short series_code;         /* GetMchnSeries's result: 0 or a FOCAS2 code */
  short type;                /* GetMchnType: D7688, -1 when it failed */
  short model;               /* GetMchnModel: D4005, -1 when it failed */
  signed char b_rotation;    /* GetBRot: D4006 not 0 (0 when it failed) */
  short magazine_stations;   /* GetMagazineStMax: parameter 7257 (0 when it failed) */
  double maintenance_version;/* GetMindrVersion: #10434 (its code when it failed) */
  char serial_number[256];   /* GetMachineSerialNo's text: #10435 to #10437 */
  short serial_code;         /* GetMachineSerialNo's result: 0 or a FOCAS2 code */
  signed char inch;          /* IsInch: parameter 0 bit 2 (0 when it failed) */
  short path_count;          /* cnc_getpath, -1 when it failed */
  /* GetStationNum of paths 1 up to path_count (at most
   * TAVRIN_STATUS_MAX_PATHS): #10910 of each path, -1 when it failed or was
   * never set up; -1 beyond. */
  short station[TAVRIN_STATUS_MAX_PATHS];
} TavrinMachineIdentity;

TAVRIN_EXTERN_C_BEGIN

/* Fills *identity for the CNC of `handle`; leaves the last path read
 * selected, as the getters do.  Returns 0 when every read succeeded, else the
 * code of the first that failed; DLL_FOCAS2_FUNCRET_INIT (32767) with nothing
 * read when identity is null. */
TAVRIN_FUNC(short) lib_ReadMachineIdentity(unsigned short handle, TavrinMachineIdentity* identity);

/* Fills *status for the CNC of `handle` (any path selected; the PMC is
 * shared by all paths).  Returns 0 when every field was read, else the code
 * of the first read that failed (its fields, and the others it fed, are -1);
 * DLL_FOCAS2_FUNCRET_INIT (32767) with nothing read when status is null. */
TAVRIN_FUNC(short) lib_ReadMachineStatus(unsigned short handle, TavrinMachineStatus* status);

TAVRIN_EXTERN_C_END

#endif
