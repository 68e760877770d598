#include "read_watch.h"

#include "tavrin/nc/error_report.h"

namespace tavrin::cli {

bool ReadWatch::Watch(const std::string& what, const std::function<void()>& read) {
  CallMark mark = Session::Mark();
  read();
  FailedRead failed{what, "", 0};
  if (!Session::LatestFailureSince(mark, &failed.code, &failed.call)) return true;
  failures_.push_back(failed);
  return false;
}

Json ReadWatch::FailuresJson() const {
  Json list = Json::array();
  for (const FailedRead& f : failures_) {
    const char* name = tavrin::Focas2CodeName(f.code);
    list.push_back({{"read", f.what}, {"call", f.call}, {"code", f.code},
                    {"code_name", name != nullptr ? Json(name) : Json(nullptr)}});
  }
  return list;
}

int ReadWatch::Report(Output& out) const {
  for (const FailedRead& f : failures_) out.FailCode(f.code, f.what + " (" + f.call + ")");
  return failures_.empty() ? kExitOk : kExitFailed;
}

int CheckCallsSince(const CallMark& mark, Output& out, const std::string& what) {
  short code = 0;
  std::string call;
  if (!Session::LatestFailureSince(mark, &code, &call)) return kExitOk;
  return out.FailCode(code, what + " (" + call + ")");
}

}  // namespace tavrin::cli
