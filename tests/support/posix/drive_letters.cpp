#include "support/sim_folder.h"

namespace tavrin::test {
bool DriveLettersAreMapped() { return true; }
bool FilesHaveModeBits() { return true; }
}  // namespace tavrin::test
