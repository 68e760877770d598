// The vendor-like library's FOCAS2 calls, except the single macro calls: each
// checks the handle, answers what the library answers by itself (paths,
// refused writes, the switches), and otherwise makes one exchange with the
// CNC on the handle's path.
#include <cstring>

#include "vendor_like_library.h"

using namespace vendor_like;

namespace {

// A real parameter record for one axis: number, axis, value, decimals.
constexpr short kRealRecordLength = 12;
constexpr short kAllAxes = -1;

// The checks made before anything goes out: the handle, then whether the
// CNC answers at all.
short Check(unsigned short handle, Link* link) {
  if (!FindLink(handle, link)) return kHandle;
  if (NoAnswer()) return kNoAnswer;
  return kOk;
}

// One request on the handle's CNC handle.  Requests carry the handle's path;
// the simulated CNC keeps a path per handle instead, so it is selected there
// first when it differs.  PMC requests leave it alone: the PMC is shared.
template <typename Request>
short Send(const Link& link, bool on_path, Request request) {
  return Exchange([&](const Cnc& cnc) -> short {
    if (on_path && cnc.control->current_path(link.cnc_handle) != link.path) {
      short code = cnc.cnc_setpath(link.cnc_handle, link.path);
      if (code != kOk) return code;
    }
    return request(cnc, link.cnc_handle);
  });
}

template <typename Request>
short CheckAndSend(unsigned short handle, bool on_path, Request request) {
  Link link{};
  short code = Check(handle, &link);
  return code != kOk ? code : Send(link, on_path, request);
}

// Opens a CNC handle, learns the CNC's path count, and gives a handle of the
// library's own for them; the handle starts on path 1.
template <typename OpenCnc>
short Open(unsigned short* handle, OpenCnc open_cnc) {
  if (handle == nullptr) return kData;
  if (NoAnswer()) return kNoAnswer;
  Link link{0, 1, 0};
  short code = Exchange([&](const Cnc& cnc) -> short {
    unsigned short opened = 0;
    short result = open_cnc(cnc, &opened);
    if (result != kOk) return result;
    short current = 0;
    result = cnc.cnc_getpath(opened, &current, &link.paths);
    if (result != kOk) cnc.cnc_freelibhndl(opened);
    link.cnc_handle = opened;
    return result;
  });
  if (code != kOk) return code;
  *handle = AddLink(link);
  return kOk;
}

}  // namespace

extern "C" {

short cnc_allclibhndl(unsigned short* handle) {
  EnterCall("cnc_allclibhndl");
  return Open(handle, [](const Cnc& cnc, unsigned short* opened) { return cnc.cnc_allclibhndl(opened); });
}

short cnc_allclibhndl2(int32 node, unsigned short* handle) {
  EnterCall("cnc_allclibhndl2");
  return Open(handle, [node](const Cnc& cnc, unsigned short* opened) { return cnc.cnc_allclibhndl2(node, opened); });
}

// Nothing goes on the network: the simulated CNC stands behind any address.
short cnc_allclibhndl3(const char* address, unsigned short port, int32 timeout, unsigned short* handle) {
  EnterCall("cnc_allclibhndl3");
  return Open(handle, [&](const Cnc& cnc, unsigned short* opened) {
    return cnc.cnc_allclibhndl3(address, port, timeout, opened);
  });
}

// A handle stays known when its CNC handle could not be freed (or nothing
// answers), so that it can be freed again.
short cnc_freelibhndl(unsigned short handle) {
  EnterCall("cnc_freelibhndl");
  short code = CheckAndSend(handle, false, [](const Cnc& cnc, unsigned short h) { return cnc.cnc_freelibhndl(h); });
  if (code == kOk) RemoveLink(handle);
  return code;
}

short cnc_getpath(unsigned short handle, short* current, short* maximum) {
  EnterCall("cnc_getpath");
  Link link{};
  if (!FindLink(handle, &link)) return kHandle;
  if (current == nullptr || maximum == nullptr) return kData;
  *current = link.path;
  *maximum = link.paths;
  return kOk;
}

short cnc_setpath(unsigned short handle, short path) {
  EnterCall("cnc_setpath");
  Link link{};
  if (!FindLink(handle, &link)) return kHandle;
  if (path < 1 || path > link.paths) return kPath;
  SetLinkPath(handle, path);
  return kOk;
}

short cnc_rdparam(unsigned short handle, short number, short axis, short length, void* record) {
  EnterCall("cnc_rdparam");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) {
    return cnc.cnc_rdparam(h, number, axis, length, record);
  });
}

short cnc_wrparam(unsigned short handle, short length, void* record) {
  EnterCall("cnc_wrparam");
  Link link{};
  if (!FindLink(handle, &link)) return kHandle;
  if (length == kRealRecordLength) return kLength;
  if (record != nullptr && length >= 4) {
    std::int16_t axis = 0;
    std::memcpy(&axis, static_cast<const unsigned char*>(record) + offsetof(tavrin::focas::ParamRecord, axis),
                sizeof axis);
    if (axis == kAllAxes) return kLength;
  }
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) { return cnc.cnc_wrparam(h, length, record); });
}

short pmc_rdpmcrng(unsigned short handle, short address_type, short data_type, unsigned short start,
                   unsigned short end, unsigned short length, void* record) {
  EnterCall("pmc_rdpmcrng");
  Link link{};
  short code = Check(handle, &link);
  if (code != kOk) return code;
  if (short failing = FailingPmcReadCode()) return failing;
  return Send(link, false, [&](const Cnc& cnc, unsigned short h) {
    return cnc.pmc_rdpmcrng(h, address_type, data_type, start, end, length, record);
  });
}

short pmc_wrpmcrng(unsigned short handle, unsigned short length, void* record) {
  EnterCall("pmc_wrpmcrng");
  return CheckAndSend(handle, false, [&](const Cnc& cnc, unsigned short h) {
    return cnc.pmc_wrpmcrng(h, length, record);
  });
}

short cnc_rdpmacror(unsigned short handle, int32 first, int32 last, unsigned short length, void* record) {
  EnterCall("cnc_rdpmacror");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) {
    return cnc.cnc_rdpmacror(h, first, last, length, record);
  });
}

short cnc_wrpmacror(unsigned short handle, unsigned short length, void* record) {
  EnterCall("cnc_wrpmacror");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) {
    return cnc.cnc_wrpmacror(h, length, record);
  });
}

short cnc_rdtofs(unsigned short handle, short number, short type, short length, void* record) {
  EnterCall("cnc_rdtofs");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) {
    return cnc.cnc_rdtofs(h, number, type, length, record);
  });
}

short cnc_wrtofs(unsigned short handle, short number, short type, short length, int32 value) {
  EnterCall("cnc_wrtofs");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) {
    return cnc.cnc_wrtofs(h, number, type, length, value);
  });
}

short cnc_getfigure(unsigned short handle, short kind, short* valid_digits, short* input_decimals,
                    short* output_decimals) {
  EnterCall("cnc_getfigure");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) {
    return cnc.cnc_getfigure(h, kind, valid_digits, input_decimals, output_decimals);
  });
}

short cnc_statinfo(unsigned short handle, void* record) {
  EnterCall("cnc_statinfo");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) { return cnc.cnc_statinfo(h, record); });
}

short cnc_rdaxisname(unsigned short handle, short* count, void* names) {
  EnterCall("cnc_rdaxisname");
  return CheckAndSend(handle, true, [&](const Cnc& cnc, unsigned short h) {
    return cnc.cnc_rdaxisname(h, count, names);
  });
}

}  // extern "C"
