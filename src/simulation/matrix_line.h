// The matrix line of the simulation's files: the placement of an element as
// 16 numbers separated by commas, "<matrix>n0,n1,...,n15</matrix>", of which
// n14 is the element's Z position.  One implementation behind the
// GetMatrixVal and SetMatrixVal members of the three model classes.
//
// Mode 0 selects the Z position; it is the only mode.
//
// A matrix is read from the record's text: fields end at a comma, a line
// feed or the end of the text, each is converted with atof.  The text must
// hold exactly 16 fields of at most 23 characters each; any other text (no
// text, fewer or more numbers, an overlong number) is no matrix: it reads as
// 0.0 and is never rewritten, so that nothing of it is lost.
#ifndef TAVRIN_SIMULATION_MATRIX_LINE_H
#define TAVRIN_SIMULATION_MATRIX_LINE_H

#include <cstddef>

#include "tavrin/simulation/xml.h"

namespace tavrin::simulation {

constexpr int kMatrixNumbers = 16;
constexpr int kMatrixZIndex = 14;
constexpr std::size_t kMatrixNumberLimit = 23;
constexpr std::size_t kLineBufferSize = 512;

// The 16 numbers of the record's text; false when it is no matrix.
bool ReadMatrixNumbers(const CLibXmlinf* info, double numbers[kMatrixNumbers]);

// GetMatrixVal: the number that `mode` selects, 0.0 for another mode or no matrix.
double MatrixValue(const CLibXmlinf* info, short mode);

// SetMatrixVal: rebuilds `line` (a buffer of kLineBufferSize characters)
// with its own indentation, all 16 numbers printed with %.15g and the one
// that `mode` selects replaced by `value`, and the line end that the old line
// had ("\n", "\r\n", a lone "\r", or none for a last line without one).  0 when done; -1, with `line` unchanged, for another mode, no matrix,
// a line that holds more than its indentation, the element and its line end
// (the rest would be lost), or a new line that would not fit the buffer.
short RewriteMatrixLine(char* line, const CLibXmlinf* info, short mode, double value);

}  // namespace tavrin::simulation

#endif
