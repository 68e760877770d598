#include <stdlib.h>

#include "support/environment.h"

namespace tavrin::test {

void SetEnv(const char* name, const char* value) { _putenv_s(name, value != nullptr ? value : ""); }

}  // namespace tavrin::test
