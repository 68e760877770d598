#include "scene.h"

#include <cstdio>

#include "tavrin/simulation/chuck_model.h"
#include "tavrin/simulation/jaw_model.h"
#include "tavrin/simulation/simu_module.h"
#include "tavrin/simulation/work_model.h"

namespace tavrin::simview {

namespace {
template <typename Model>
Part ReadPart(const char* name, char side) {
  Model model(side);
  Part part{name, model.IsDefine(), 0.0};
  if (part.defined) part.z = model.GetPosZ();
  return part;
}

Spindle ReadSpindle(const char* name, char side) {
  return Spindle{name, ReadPart<CLibChuckModel>("chuck", side), ReadPart<CLibJawModel>("jaw", side),
                 ReadPart<CLibWorkModel>("work", side)};
}

std::string DescribePart(const Part& part) {
  if (!part.defined) return std::string(part.name) + " -";
  char text[64];
  std::snprintf(text, sizeof text, "%s Z=%.3f", part.name, part.z);
  return text;
}
}  // namespace

Scene ReadScene() {
  Scene scene;
  char path[TAVRIN_SIMU_PATH_SIZE];
  CLibSimuModule simu;
  if (simu.GetSimuAplSettingFilePath(path, sizeof path, TAVRIN_SIMU_MACHINE_FILE)) scene.machine_file = path;
  scene.left = ReadSpindle("left", 'L');
  scene.right = ReadSpindle("right", 'R');
  return scene;
}

std::string FileName(const std::string& windows_path) {
  std::size_t slash = windows_path.find_last_of('\\');
  return slash == std::string::npos ? windows_path : windows_path.substr(slash + 1);
}

std::vector<std::string> DescribeScene(const Scene& scene) {
  std::vector<std::string> lines;
  lines.push_back("machine file: " + (scene.machine_file.empty() ? std::string("(none)") : scene.machine_file));
  for (const Spindle* spindle : {&scene.left, &scene.right}) {
    lines.push_back(std::string(spindle->name) + " spindle: " + DescribePart(spindle->chuck) + ", " +
                    DescribePart(spindle->jaw) + ", " + DescribePart(spindle->work));
  }
  return lines;
}

}  // namespace tavrin::simview
