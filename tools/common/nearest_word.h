// "Did you mean": the valid word nearest to a mistyped one, for the tools'
// messages about unknown commands and options.
#ifndef TAVRIN_TOOLS_COMMON_NEAREST_WORD_H
#define TAVRIN_TOOLS_COMMON_NEAREST_WORD_H

#include <string>
#include <vector>

namespace tavrin::cli {

// The word of `candidates` nearest to `word` (case aside, a transposition
// counting as one change), for "did you mean": empty when none is within one
// change (two for words of more than four characters, leading dashes not
// counted), or when `word` is one of them.  The first of equally near
// candidates wins.
std::string NearestWord(const std::string& word, const std::vector<std::string>& candidates);

}  // namespace tavrin::cli

#endif
