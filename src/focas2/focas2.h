// The FOCAS2 binding: the 19 CNC library calls the library makes.
//
// The CNC library is loaded once, on first use, as tavrin/nc/focas2_library.h
// says, which also gives the process's counts of these calls.  When it cannot
// be loaded, or lacks a call, that call returns EW_NODLL (-15) and does
// nothing else.
#ifndef TAVRIN_NC_FOCAS2_H
#define TAVRIN_NC_FOCAS2_H

#include "tavrin/focas2/calls.h"
#include "tavrin/focas2/records.h"

namespace tavrin::focas {

#define TAVRIN_DECLARE(name, parameters, arguments) short name parameters;
TAVRIN_FOCAS2_CALLS(TAVRIN_DECLARE)
#undef TAVRIN_DECLARE

}  // namespace tavrin::focas

#endif
