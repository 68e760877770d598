#include "support/held_file.h"

// Nothing refuses a rename over a file that is open here.
namespace tavrin::test {

ScopedReplacePauses* ScopedReplacePauses::current_ = nullptr;

HeldFile::HeldFile(const std::filesystem::path&) {}
void HeldFile::Release() {}

ScopedReplacePauses::ScopedReplacePauses(HeldFile* release_at_first) : release_at_first_(release_at_first) {}
ScopedReplacePauses::~ScopedReplacePauses() = default;
void ScopedReplacePauses::Record(unsigned) {}

}  // namespace tavrin::test
