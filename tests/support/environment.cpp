#include "support/environment.h"

#include <cstdlib>
#include <cstring>

namespace tavrin::test {

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name), had_value_(false), old_value_(nullptr) {
  const char* old = std::getenv(name);
  if (old != nullptr) {
    had_value_ = true;
    old_value_ = new char[std::strlen(old) + 1];
    std::strcpy(old_value_, old);
  }
  SetEnv(name, value);
}

ScopedEnv::~ScopedEnv() {
  SetEnv(name_, had_value_ ? old_value_ : nullptr);
  delete[] old_value_;
}

}  // namespace tavrin::test
