// CLibMchnStructModel: the machine's geometry as the collision-check
// simulation is set up for it.
//
// Everything is read once, at construction, from the simulation's settings:
//   - the machine name: the base name of "filepath" (section "OVX") of
//     C:\QvApplication\Qv Crash Preview\Orvex.ini, "LatheA" for
//     D:\Models\LatheA.ovp; empty when there is none;
//   - the rest from C:\QvApplication\Qv Crash Preview\CustomSetting.ini:
//     section "Machine Type", key "MachineType" (the machine type name), and
//     section "Tool Pos. Setting": HorizonLeftToRight, HorizonLeft1/2,
//     HorizonRight1/2, Vertical1-3, WidthTurret1-3, RotOrgDistance1-3 and
//     RotBtoRotTurretOrg (atof; -1.0 when missing), RotDirection1-3 (atoi
//     stored in 16 bits; 0 when missing) and ToolSpindle (true only for the
//     exact value "1").
// Lengths stay as the file writes them.  A value that is no number reads 0.
// Nothing is reported; the object never reads the files again (construct a
// new one to see changes).
//
// Names are at most 31 characters: longer ones are cut to their first 31.
// The numbered getters take 1, 2 or 3; any other number gives -1.0 (0 for
// GetRotDirection), the value of a missing entry.
#ifndef TAVRIN_MACHINE_MCHN_STRUCT_MODEL_H
#define TAVRIN_MACHINE_MCHN_STRUCT_MODEL_H

#include "tavrin/export.h"

class TAVRIN_CLASS CLibMchnStructModel {
 public:
  CLibMchnStructModel();
  CLibMchnStructModel(const CLibMchnStructModel& other);
  CLibMchnStructModel& operator=(const CLibMchnStructModel& other);
  virtual ~CLibMchnStructModel();

  // Copy the name with its terminator into a buffer of at least 32 bytes.
  void GetMchnName(char* name) const;
  void GetMchnSpecifName(char* name) const;

  double GetHorizonLeftToRight() const;
  double GetRelativePosLSPtoUPP() const;
  double GetRelativePosLSPtoLOW() const;
  double GetRelativePosRSPtoUPP() const;
  double GetRelativePosRSPToLOW() const;
  double GetVerticalDist(short number) const;
  bool IsToolSpindle() const;
  double GetWidthTurret(short number) const;
  double GetRotOrgDist(short number) const;
  short GetRotDirection(short number) const;
  double GetRotBtoRotTurretOrg() const;

 private:
  void SetMchnName();
  void SetMchnSpecifName();
  void SetHorizonLeftToRight();
  void SetHorizon();
  void SetVertical();
  void SetToolSpindle();
  void SetWidthTurret();
  void SetRotOrgDistance();
  void SetRotDirection();
  void SetRotBtoRotTurretOrg();

  char mchn_name_[32];
  char mchn_specif_name_[32];
  double horizon_left_to_right_;
  double horizon_left1_;
  double horizon_left2_;
  double horizon_right1_;
  double horizon_right2_;
  double vertical_[4];
  bool tool_spindle_;
  double width_turret_[4];
  double rot_org_distance_[4];
  short rot_direction_[4];
  double rot_b_to_rot_turret_org_;
};

#endif
