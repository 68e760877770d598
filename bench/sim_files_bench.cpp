// Throughput of the simulation-file operations of the chuck, jaw and work
// models on a large machine file and assembly file, each beside the same
// run's baselines:
//   read    `cat FILE > /dev/null` (files already in the page cache)
//   copy    `cp --reflink=never` of both files, then a flush of each (`sync
//           FILE`, timed on its own line) and a rename over the originals
// IsDefine reads the machine file, GetPosZ the assembly file, SetPosZ reads
// and writes both (its flushes are timed on their own line as well).  The
// aim is each within 1.5 times its baseline.
//
//   tavrin_sim_files_bench [MB per file, default 100]
// The files are made in a fresh folder under $TMPDIR (or /tmp) and removed
// at the end.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tavrin/platform_test.h"
