/* The library called from a C program: the C-linkage declarations link under
 * their C names (and on 32-bit Windows their standard-call names) and give
 * what the C++ side gives. */
#include <stdio.h>
#include <string.h>

#include <tavrin/nc/error_report.h>
#include <tavrin/version.h>

static int failures = 0;

static void expect_name(short code, const char* expected) {
  const char* name = lib_Focas2CodeName(code);
  int same = (name == NULL || expected == NULL) ? name == expected : strcmp(name, expected) == 0;
  if (!same) {
    printf("lib_Focas2CodeName(%d): got %s, expected %s\n", code, name ? name : "null", expected ? expected : "null");
    ++failures;
  }
}

int main(void) {
  expect_name(-8, "EW_HANDLE");
  expect_name(-17, "EW_PROTOCOL");
  expect_name(3, "EW_NUMBER or EW_RANGE");
  expect_name(19, "EW_PMCHANDLE");
  expect_name(32767, "DLL_FOCAS2_FUNCRET_INIT");
  expect_name(0, NULL);
  expect_name(20, NULL);
  expect_name(-18, NULL);
  if (strcmp(lib_GetTavrinVersion(), TAVRIN_VERSION_STRING) != 0) {
    printf("lib_GetTavrinVersion: %s, headers %s\n", lib_GetTavrinVersion(), TAVRIN_VERSION_STRING);
    ++failures;
  }
  printf("%s: %d failure(s)\n", failures ? "FAILED" : "PASSED", failures);
  return failures ? 1 : 0;
}
