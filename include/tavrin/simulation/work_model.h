// CLibWorkModel: the workpiece of one spindle in the collision-check
// simulation's files.
//
// The workpiece is the "stock" element of the spindle's lathe assembly
// (outside its jaws).  IsDefine looks for it in the machine file named by the
// simulation settings' "filepath"; GetPosZ reads its Z position (the 15th
// number of its matrix lines, the last one wins) from the assembly file
// beside it.  SetPosZ writes the new Z into the assembly file and moves the
// workpiece by the same distance in the machine file: there it writes
// z - (Z of the assembly file) + (Z of the machine file), each present Z
// counting as 0.0 when its file holds none.  GetOriginDist reads the
// workpiece origin distance of the side ("WorkOriginL" or "WorkOriginR" of
// section "Work Start Pos. Setting" of the simulation's CustomSetting.ini,
// 0.0 when missing or not a number).  Every call reads the settings and the
// files anew; the object holds only its side.
//
// A side letter 'R' makes a right-spindle object; every other letter, and
// the default constructor, a left one.
//
// Failures: with no "filepath" GetPosZ shows the message "InitPosZErr" (OK,
// exclamation, topmost, through the message seam of tavrin/message.h) and
// gives 0.0; SetPosZ shows it twice (once for each file it reads) and gives
// -1; IsDefine is false without a message.  A file that cannot be opened
// makes IsDefine false, GetPosZ 0.0 and SetPosZ -1.  Without a workpiece on
// the side SetPosZ gives 0 (both files written anew unchanged).  SetPosZ
// rewrites each file through a temporary file that replaces it in one step,
// the assembly file first: a failure leaves the file being rewritten
// unchanged (its temporary file may stay), and a failure at the machine file
// leaves the assembly file rewritten already.
#ifndef TAVRIN_SIMULATION_WORK_MODEL_H
#define TAVRIN_SIMULATION_WORK_MODEL_H

#include "tavrin/export.h"
#include "tavrin/simulation/xml.h"

class TAVRIN_CLASS CLibWorkModel {
 public:
  CLibWorkModel();
  explicit CLibWorkModel(char side);
  CLibWorkModel(const CLibWorkModel& other);
  CLibWorkModel& operator=(const CLibWorkModel& other);
  virtual ~CLibWorkModel();

  bool IsLside() const;
  bool IsDefine() const;
  // 0 when both files were replaced, -1 at the first failure.
  short SetPosZ(double z);
  // The workpiece's Z position in the assembly file; 0.0 when it cannot be read.
  double GetPosZ() const;
  double GetOriginDist() const;

 private:
  void SetLside(char side);
  short SetPos(double value, short mode);
  // selector "ovx": the assembly file; "ovp": the machine file; any other
  // counts as a file that cannot be opened.
  short GetCurrentPos(double* value, const char* selector, short mode) const;
  double GetMatrixVal(char* line, CLibXmlinf* info, short mode) const;
  short SetMatrixVal(char* line, CLibXmlinf* info, CLibXml* writer, short mode, double value) const;

  bool left_side_;
};

#endif
