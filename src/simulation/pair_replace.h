// The two files of a SetPos put in place as one step, so that a process
// killed at any point leaves the assembly file and the machine file as
// before the SetPos or as after it, never one old and one new.
//
// The procedure, with the names of sim_files.h:
//   1. both passes write their temporary files whole ("<base>Temp.ovx",
//      "<base>Temp.ovp"); a process killed here leaves the pair as it was,
//      and the temporary files are written anew by the next SetPos;
//   2. both temporary files are put on the disk, and then the record of
//      intent "<base>Temp.ovi" is created: an empty file whose presence says
//      that both temporary files are complete and belong in place;
//   3. the temporary assembly file is renamed over the assembly file, then
//      the temporary machine file over the machine file;
//   4. the record is removed.
// Every call of a model that reads or writes the files first finishes a
// recorded replace (FinishRecordedReplace): each temporary file still there
// is renamed over its file, then the record is removed.  A SetPos killed
// after step 2 is so completed by whichever call comes next, in any process.
// Programs that move models under the simulation files' lock
// (lib_LockSimulationFiles) are left to finish their own move: while another
// holds that lock, a record is left alone (the holder's next temporary
// files must never be taken for the recorded ones); a holder that died has
// released it.  The model calls still never wait for the lock.
//
// Failures that are no crash keep what they have always left:
//   - a failure before step 3 changes neither file (the temporary files
//     stay with their complete contents; a failed record is removed);
//   - the replace of the assembly file fails: neither file has changed, the
//     record is removed;
//   - the replace of the machine file fails: the assembly file holds the new
//     contents and the machine file the old, the temporary machine file stays
//     with its complete contents; the record stays, so the next call tries
//     again to put it in place.
// The caller (Model::SetPos) handles the failure of the machine file's pass
// itself: the assembly file is then replaced alone.
#ifndef TAVRIN_SIMULATION_PAIR_REPLACE_H
#define TAVRIN_SIMULATION_PAIR_REPLACE_H

#include "simulation/sim_files.h"

namespace tavrin::simulation {

// Steps 2 to 4; both temporary files are written.  False at the first
// failure (above says what is left).
bool ReplacePair(const SimulationFileNames& names);

// Finishes a replace that a record names; true when there was none, it is
// finished, or the lock's holder finishes it; false when a rename failed
// (the record then stays).
bool FinishRecordedReplace(const SimulationFileNames& names);

// Marks the simulation files' lock as held (or no longer) by this process,
// which then finishes records itself.
void SetLockHeldHere(bool held);

}  // namespace tavrin::simulation

#endif
