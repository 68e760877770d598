// Modules and the resource look-up chain, and the library's entry point.
#ifndef TAVRIN_PLATFORM_MODULE_H
#define TAVRIN_PLATFORM_MODULE_H

namespace tavrin {
// The library's start-up and shutdown (app.cpp), called by the platform's
// entry point when the library is loaded and unloaded.
bool StartUp(void* library_module);
void ShutDown();
}  // namespace tavrin

namespace tavrin::platform {

// Joins the library's module to the resource look-up chain, after the
// application's own module; LeaveResourceChain takes it out again.
void JoinResourceChain(void* library_module);
void LeaveResourceChain();

// The first module of the chain that holds the resource, or null.
void* FindResourceInChain(const char* name, const char* type);

}  // namespace tavrin::platform

#endif
