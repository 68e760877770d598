// CLibSimuModule: control of the collision-check simulation application.
//
// The simulation is a separate program installed in the fixed folder
// "C:\QvApplication\Qv Crash Preview\" (program Orvex.exe, settings file
// Orvex.ini).  This object starts it, closes its main window, and sets or
// reads two bits of the PMC byte D9693 for it:
//
//   bit 3 (0x08)  redraw request               set by RequireSimuRedraw only;
//                                              nothing in the library clears it
//   bit 6 (0x40)  simulation software signal   SetSimulationSoft / GetSimulationSoft
//
// Each signal operation reads D9693 (pmc_rdpmcrng: address type of 'D' from
// lib_GetPmcAddressTypeCode, data type 0, start = end = 9693, length 9),
// changes one bit of the data byte and writes the record back as read
// (pmc_wrpmcrng, length 9).  When the read fails nothing is written.  A change
// that the PMC program makes to D9693 between the read and the write is lost.
//
// The object holds a copy of the CNC library handle (opened and freed by the
// application) and the debug flag of the last start; it remembers no process
// and no window, and reads the settings file anew on every call.
//
// Starting the program (StartSimulationSoft):
//   Windows  CreateProcessA(no application name, "C:\QvApplication\Qv Crash
//            Preview\Orvex.exe" or the same followed by " /debug", no handle
//            inheritance, NORMAL_PRIORITY_CLASS, the caller's environment,
//            folder "C:\QvApplication\Qv Crash Preview\"); both handles of
//            the new process are closed at once.
//   Linux    the program named with lib_SetSimulationProgram, else by the
//            environment variable TAVRIN_SIMULATION, run without a shell, with the one argument "/debug" for a debug
//            start; when it is not set, "wine" from the PATH with the Windows
//            program path (and "/debug").  Its working folder is the fixed
//            folder mapped onto the file system (tavrin's drive mapping:
//            TAVRIN_DRIVE_C, else Wine's drive C:).  The program is started
//            through an intermediate process that ends at once, so it never
//            becomes a child (nor a zombie) of the application; it inherits no
//            descriptor beyond standard input, output and error.
//   Nothing waits for the program; a program that cannot start goes
//   unnoticed.
//
// Closing its window (EndSimulationSoft): the machine file's name is taken
// from the settings value "filepath" (the text after its last backslash, up to
// and including its last 'p', as in "Lathe1.ovp"); the window titled
// "<name> - QV Cell Desk" (argument true) or "<name> - QV Impact Ward" (false)
// is asked to close, and the call waits, looking again every 100 ms, until no
// window has that title.  There is no time limit: a simulation that keeps its
// window open keeps the caller waiting.
//   Windows  FindWindowA(no class, title); PostMessageA(WM_CLOSE, 0, 0).
//   Linux    the X display named by DISPLAY (libX11, loaded when needed): a
//            top-level window whose _NET_WM_NAME, else WM_NAME, is exactly the
//            title; it is sent the client message WM_DELETE_WINDOW of the
//            WM_PROTOCOLS protocol (Wine turns it into WM_CLOSE for a Windows
//            program).  Without DISPLAY, libX11 or a reachable display the
//            call returns at once, as when no window has the title.
#ifndef TAVRIN_SIMULATION_SIMU_MODULE_H
#define TAVRIN_SIMULATION_SIMU_MODULE_H

#include "tavrin/export.h"

/* Largest buffer size GetSimuAplSettingFilePath uses (260 characters and the
 * terminator); larger sizes are lowered to it. */
#define TAVRIN_SIMU_PATH_SIZE 261
/* GetSimuAplSettingFilePath kinds. */
#define TAVRIN_SIMU_MACHINE_FILE 0
#define TAVRIN_SIMU_ASSEMBLY_FILE 1

#ifdef __cplusplus

class TAVRIN_CLASS CLibSimuModule {
 public:
  /* Handle 0 (which FOCAS2 refuses) and debug flag false. */
  CLibSimuModule();
  /* Keeps a copy of handle; the object never frees it.  Debug flag false. */
  CLibSimuModule(unsigned short handle);
  /* Copy the handle and the debug flag. */
  CLibSimuModule(const CLibSimuModule& other);
  CLibSimuModule& operator=(const CLibSimuModule& other);
  /* Releases nothing. */
  virtual ~CLibSimuModule();

  /* Sets the redraw request D9693 bit 3.  Returns the read's FOCAS2 code
   * when the read fails (nothing written), else the write's code. */
  short RequireSimuRedraw();

  /* Starts the simulation, with " /debug" when debug is true, and stores
   * debug in the debug flag (also when the start failed).  No result; see
   * the top of this header for what is started where. */
  void StartSimulationSoft(bool debug);

  /* Closes the simulation's window: "... - QV Cell Desk" when cell_desk is
   * true, "... - QV Impact Ward" when false, and returns once it is gone.
   * Returns at once when the settings file or "filepath" is missing, when its
   * value contains "Error", has no backslash or no 'p', when the title
   * would not fit 99 characters (a machine file name of more than 82), or
   * when no window bears the title.  May wait for ever (see above). */
  void EndSimulationSoft(bool cell_desk);

  /* The argument of the last StartSimulationSoft (false before the first). */
  bool IsDebugMode();

  /* Sets (true) or clears (false) the simulation software signal D9693 bit
   * 6.  A failed read writes nothing; no failure is reported. */
  void SetSimulationSoft(bool on);

  /* The simulation software signal D9693 bit 6; false when the read fails. */
  bool GetSimulationSoft();

  /* Writes the machine file's name ("filepath" as read, kind 0 or any kind
   * but 1) or the assembly file's name (kind 1: drive, folder and base name of
   * "filepath" with ".ovx") into path, terminated.  size is the buffer's size
   * in bytes; sizes above 261 count as 261.  Returns true when the name was
   * written.  False, with path untouched, when "filepath" is missing or
   * empty, when path is null or size < 1, when the name does not fit size
   * (with its terminator), or when the assembly name cannot be built. */
  bool GetSimuAplSettingFilePath(char* path, short size, short kind);

 private:
  unsigned short handle_;
  bool debug_;
};

#endif

#endif
