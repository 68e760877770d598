#include "tavrin/nc/handles.h"

#include "focas2/focas2.h"

namespace focas = tavrin::focas;

namespace {
constexpr focas::int32 kGuideNode = 9;
constexpr focas::int32 kEthernetTimeout = 5;
}  // namespace

extern "C" short TAVRIN_CALL lib_GetNcLibHandle(unsigned short* handle) { return focas::cnc_allclibhndl(handle); }

extern "C" short TAVRIN_CALL lib_GetNcGuideLibHandle(unsigned short* handle) {
  return focas::cnc_allclibhndl2(kGuideNode, handle);
}

extern "C" short TAVRIN_CALL lib_GetNcLibHandleEthernet(const char* address, unsigned short port,
                                                        unsigned short* handle) {
  return focas::cnc_allclibhndl3(address, port, kEthernetTimeout, handle);
}

extern "C" short TAVRIN_CALL lib_FreeHandle(unsigned short handle) { return focas::cnc_freelibhndl(handle); }

extern "C" short TAVRIN_CALL lib_GetPathMax(unsigned short handle, short* path_max) {
  short current = 0;
  short maximum = 0;
  short code = focas::cnc_getpath(handle, &current, &maximum);
  if (path_max != nullptr) *path_max = code == 0 ? maximum : -1;
  return code;
}
