#include "support/sim_folder.h"

namespace tavrin::test {
bool DriveLettersAreMapped() { return false; }
bool FilesHaveModeBits() { return false; }
}  // namespace tavrin::test
