// CLibJawModel: the chuck jaws of one spindle in the collision-check
// simulation's files.
//
// Each jaw is a "linearassembly" element of the spindle's lathe assembly,
// wherever it stands in it (inside a workpiece too); every matrix line
// between a jaw's opening and closing line belongs to the jaws.  IsDefine
// and GetNum look in the machine file named by the simulation settings'
// "filepath"; GetPosZ reads the Z position (the 15th number of the jaws'
// matrix lines, the last one of the last jaw wins) from the assembly file
// beside it; SetPosZ writes one Z position to every jaw of the side in both
// files.  Every call reads the settings and the files anew; the object holds
// only its side.
//
// A side letter 'R' makes a right-spindle object; every other letter, and
// the default constructor, a left one.
//
// Failures: with no "filepath" or a file that cannot be opened, IsDefine is
// false, GetNum 0, GetPosZ 0.0 and SetPosZ -1.  Without jaws on the side
// SetPosZ gives 0 (both files written anew unchanged).  SetPosZ rewrites each
// file through a temporary file that replaces it in one step, the assembly
// file first: a failure leaves the file being rewritten unchanged (its
// temporary file may stay), and a failure at the machine file leaves the
// assembly file rewritten already.
#ifndef TAVRIN_SIMULATION_JAW_MODEL_H
#define TAVRIN_SIMULATION_JAW_MODEL_H

#include "tavrin/export.h"
#include "tavrin/simulation/xml.h"

class TAVRIN_CLASS CLibJawModel {
 public:
  CLibJawModel();
  explicit CLibJawModel(char side);
  CLibJawModel(const CLibJawModel& other);
  CLibJawModel& operator=(const CLibJawModel& other);
  virtual ~CLibJawModel();

  bool IsLside() const;
  bool IsDefine() const;
  // The number of jaws of the side in the machine file; 0 when it cannot be read.
  short GetNum() const;
  // 0 when both files were replaced, -1 at the first failure.
  short SetPosZ(double z);
  // The jaws' Z position in the assembly file; 0.0 when it cannot be read.
  double GetPosZ() const;

 private:
  void SetLside(char side);
  short SetPos(double value, short mode);
  short GetCurrentPos(double* value, short mode) const;
  short GetCurrentNum(short* count) const;
  double GetMatrixVal(char* line, CLibXmlinf* info, short mode) const;
  short SetMatrixVal(char* line, CLibXmlinf* info, CLibXml* writer, short mode, double value) const;

  bool left_side_;
};

#endif
