// What the tavrin command prints: aligned tables and sentences for people,
// one JSON document for scripts (--json), and the exit status.
#ifndef TAVRIN_TOOLS_OUTPUT_H
#define TAVRIN_TOOLS_OUTPUT_H

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tavrin::cli {

// Exit status of every command.
enum ExitCode {
  kExitOk = 0,
  kExitFailed = 1,        // the CNC or the simulation's files refused
  kExitUsage = 2,         // bad input: nothing was done
  kExitNoConnection = 3,  // no CNC: state file, FOCAS2 library or handle
};

using Json = nlohmann::ordered_json;

// A table for people: a header row and rows of text, printed with each column
// as wide as its widest cell.
struct Table {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};

class Output {
 public:
  explicit Output(bool json) : json_(json) {}

  bool json() const { return json_; }
  // The fields of the JSON document ("ok" is added by Finish).
  Json& data() { return data_; }

  // People's output, written at once; nothing in JSON mode.
  void Line(const std::string& text);
  void Print(const Table& table);

  // A message the library showed (message box), kept for both outputs.
  void LibraryMessage(const std::string& text);
  std::size_t MessageCount() const { return messages_.size(); }
  const std::string& LastMessage() const { return messages_.back(); }

  // Reports a failure on standard error (and in the JSON document) and
  // returns `exit_code`.
  int Fail(int exit_code, const std::string& message);
  // A FOCAS2 code from a library call: "WHAT failed: EW_NUMBER (3)".
  int FailCode(short code, const std::string& what);

  // Writes the JSON document (JSON mode) and returns exit_code.
  int Finish(int exit_code);

 private:
  bool json_;
  bool failed_ = false;
  Json data_ = Json::object();
  std::vector<std::string> messages_;
};

// "EW_NUMBER (3)", "DLL_FOCAS2_FUNCRET_INIT (32767)", "code -100".  -16, which
// the maker's library gives for a closed port, a peer that closes and a CNC
// that stops answering alike, reads "code -16 (no answer from PEER)".
std::string CodeText(short code);
// The PEER of that text: "ADDRESS:PORT" over Ethernet; "the CNC" until set.
void SetCncPeer(const std::string& peer);
// The shortest text that reads back as the same double ("812.5", "0.001").
std::string NumberText(double value);
// Text of an aligned table, each line ending in '\n'.
std::string TableText(const Table& table);

}  // namespace tavrin::cli

#endif
