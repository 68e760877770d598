#include "tavrin/machine/mchn_struct_model.h"

#include <cstdlib>
#include <cstring>

#include "platform/profile_string.h"
#include "simulation/sim_files.h"
#include "util/path_split.h"

namespace {

constexpr std::size_t kNameSize = 32;
constexpr char kToolSection[] = "Tool Pos. Setting";

// One value of the custom settings file into a buffer of 260 characters.
void ReadCustom(const char* section, const char* key, const char* default_value,
                char (&value)[tavrin::simulation::kPathSize]) {
  tavrin::platform::ReadProfileString(section, key, default_value, value, sizeof value,
                                      tavrin::simulation::kCustomSettingsFile);
}

double ReadDistance(const char* key) {
  char value[tavrin::simulation::kPathSize];
  ReadCustom(kToolSection, key, "-1", value);
  return std::atof(value);
}

// Copies a name, cut to kNameSize - 1 characters.
void CopyName(char* target, const char* name) {
  std::size_t length = std::strlen(name);
  if (length > kNameSize - 1) length = kNameSize - 1;
  std::memcpy(target, name, length);
  target[length] = '\0';
}

bool IsEntry(short number) { return number >= 1 && number <= 3; }

}  // namespace

CLibMchnStructModel::CLibMchnStructModel()
    : mchn_name_{},
      mchn_specif_name_{},
      horizon_left_to_right_(-1.0),
      horizon_left1_(-1.0),
      horizon_left2_(-1.0),
      horizon_right1_(-1.0),
      horizon_right2_(-1.0),
      vertical_{-1.0, -1.0, -1.0, -1.0},
      tool_spindle_(false),
      width_turret_{-1.0, -1.0, -1.0, -1.0},
      rot_org_distance_{-1.0, -1.0, -1.0, -1.0},
      rot_direction_{0, 0, 0, 0},
      rot_b_to_rot_turret_org_(-1.0) {
  SetMchnName();
  SetMchnSpecifName();
  SetHorizonLeftToRight();
  SetHorizon();
  SetVertical();
  SetToolSpindle();
  SetWidthTurret();
  SetRotOrgDistance();
  SetRotDirection();
  SetRotBtoRotTurretOrg();
}

CLibMchnStructModel::CLibMchnStructModel(const CLibMchnStructModel& other) = default;

CLibMchnStructModel& CLibMchnStructModel::operator=(const CLibMchnStructModel& other) = default;

CLibMchnStructModel::~CLibMchnStructModel() = default;

void CLibMchnStructModel::SetMchnName() {
  char path[tavrin::simulation::kPathSize];
  mchn_name_[0] = '\0';
  if (!tavrin::simulation::ReadMachineFilePath(path)) return;
  char base[tavrin::simulation::kPathSize];
  if (tavrin::util::SplitPath(path, nullptr, 0, nullptr, 0, base, sizeof base, nullptr, 0)) CopyName(mchn_name_, base);
}

void CLibMchnStructModel::SetMchnSpecifName() {
  char value[tavrin::simulation::kPathSize];
  ReadCustom("Machine Type", "MachineType", "", value);
  CopyName(mchn_specif_name_, value);
}

void CLibMchnStructModel::SetHorizonLeftToRight() { horizon_left_to_right_ = ReadDistance("HorizonLeftToRight"); }

void CLibMchnStructModel::SetHorizon() {
  horizon_left1_ = ReadDistance("HorizonLeft1");
  horizon_left2_ = ReadDistance("HorizonLeft2");
  horizon_right1_ = ReadDistance("HorizonRight1");
  horizon_right2_ = ReadDistance("HorizonRight2");
}

void CLibMchnStructModel::SetVertical() {
  vertical_[1] = ReadDistance("Vertical1");
  vertical_[2] = ReadDistance("Vertical2");
  vertical_[3] = ReadDistance("Vertical3");
}

void CLibMchnStructModel::SetToolSpindle() {
  char value[tavrin::simulation::kPathSize];
  ReadCustom(kToolSection, "ToolSpindle", "-1", value);
  tool_spindle_ = value[0] == '1' && value[1] == '\0';
}

void CLibMchnStructModel::SetWidthTurret() {
  width_turret_[1] = ReadDistance("WidthTurret1");
  width_turret_[2] = ReadDistance("WidthTurret2");
  width_turret_[3] = ReadDistance("WidthTurret3");
}

void CLibMchnStructModel::SetRotOrgDistance() {
  rot_org_distance_[1] = ReadDistance("RotOrgDistance1");
  rot_org_distance_[2] = ReadDistance("RotOrgDistance2");
  rot_org_distance_[3] = ReadDistance("RotOrgDistance3");
}

void CLibMchnStructModel::SetRotDirection() {
  static const char* const kKeys[] = {"RotDirection1", "RotDirection2", "RotDirection3"};
  for (int i = 0; i < 3; ++i) {
    char value[tavrin::simulation::kPathSize];
    ReadCustom(kToolSection, kKeys[i], "0", value);
    rot_direction_[i + 1] = static_cast<short>(std::atoi(value));
  }
}

void CLibMchnStructModel::SetRotBtoRotTurretOrg() { rot_b_to_rot_turret_org_ = ReadDistance("RotBtoRotTurretOrg"); }

void CLibMchnStructModel::GetMchnName(char* name) const {
  if (name != nullptr) std::memcpy(name, mchn_name_, kNameSize);
}

void CLibMchnStructModel::GetMchnSpecifName(char* name) const {
  if (name != nullptr) std::memcpy(name, mchn_specif_name_, kNameSize);
}

double CLibMchnStructModel::GetHorizonLeftToRight() const { return horizon_left_to_right_; }
double CLibMchnStructModel::GetRelativePosLSPtoUPP() const { return horizon_left1_; }
double CLibMchnStructModel::GetRelativePosLSPtoLOW() const { return horizon_left2_; }
double CLibMchnStructModel::GetRelativePosRSPtoUPP() const { return horizon_right1_; }
double CLibMchnStructModel::GetRelativePosRSPToLOW() const { return horizon_right2_; }
double CLibMchnStructModel::GetVerticalDist(short number) const { return IsEntry(number) ? vertical_[number] : -1.0; }
bool CLibMchnStructModel::IsToolSpindle() const { return tool_spindle_; }
double CLibMchnStructModel::GetWidthTurret(short number) const {
  return IsEntry(number) ? width_turret_[number] : -1.0;
}
double CLibMchnStructModel::GetRotOrgDist(short number) const {
  return IsEntry(number) ? rot_org_distance_[number] : -1.0;
}
short CLibMchnStructModel::GetRotDirection(short number) const { return IsEntry(number) ? rot_direction_[number] : 0; }
double CLibMchnStructModel::GetRotBtoRotTurretOrg() const { return rot_b_to_rot_turret_org_; }
