#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "support/held_file.h"

namespace tavrin::test {

ScopedReplacePauses* ScopedReplacePauses::current_ = nullptr;

HeldFile::HeldFile(const std::filesystem::path& path) {
  HANDLE file = CreateFileA(path.string().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) handle_ = file;
}

void HeldFile::Release() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

namespace {
VOID WINAPI RecordingSleep(DWORD milliseconds) { ScopedReplacePauses::Record(milliseconds); }
}  // namespace

ScopedReplacePauses::ScopedReplacePauses(HeldFile* release_at_first)
    : release_at_first_(release_at_first), recorder_{{"Sleep", &RecordingSleep}} {
  current_ = this;
}

ScopedReplacePauses::~ScopedReplacePauses() { current_ = nullptr; }

void ScopedReplacePauses::Record(unsigned milliseconds) {
  if (current_ == nullptr) return;
  current_->pauses_.push_back(milliseconds);
  if (current_->release_at_first_ != nullptr) current_->release_at_first_->Release();
  current_->release_at_first_ = nullptr;
}

}  // namespace tavrin::test
