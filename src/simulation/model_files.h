// The passes of a model (simulation/model.h) over one of the simulation's
// files: counting its elements, reading its matrix, rewriting it.
//
// Each reads its file line by line with CLibXml (512-character lines) and
// feeds the lines to a fresh ModelScan.  A scan ends at the end of the file
// or at the first line without markup, as GetNextLine reports it.
#ifndef TAVRIN_SIMULATION_MODEL_FILES_H
#define TAVRIN_SIMULATION_MODEL_FILES_H

#include "simulation/model_scan.h"

namespace tavrin::simulation {

// Counts the model's elements on its side in `file`; with `first_only` the
// scan stops at the first.  Adds to *count (the caller starts it).  False
// when the file cannot be opened.
bool CountModelElements(const char* file, ModelKind kind, bool left, bool first_only, short* count);

// Stores the value (by mode) of every matrix line of the model in *value, so
// that the last one wins; *value is untouched when there is none.  False
// when the file cannot be opened.
bool ReadModelMatrix(const char* file, ModelKind kind, bool left, short mode, double* value);

// One pass of a rewrite: copies `source` into `temporary`, every matrix line
// of the model rebuilt with `value` (by mode; a line that cannot be rebuilt
// is copied as it is), and then puts the temporary file in the source's
// place in one step (platform/file_replace.h).  Every byte that is not
// rebuilt reaches the temporary file unchanged, also after the scan has
// ended: lines without markup, pieces of overlong lines, NUL bytes, a last
// line without a line end.  With `old_value`, it gets what ReadModelMatrix
// would have read from the source (untouched when there is no matrix line).
// False when the source or the temporary file cannot be opened, a read or
// write fails, or the replace fails; the source is then unchanged.
bool RewriteModelFile(const char* source, const char* temporary, ModelKind kind, bool left, short mode, double value,
                      double* old_value = nullptr);

}  // namespace tavrin::simulation

#endif
