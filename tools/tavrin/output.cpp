#include "output.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <algorithm>

#include "tavrin/nc/error_report.h"
#include "utf8_text.h"

namespace tavrin::cli {

void Output::Line(const std::string& text) {
  if (!json_) std::cout << text << '\n';
}

void Output::Print(const Table& table) {
  if (!json_) std::cout << TableText(table);
}

void Output::LibraryMessage(const std::string& text) {
  messages_.push_back(text);
  std::cerr << "tavrin: the library showed a message: " << text << '\n';
}

int Output::Fail(int exit_code, const std::string& message) {
  std::cerr << "tavrin: " << message << '\n';
  if (!failed_) {
    failed_ = true;
    data_["error"] = message;
  }
  return exit_code;
}

int Output::FailCode(short code, const std::string& what) {
  int result = Fail(kExitFailed, what + " failed: " + CodeText(code));
  if (json_ && !data_.contains("code")) {
    data_["code"] = code;
    const char* name = tavrin::Focas2CodeName(code);
    data_["code_name"] = name != nullptr ? Json(name) : Json(nullptr);
  }
  return result;
}

namespace {
// Every string of `value` (keys too) as UTF-8 (utf8_text.h): JSON carries
// nothing else, and the settings files of a Windows panel are in its code page.
Json Utf8Json(const Json& value) {
  if (value.is_string()) return tavrin::tools::Utf8Text(value.get<std::string>());
  if (value.is_array()) {
    Json array = Json::array();
    for (const Json& item : value) array.push_back(Utf8Json(item));
    return array;
  }
  if (value.is_object()) {
    Json object = Json::object();
    for (const auto& item : value.items()) object[tavrin::tools::Utf8Text(item.key())] = Utf8Json(item.value());
    return object;
  }
  return value;
}
}  // namespace

int Output::Finish(int exit_code) {
  if (json_) {
    Json document = Json::object();
    document["ok"] = exit_code == kExitOk;
    for (auto& item : data_.items()) document[item.key()] = item.value();
    if (!messages_.empty()) document["messages"] = messages_;
    std::cout << Utf8Json(document).dump(2) << '\n';
  }
  std::cout.flush();
  return exit_code;
}

namespace {
// Who does not answer when a call gives -16 (SetCncPeer).
std::string cnc_peer = "the CNC";
constexpr short kNoAnswer = -16;
}  // namespace

void SetCncPeer(const std::string& peer) { cnc_peer = peer; }

std::string CodeText(short code) {
  const char* name = tavrin::Focas2CodeName(code);
  if (code == kNoAnswer) return "code -16 (no answer from " + cnc_peer + ")";
  if (name == nullptr) return "code " + std::to_string(code);
  return std::string(name) + " (" + std::to_string(code) + ")";
}

std::string NumberText(double value) {
  // Fixed-point with as few decimals as read back exactly; tiny or huge
  // values fall back to the exponent form.
  char text[512];
  for (int decimals = 0; decimals <= 12; ++decimals) {
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (std::strtod(text, nullptr) == value) return text;
  }
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string TableText(const Table& table) {
  std::vector<std::size_t> widths(table.header.size(), 0);
  auto widen = [&widths](const std::vector<std::string>& row) {
    if (row.size() > widths.size()) widths.resize(row.size(), 0);
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  };
  widen(table.header);
  for (const auto& row : table.rows) widen(row);
  auto line = [&widths](const std::vector<std::string>& row) {
    std::string text;
    for (std::size_t i = 0; i < row.size(); ++i) {
      text += row[i];
      if (i + 1 < row.size()) text += std::string(widths[i] - row[i].size() + 2, ' ');
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text + '\n';
  };
  std::string text;
  if (!table.header.empty()) {
    text += line(table.header);
    std::vector<std::string> rule;
    for (std::size_t i = 0; i < table.header.size(); ++i) rule.push_back(std::string(widths[i], '-'));
    text += line(rule);
  }
  for (const auto& row : table.rows) text += line(row);
  return text;
}

}  // namespace tavrin::cli
