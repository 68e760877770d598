#include "journal_view.h"

#include <cstdio>

#include "output.h"

namespace tavrin::cli {

namespace {
// The PMC range record: address type, data type, start and end (two bytes
// each), then the data.
constexpr std::size_t kPmcHeaderBytes = 8;

std::string HexBytes(const std::vector<unsigned char>& bytes, std::size_t from) {
  std::string text;
  char byte[4];
  for (std::size_t i = from; i < bytes.size(); ++i) {
    std::snprintf(byte, sizeof byte, "%02X", bytes[i]);
    text += (text.empty() ? "" : " ") + std::string(byte);
  }
  return text;
}
}  // namespace

std::string DescribeCall(const tavrin::simcnc::Control& simulated, const tavrin::simcnc::JournalEntry& entry) {
  using tavrin::simcnc::Call;
  std::string text = simulated.call_name(entry.call);
  text += "(";
  std::string args;
  if (entry.handle != 0) args = "handle " + std::to_string(entry.handle) + (entry.args.empty() ? "" : ":");
  for (std::size_t i = 0; i < entry.args.size(); ++i) args += (i == 0 ? " " : ", ") + std::to_string(entry.args[i]);
  if (!entry.text.empty()) args += (args.empty() ? "\"" : ", \"") + entry.text + "\"";
  if (!args.empty() && args[0] == ' ') args.erase(0, 1);
  text += args + ") -> " + (entry.result == 0 ? "0" : CodeText(entry.result));
  if (entry.result == 0 && entry.call == Call::pmc_rdpmcrng && entry.record_out.size() > kPmcHeaderBytes) {
    text += ", read " + HexBytes(entry.record_out, kPmcHeaderBytes);
  }
  if (entry.call == Call::pmc_wrpmcrng && entry.record_in.size() > kPmcHeaderBytes) {
    text += ", wrote " + HexBytes(entry.record_in, kPmcHeaderBytes);
  }
  return text;
}

}  // namespace tavrin::cli
