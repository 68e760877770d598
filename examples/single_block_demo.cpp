// The typical request of an operator application, against whatever CNC
// library TAVRIN_FOCAS names (the simulated CNC in the README's demo):
// open a handle, switch single block on through the PMC, read it back, and
// name a failing code the way the operator would see it.
#include <tavrin/tavrin.h>

#include <cstdio>

namespace {
int PrintBox(const char* text, const char* /*caption*/, unsigned int style, void* /*user*/) {
  std::printf("message box (style 0x%x):\n%s\n", style, text);
  return 1;
}
}  // namespace

int main() {
  tavrin_set_message_handler(&PrintBox, nullptr);

  unsigned short handle = 0;
  short code = lib_GetNcLibHandle(&handle);
  if (code != 0) {
    lib_MBFocas2Error(code, "lib_GetNcLibHandle", "start-up");
    return 1;
  }
  short paths = 0;
  lib_GetPathMax(handle, &paths);
  std::printf("connected: handle %u, %d path(s)\n", handle, paths);

  // Single block request: D9550 bit 2, read, changed and written as a byte.
  code = lib_WritePmcParam_Bit(handle, 'D', 9550, 2, true);
  bool on = false;
  if (code == 0) code = lib_ReadPmcParam_Bit(handle, 'D', 9550, 2, &on);
  std::printf("single block request D9550.2 is %s (code %d)\n", on ? "on" : "off", code);

  // A parameter the CNC does not have: the code is named for the operator.
  short word = 0;
  code = lib_ReadCncParam_Word(handle, 32000, 0, &word);
  std::printf("reading parameter 32000 returned %d\n", code);
  lib_MBFocas2Error(code, "lib_ReadCncParam_Word", "single_block_demo");

  lib_FreeHandle(handle);
  return on ? 0 : 1;
}
