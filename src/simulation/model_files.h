// The three operations that every model class (chuck, jaws, workpiece)
// makes over the simulation's files, written once.
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

// The whole rewrite of a SetPos: reads "filepath", then a pass over the
// assembly file with `assembly_value` and a pass over the machine file with
// `machine_value`.  0 when both files were replaced; -1 at the first failure
// (an empty "filepath" touches nothing; a failure in the second pass leaves
// the assembly file already rewritten).
short RewriteModelFiles(ModelKind kind, bool left, short mode, double assembly_value, double machine_value);

// The workpiece's rewrite: the assembly file gets `value` and the machine
// file value - assembly_z + machine_z, where assembly_z is the workpiece's
// Z in the assembly file before its rewrite (0.0 when it has none), read in
// the assembly file's own pass.  Results as RewriteModelFiles.
short RewriteWorkFiles(bool left, double value, double machine_z);

}  // namespace tavrin::simulation

#endif
