// The items file of `tavrin publish`: the extra CNC values a shop chooses to
// publish, each under <prefix>/items/<name>.
//
// TOML, read with the same reader family as the simulated CNC's machine
// description; one [[item]] table per value:
//
//   [[item]]
//   name = "spindle_load"        # letters, digits, '_', '-', '.'; 1..64; unique
//   kind = "pmc"                 # param, pmc, macro or offset
//   address = "R6836"            # pmc: as a person writes it; "D9550.2" is a bit
//   type = "word"                # pmc: byte (default), word or two-word (no bit)
//
//   param:  number = 1420 or "3115.0" (bit parameters: NUMBER.BIT),
//           type = bit, byte, word, two-word or real, axis = 0..32 (default 0)
//   macro:  number = 1..99999
//   offset: number = 1..999, field = wear-x ... wear-y, geometry-x ... geometry-y
//
// Every entry is checked when the file is read; the first mistake (unknown
// key or kind, bad address, bit above 7, duplicate name, more than
// kMaxItems items) is reported as "FILE:LINE:COLUMN: what".
#ifndef TAVRIN_TOOLS_PUBLISH_ITEMS_H
#define TAVRIN_TOOLS_PUBLISH_ITEMS_H

#include <string>
#include <vector>

#include "output.h"
#include "parse.h"

namespace tavrin::cli::publish {

constexpr std::size_t kMaxItems = 1000;
constexpr std::size_t kMaxItemName = 64;

struct Item {
  enum Kind { kParam, kPmc, kMacro, kOffset };
  std::string name;
  Kind kind = kParam;
  int line = 0;            // where the item's table starts
  ParamNumber param;       // kParam
  short param_type = 0;    // kParam: TAVRIN_PARAM_BIT ... TAVRIN_PARAM_REAL
  short axis = 0;          // kParam
  PmcAddress pmc;          // kPmc
  int pmc_bytes = 1;       // kPmc: 1, 2 or 4 (ignored for a bit)
  long number = 0;         // kMacro: variable; kOffset: offset number
  int field = 0;           // kOffset: index into kOffsetFields
};

// The offset fields, in the order of the items file's names.
extern const char* const kOffsetFields[10];

// Reads and checks the items file `path` (or TOML `text` named `source`).
// Returns false with *error set, and *items untouched, on the first mistake.
bool LoadItems(const std::string& path, std::vector<Item>* items, std::string* error);
bool ParseItems(const std::string& text, const std::string& source, std::vector<Item>* items, std::string* error);

// Reads an item's value once through the library's lib_ functions: *value is
// a number (a bool for bits).  Returns the FOCAS2 code; *value is untouched
// when it is not 0.
short ReadItem(unsigned short handle, const Item& item, Json* value);
// What the item reads, for its payload ("parameter 1420 axis 1 (two-word)").
std::string DescribeItem(const Item& item);

}  // namespace tavrin::cli::publish

#endif
