// Environment variables for tests (the library reads TAVRIN_* variables).
#ifndef TAVRIN_TESTS_SUPPORT_ENVIRONMENT_H
#define TAVRIN_TESTS_SUPPORT_ENVIRONMENT_H

namespace tavrin::test {

// Sets (value non-null) or removes (null) a variable of this process.
void SetEnv(const char* name, const char* value);

// Sets a variable for the life of a scope and restores its old state after.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool had_value_;
  char* old_value_;
};

}  // namespace tavrin::test

#endif
