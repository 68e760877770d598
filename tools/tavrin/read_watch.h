// Failures of the library's members that give no result code.
//
// Many machine object members return a value only (a signal reads "off", a
// station number -1) and keep to themselves that a FOCAS2 call of theirs
// failed.  The library counts every FOCAS2 call it makes and remembers the
// latest failing one, whatever the FOCAS2 library, so a command watches each
// read through those counts and names the reads that failed, with the call
// and its code, instead of showing their stand-in values as if they were
// true.
#ifndef TAVRIN_TOOLS_READ_WATCH_H
#define TAVRIN_TOOLS_READ_WATCH_H

#include <functional>
#include <string>
#include <vector>

#include "connection.h"
#include "output.h"

namespace tavrin::cli {

struct FailedRead {
  std::string what;  // the value read, as the command names it
  std::string call;  // the FOCAS2 call that failed (the latest one, if several)
  short code = 0;
};

class ReadWatch {
 public:
  // Runs read(); false, with the failure noted, when a FOCAS2 call in it
  // did not return 0.
  bool Watch(const std::string& what, const std::function<void()>& read);

  // Notes a failure found another way (a reading that marks failed fields).
  void Add(const FailedRead& failed) { failures_.push_back(failed); }

  const std::vector<FailedRead>& failures() const { return failures_; }
  // [{"read": WHAT, "call": CALL, "code": CODE, "code_name": NAME or null}]
  Json FailuresJson() const;
  // Reports each failure on standard error ("WHAT (CALL) failed: CODE") and
  // returns kExitFailed; kExitOk when there was none.
  int Report(Output& out) const;

 private:
  std::vector<FailedRead> failures_;
};

// For a member that gives no result: fails with the latest failing FOCAS2
// call made since `mark`, named after `what`; kExitOk when none failed.
int CheckCallsSince(const CallMark& mark, Output& out, const std::string& what);

}  // namespace tavrin::cli

#endif
