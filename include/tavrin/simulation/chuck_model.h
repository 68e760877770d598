// CLibChuckModel: the chuck of one spindle in the collision-check
// simulation's files.
//
// The chuck is the "fixture" element of the spindle's lathe assembly (outside
// its workpiece and its jaws; see the scan rules of the library's model
// scan).  IsDefine looks for it in the machine file named by the simulation
// settings' "filepath"; GetPosZ reads the Z position (the 15th number of its
// matrix lines, the last one wins) from the assembly file beside it; SetPosZ
// writes one Z position into both files.  Every call reads the settings and
// the files anew; the object holds only its side.
//
// A side letter 'R' makes a right-spindle object; every other letter, and
// the default constructor, a left one.
//
// Failures: with no "filepath" or a file that cannot be opened, IsDefine is
// false, GetPosZ 0.0 and SetPosZ -1.  Without a chuck on the side IsDefine is
// false, GetPosZ 0.0 and SetPosZ 0 (both files written anew unchanged).
// SetPosZ rewrites each file through a temporary file that replaces it in one
// step, the assembly file first: a failure leaves the file being rewritten
// unchanged (its temporary file may stay), and a failure at the machine file
// leaves the assembly file rewritten already.
#ifndef TAVRIN_SIMULATION_CHUCK_MODEL_H
#define TAVRIN_SIMULATION_CHUCK_MODEL_H

#include "tavrin/export.h"
#include "tavrin/simulation/xml.h"

class TAVRIN_CLASS CLibChuckModel {
 public:
  CLibChuckModel();
  explicit CLibChuckModel(char side);
  CLibChuckModel(const CLibChuckModel& other);
  CLibChuckModel& operator=(const CLibChuckModel& other);
  virtual ~CLibChuckModel();

  bool IsLside() const;
  bool IsDefine() const;
  // 0 when both files were replaced, -1 at the first failure.
  short SetPosZ(double z);
  // The chuck's Z position in the assembly file; 0.0 when it cannot be read.
  double GetPosZ() const;

 private:
  void SetLside(char side);
  short SetPos(double value, short mode);
  short GetCurrentPos(double* value, short mode) const;
  double GetMatrixVal(char* line, CLibXmlinf* info, short mode) const;
  short SetMatrixVal(char* line, CLibXmlinf* info, CLibXml* writer, short mode, double value) const;

  bool left_side_;
};

#endif
