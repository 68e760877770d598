#include <stdlib.h>

#include "support/environment.h"

namespace tavrin::test {

void SetEnv(const char* name, const char* value) {
  if (value != nullptr) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace tavrin::test
