// Opens a handle, switches single block on through the PMC, reads it back,
// and writes and reads a run of macro variables with the plural functions
// (exported under their decorated names on 32-bit Windows).
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
  double values[2] = {0.0, 0.0};
  short plural = lib_WritePluralPCode(handle, 500, 2, 1.5);
  if (plural == 0) plural = lib_ReadPluralPCode(handle, 500, 2, values);
  lib_FreeHandle(handle);
  std::printf("single block request D9550.2: %s (code %d)\n", on ? "on" : "off", code);
  std::printf("#500 and #501: %g %g (code %d)\n", values[0], values[1], plural);
  return code == 0 && on && plural == 0 && values[0] == 1.5 && values[1] == 1.5 ? 0 : 1;
}
