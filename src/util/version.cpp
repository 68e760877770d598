#include "tavrin/version.h"

extern "C" const char* TAVRIN_CALL lib_GetTavrinVersion(void) { return TAVRIN_VERSION_STRING; }
