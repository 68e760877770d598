// Opens a handle, switches single block on through the PMC, reads it back.
#include <tavrin/tavrin.h>

#include <cstdio>

int main() {
  unsigned short handle = 0;
  short code = lib_GetNcLibHandle(&handle);
  if (code != 0) {
    std::printf("no CNC: %s\n", tavrin::Focas2CodeName(code));
    return 1;
  }
  bool on = false;
  code = lib_WritePmcParam_Bit(handle, 'D', 9550, 2, true);
  if (code == 0) code = lib_ReadPmcParam_Bit(handle, 'D', 9550, 2, &on);
  lib_FreeHandle(handle);
  std::printf("single block request D9550.2: %s (code %d)\n", on ? "on" : "off", code);
  return code == 0 && on ? 0 : 1;
}
