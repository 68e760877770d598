// One FOCAS2 call from the simulated CNC's journal, as a line for people:
//   pmc_rdpmcrng(handle 1: 9, 0, 9550, 9550, 9) -> 0, data 04
#ifndef TAVRIN_TOOLS_JOURNAL_VIEW_H
#define TAVRIN_TOOLS_JOURNAL_VIEW_H

#include <string>

#include "tavrin/simcnc.h"

namespace tavrin::cli {

std::string DescribeCall(const tavrin::simcnc::Control& simulated, const tavrin::simcnc::JournalEntry& entry);

}  // namespace tavrin::cli

#endif
