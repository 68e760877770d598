// The passes of a model (simulation/model.h) over one of the simulation's
// files: counting its elements, reading its matrix, rewriting it, checking
// what a rewrite would change.
//
// Each reads its file line by line as XmlStreamAccess::NextLine gives the
// lines (those of GetNextLine into 512 characters, also cut after a lone
// carriage return) and feeds them to a fresh ModelScan.  A scan goes on to
// the end of the file: past a line without markup (an empty line, text
// between elements) and past a line longer than 511 characters, which is no
// line of the layout: its pieces are skipped whole, so that no piece of a long
// comment is taken for an element.  Both are copied by a rewrite as they are.
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

// One pass of a rewrite up to its temporary file: copies `source` into
// `temporary` (created afresh: a file or link at that name is removed, never
// followed), every matrix line of the model rebuilt with `value` (by mode; a
// line that cannot be rebuilt, or that holds a NUL byte, is copied as it
// is).  Every byte that is not rebuilt reaches the temporary file unchanged:
// lines without markup, long lines, NUL bytes, a last line without a line
// end.  With `old_value`, it gets what ReadModelMatrix would have read from
// the source (untouched when there is no matrix line).  False when the source
// or the temporary file cannot be opened (*opened false) or a read or write
// fails (*opened true).
bool WriteRewrittenFile(const char* source, const char* temporary, ModelKind kind, bool left, short mode,
                        double value, double* old_value, bool* opened);

// WriteRewrittenFile and then the temporary file put in the source's place
// in one step (platform/file_replace.h).  False at the first failure; the
// source is then unchanged.
bool RewriteModelFile(const char* source, const char* temporary, ModelKind kind, bool left, short mode, double value,
                      double* old_value = nullptr);

// What a rewrite of the model's Z in one file would do.
struct RewriteCheck {
  long matrix_lines = 0;   // the model's matrix lines on its side
  long rewritable = 0;     // of them, the ones a rewrite rebuilds
  long problem_line = 0;   // the line (from 1) of the first problem; 0 none
  const char* problem = "";  // that problem in words
};

// The pass of a rewrite without writing.  Problems: a matrix line of the
// model that holds a NUL byte or cannot be rebuilt, or that belongs to an
// element of another kind opened inside the model's (its closing tag is
// missing), a line longer than 511 characters inside the model's element, the
// model's element still open at the end of the file.  False when the file cannot be opened or read.
bool CheckModelFile(const char* source, ModelKind kind, bool left, RewriteCheck* check);

}  // namespace tavrin::simulation

#endif
