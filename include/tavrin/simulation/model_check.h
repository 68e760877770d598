// Before a program moves a model of the collision-check simulation: what a
// rewrite of its Z position would change in the two files, and a lock that
// programs take around their rewrites so that two of them never interleave
// their passes.
//
// The model classes' own calls take no lock and check nothing beforehand;
// these calls are for a program (the tavrin command, a panel) that wants to
// refuse a move that could not change both files whole, and to keep its own
// rewrites apart from those of other programs that take the same lock.
#ifndef TAVRIN_SIMULATION_MODEL_CHECK_H
#define TAVRIN_SIMULATION_MODEL_CHECK_H

#include "tavrin/export.h"

/* What a rewrite would do in one file. */
typedef struct TavrinModelFileCheck {
  char file[260];     /* the file's name as the settings give it (a Windows path) */
  long matrix_lines;  /* the model's matrix lines on its side */
  long rewritable;    /* of them, the lines a rewrite rebuilds */
  long problem_line;  /* the line (counted from 1) of the first problem; 0 when none */
  char problem[160];  /* the first problem in words (English); "" when none */
} TavrinModelFileCheck;

typedef struct TavrinModelCheck {
  TavrinModelFileCheck assembly; /* the ".ovx" file */
  TavrinModelFileCheck machine;  /* the file "filepath" names */
} TavrinModelCheck;

TAVRIN_EXTERN_C_BEGIN

/* Checks what moving a model would change, without writing anything.
 * `model`: 'C' the chuck, 'J' the jaws, 'W' the workpiece; `side`: 'L' left
 * spindle, 'R' right spindle.  A move changes a file whole when its
 * `rewritable` equals its `matrix_lines`, is not 0, and `problem` is empty.
 * Problems: a matrix line of the model holding a NUL byte or that cannot be
 * rebuilt (not 16 numbers alone on the line, too long once rebuilt), or that
 * belongs to another element opened inside the model's (a missing closing
 * tag), a line longer than 511 characters inside the model's element (never
 * rewritten), the model's element never closed.
 * Returns 0 when both files were read; -1 when "filepath" is empty or too
 * long (nothing filled in) or a file cannot be opened or read (its `problem`
 * says so); -2 for a null `check` or a model or side letter not listed. */
TAVRIN_FUNC(short) lib_CheckModelRewrite(char model, char side, TavrinModelCheck* check);

/* Waits until this caller holds the lock of the simulation's files: the file
 * "<base>Temp.lock" beside the machine file (created when missing).  Returns
 * the lock, to be given to lib_UnlockSimulationFiles; null when "filepath"
 * is empty or the lock file cannot be opened or locked.  The lock is
 * advisory: it keeps out only programs that ask for it too. */
TAVRIN_FUNC(void*) lib_LockSimulationFiles(void);

/* Releases a lock of lib_LockSimulationFiles; nothing for null. */
TAVRIN_FUNC(void) lib_UnlockSimulationFiles(void* lock);

TAVRIN_EXTERN_C_END

#endif
