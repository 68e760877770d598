#include "simulator.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tavrin::simcnc::detail {

unsigned short Simulator::OpenHandle() {
  // Count on from the last handle given, skipping 0 and handles still open,
  // so that a handle freed a moment ago stays unknown.
  for (unsigned tries = 0; tries < 0x10000u; ++tries) {
    ++last_handle;
    if (last_handle == 0 || handles.count(last_handle) != 0) continue;
    handles[last_handle] = 1;
    return last_handle;
  }
  return 0;
}

Path* Simulator::PathOf(unsigned short handle) {
  auto found = handles.find(handle);
  return found == handles.end() ? nullptr : machine.PathNumber(found->second);
}

void Simulator::ReplaceMachine(Machine replacement) {
  machine = std::move(replacement);
  for (auto& handle : handles) {
    if (machine.PathNumber(handle.second) == nullptr) handle.second = 1;
  }
}

namespace {

Simulator* Create() {
  auto* simulator = new Simulator();
  const char* file = std::getenv("TAVRIN_SIMCNC_MACHINE");
  if (file != nullptr && *file != '\0') {
    Machine machine;
    std::string error;
    if (ReadMachineFile(file, &machine, &error)) {
      simulator->machine = std::move(machine);
    } else {
      // No caller to tell at first use: say it where a person will see it.
      std::fprintf(stderr, "tavrin_simcnc: TAVRIN_SIMCNC_MACHINE not loaded: %s\n", error.c_str());
    }
  }
  return simulator;
}

// The instance the calling thread selected, if any.
thread_local Simulator* selected = nullptr;

}  // namespace

Simulator& Sim() {
  if (selected != nullptr) return *selected;
  // Made once and never destroyed, so that calls made while the process
  // exits (from other libraries' exit handlers) still find it.
  static Simulator* simulator = Create();
  return *simulator;
}

}  // namespace tavrin::simcnc::detail

namespace tavrin::simcnc {

// An instance is a simulator of its own; the public name only hides it.
class Instance : public detail::Simulator {};

Instance* NewInstance() { return new Instance(); }

void DeleteInstance(Instance* instance) { delete instance; }

Instance* SelectInstance(Instance* instance) {
  auto* previous = static_cast<Instance*>(detail::selected);
  detail::selected = instance;
  return previous;
}

}  // namespace tavrin::simcnc
