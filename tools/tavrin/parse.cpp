#include "parse.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "tavrin/nc/pmc.h"

namespace tavrin::cli {

namespace {
std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Digits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}
}  // namespace

bool ParseInteger(const std::string& text, long long min, long long max, long long* value, std::string* error) {
  std::string digits = text;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.erase(0, 1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) base = 16;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'b' || digits[1] == 'B')) base = 2;
  if (base != 10) digits.erase(0, 2);
  bool ok = !digits.empty();
  for (char c : digits) {
    ok = ok && (base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                           : (c >= '0' && c < static_cast<char>('0' + base)));
  }
  long long parsed = 0;
  if (ok) {
    errno = 0;
    parsed = std::strtoll(digits.c_str(), nullptr, base);
    ok = errno == 0;
    if (negative) parsed = -parsed;
  }
  if (!ok) {
    *error = "'" + text + "' is not a whole number";
    return false;
  }
  if (parsed < min || parsed > max) {
    *error = text + " does not fit: it must lie in " + std::to_string(min) + ".." + std::to_string(max);
    return false;
  }
  *value = parsed;
  return true;
}

bool ParseNumber(const std::string& text, double* value, std::string* error) {
  char* end = nullptr;
  errno = 0;
  double parsed = text.empty() ? 0.0 : std::strtod(text.c_str(), &end);
  if (text.empty() || end == nullptr || *end != '\0' || errno != 0 || !std::isfinite(parsed)) {
    *error = "'" + text + "' is not a number";
    return false;
  }
  *value = parsed;
  return true;
}

bool ParseSwitch(const std::string& text, bool* value, std::string* error) {
  std::string word = Lower(text);
  if (word == "on" || word == "1" || word == "true" || word == "yes") {
    *value = true;
  } else if (word == "off" || word == "0" || word == "false" || word == "no") {
    *value = false;
  } else {
    *error = "'" + text + "' is neither on nor off";
    return false;
  }
  return true;
}

bool ParseSide(const std::string& text, bool* left, std::string* error) {
  std::string word = Lower(text);
  if (word != "l" && word != "r") {
    *error = "'" + text + "' is no spindle side: L (left) or R (right)";
    return false;
  }
  *left = word == "l";
  return true;
}

std::string PmcAddress::Text() const {
  std::string text = letter + std::to_string(byte);
  if (bit >= 0) text += "." + std::to_string(bit);
  return text;
}

bool ParsePmcAddress(const std::string& text, PmcAddress* address, std::string* error) {
  if (text.empty()) {
    *error = "a PMC address is a letter and a byte number, such as D9550 or D9550.2";
    return false;
  }
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (lib_GetPmcAddressTypeCode(letter) < 0) {
    *error = "'" + text.substr(0, 1) + "' is no PMC address letter (G F Y X A R T K C D E)";
    return false;
  }
  std::string rest = text.substr(1);
  std::string bit_text;
  std::size_t dot = rest.find('.');
  if (dot != std::string::npos) {
    bit_text = rest.substr(dot + 1);
    rest.erase(dot);
  }
  if (!Digits(rest) || (dot != std::string::npos && !Digits(bit_text))) {
    *error = "'" + text + "' is no PMC address: a letter and a byte number, such as D9550 or D9550.2";
    return false;
  }
  long long byte = 0;
  long long bit = -1;
  if (!ParseInteger(rest, 0, 65535, &byte, error)) {
    *error = "PMC byte " + *error;
    return false;
  }
  if (dot != std::string::npos && !ParseInteger(bit_text, 0, 7, &bit, error)) {
    *error = "PMC bit " + *error;
    return false;
  }
  address->letter = letter;
  address->byte = static_cast<unsigned short>(byte);
  address->bit = static_cast<short>(bit);
  return true;
}

bool ParseParamNumber(const std::string& text, ParamNumber* number, std::string* error) {
  std::string main = text;
  std::string bit_text;
  std::size_t dot = main.find('.');
  if (dot != std::string::npos) {
    bit_text = main.substr(dot + 1);
    main.erase(dot);
  }
  if (!Digits(main) || (dot != std::string::npos && !Digits(bit_text))) {
    *error = "'" + text + "' is no parameter number: NUMBER or NUMBER.BIT, such as 1420 or 3115.0";
    return false;
  }
  long long value = 0;
  long long bit = -1;
  if (!ParseInteger(main, 0, 32767, &value, error)) {
    *error = "parameter number " + *error;
    return false;
  }
  if (dot != std::string::npos && !ParseInteger(bit_text, 0, 7, &bit, error)) {
    *error = "parameter bit " + *error;
    return false;
  }
  number->number = static_cast<short>(value);
  number->bit = static_cast<short>(bit);
  return true;
}

void Require(bool ok, const std::string& error) {
  if (!ok) throw CLI::ValidationError(error);
}

void Require(bool ok, const std::string& prefix, const std::string& error) {
  if (!ok) throw CLI::ValidationError(prefix + error);
}

}  // namespace tavrin::cli
