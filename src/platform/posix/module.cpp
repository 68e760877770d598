// On Linux modules carry no resources: the chain is kept for the same
// start-up and shutdown as on Windows, and finds nothing.
#include "platform/module.h"

namespace tavrin::platform {

namespace {
void* library_module = nullptr;

__attribute__((constructor)) void LibraryLoaded() { tavrin::StartUp(nullptr); }
__attribute__((destructor)) void LibraryUnloaded() { tavrin::ShutDown(); }
}  // namespace

void JoinResourceChain(void* module) { library_module = module; }
void LeaveResourceChain() { library_module = nullptr; }
void* FindResourceInChain(const char*, const char*) { return nullptr; }

}  // namespace tavrin::platform
