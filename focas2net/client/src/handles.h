// The process's handles: each names a link to a CNC (shared by every handle
// to the same address and port, closed when the last of them is freed), the
// path selected on it and its time-out.  Nothing works before the process
// has called cnc_startupprocess.
#ifndef TAVRIN_FOCAS2NET_CLIENT_HANDLES_H
#define TAVRIN_FOCAS2NET_CLIENT_HANDLES_H

#include <cstdint>
#include <memory>

#include "cnc_link.h"

namespace tavrin::focas2net {

// What a call needs of its handle.
struct Target {
  std::shared_ptr<CncLink> link;
  int path = 1;
  int timeout_ms = 0;
  // The selected path as the open answer told of it.
  const PathInfo& path_info() const {
    static const PathInfo kUnknown;
    const PathInfo* info = link->Path(path);
    return info != nullptr ? *info : kUnknown;
  }
};

void StartUp();
bool Started();
// Forgets every handle and shuts every link without a word to the CNC.
void ExitAll();

// EW_OK, EW_INIERR (not started), EW_DATA (null pointers), or the link's
// open result.  `timeout_s` is the caller's time-out in seconds; 0 or less
// takes a default.
short OpenHandle(const char* address, unsigned short port, std::int32_t timeout_s, unsigned short* handle);
// Frees the handle; the last handle of a link closes the link.
short FreeHandle(unsigned short handle);
// EW_OK, EW_INIERR or EW_HANDLE.
short FindHandle(unsigned short handle, Target* target);
// EW_OK, EW_INIERR, EW_HANDLE or EW_PATH (outside 1..the CNC's maximum).
short SelectPath(unsigned short handle, short path);

}  // namespace tavrin::focas2net

#endif
