// Reading what a person types: numbers that must fit, on/off, PMC addresses
// (D9550.2, R6836), parameter numbers with a bit (3115.0), spindle sides.
//
// Every function returns false with *error set to a sentence for the user
// when the text does not fit; the output is then untouched.
#ifndef TAVRIN_TOOLS_PARSE_H
#define TAVRIN_TOOLS_PARSE_H

#include <string>

#include "nearest_word.h"
#include <vector>

namespace tavrin::cli {

// A whole number in [min, max], decimal or 0x hexadecimal or 0b binary.
bool ParseInteger(const std::string& text, long long min, long long max, long long* value, std::string* error);
// A finite number.
bool ParseNumber(const std::string& text, double* value, std::string* error);
// on/off, 1/0, true/false, yes/no.
bool ParseSwitch(const std::string& text, bool* value, std::string* error);
// L or R (either case); true for the left spindle.
bool ParseSide(const std::string& text, bool* left, std::string* error);

struct PmcAddress {
  char letter = 0;        // upper case, one the library knows
  unsigned short byte = 0;
  short bit = -1;         // -1: no bit given
  std::string Text() const;  // as a person writes it
};
// LETTER BYTE [. BIT]: the letter is checked with lib_GetPmcAddressTypeCode
// (lower case is taken as upper case), the byte is 0..65535, the bit 0..7.
bool ParsePmcAddress(const std::string& text, PmcAddress* address, std::string* error);

struct ParamNumber {
  short number = 0;
  short bit = -1;  // -1: no bit given
};
// NUMBER [. BIT]: number 0..32767, bit 0..7.
bool ParseParamNumber(const std::string& text, ParamNumber* number, std::string* error);


// Throws CLI::ValidationError with the message when ok is false; used by the
// commands' argument checks, which run before anything is sent.
void Require(bool ok, const std::string& error);
// The same with the message prefix + error; error is read only after ok was
// worked out, so it may be filled by the same expression as ok.
void Require(bool ok, const std::string& prefix, const std::string& error);

}  // namespace tavrin::cli

#endif
