// What tavrin-simview shows: the chuck, jaw and workpiece Z positions of both
// spindles, read through the library's model classes from the simulation's
// machine and assembly files.
#ifndef TAVRIN_TOOLS_SIMVIEW_SCENE_H
#define TAVRIN_TOOLS_SIMVIEW_SCENE_H

#include <string>
#include <vector>

namespace tavrin::simview {

struct Part {
  const char* name;  // "chuck", "jaw", "work"
  bool defined;      // found in the machine file
  double z;          // Z position in the assembly file (0 when not defined)
};

struct Spindle {
  const char* name;  // "left", "right"
  Part chuck, jaw, work;
};

struct Scene {
  std::string machine_file;  // "filepath" as set, empty when there is none
  Spindle left, right;
};

// Reads everything anew from the files.
Scene ReadScene();

// The machine file's name after its last backslash (or the whole value).
std::string FileName(const std::string& windows_path);

// The scene as text lines, for the terminal and the window.
std::vector<std::string> DescribeScene(const Scene& scene);

}  // namespace tavrin::simview

#endif
