// The library's application object.
//
// Tavrin has one application object, theApp of class CTavrinApp, made with no
// application name.  When the library is loaded its start-up initialises the
// object (InitInstance) and joins the library's module to the resource
// look-up chain, so that resource look-ups (bitmaps) search the application's
// module first and then the library's.  At unloading both are ended.  Nothing
// else happens at load: no settings are read and no connection is opened.
//
// CWinApp here is the least of an application class that the library needs:
// its name, InitInstance and ExitInstance.
#ifndef TAVRIN_APP_H
#define TAVRIN_APP_H

#include "tavrin/export.h"
#include "tavrin/wintypes.h"

class TAVRIN_CLASS CWinApp {
 public:
  // constexpr so that the application object exists before any start-up code
  // of the library runs, whatever the order of initialisation.
  explicit constexpr CWinApp(const char* app_name = nullptr) : m_pszAppName(app_name) {}
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Runs once at start-up; FALSE would refuse the load.
  virtual BOOL InitInstance();
  // Runs once at unloading; the result is the exit code.
  virtual int ExitInstance();

  // The application's name (null when made without one).
  const char* m_pszAppName;
};

class TAVRIN_CLASS CTavrinApp : public CWinApp {
 public:
  constexpr CTavrinApp() : CWinApp(nullptr) {}
  BOOL InitInstance() override;
};

// The library's application object.
extern TAVRIN_API CTavrinApp theApp;

#ifdef __cplusplus
namespace tavrin {
// Finds a resource along the look-up chain: the application's module, then
// the library's.  Returns the module that holds it, or null (always null
// where modules carry no resources, as on Linux).
TAVRIN_API HINSTANCE FindResourceModule(const char* name, const char* type);
}  // namespace tavrin
#endif

#endif
