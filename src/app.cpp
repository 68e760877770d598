// The application object and the library's start-up and shutdown.
#include "tavrin/app.h"

#include "platform/module.h"

CWinApp::~CWinApp() = default;
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

BOOL CTavrinApp::InitInstance() { return CWinApp::InitInstance(); }

CTavrinApp theApp;

namespace tavrin {

HINSTANCE FindResourceModule(const char* name, const char* type) {
  return static_cast<HINSTANCE>(platform::FindResourceInChain(name, type));
}

// Called by the platform's library entry point.
bool StartUp(void* library_module) {
  platform::JoinResourceChain(library_module);
  return theApp.InitInstance() != FALSE;
}

void ShutDown() {
  theApp.ExitInstance();
  platform::LeaveResourceChain();
}

}  // namespace tavrin
