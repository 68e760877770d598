#include <windows.h>

#include <future>
#include <thread>

#include "support/test_windows.h"

namespace tavrin::test {

namespace {
const char kClassName[] = "TavrinTestWindow";
const UINT_PTR kCloseTimer = 1;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CLOSE) {  // go a little later, so that callers must wait
    SetTimer(window, kCloseTimer, 200, nullptr);
    return 0;
  }
  if (message == WM_TIMER && wparam == kCloseTimer) {
    KillTimer(window, kCloseTimer);
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}
}  // namespace

bool CanMakeTestWindows() { return true; }

struct TestWindows::Loop {
  std::thread thread;
  DWORD thread_id = 0;
};

TestWindows::TestWindows(const std::vector<std::string>& titles) : loop_(new Loop) {
  std::promise<DWORD> ready;
  std::future<DWORD> ready_id = ready.get_future();
  loop_->thread = std::thread([titles, &ready] {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, before anyone posts to it
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = WindowProcedure;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = kClassName;
    RegisterClassA(&window_class);
    std::vector<HWND> windows;
    for (const std::string& title : titles)
      windows.push_back(CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                        nullptr, window_class.hInstance, nullptr));
    ready.set_value(GetCurrentThreadId());
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    for (HWND window : windows)
      if (IsWindow(window)) DestroyWindow(window);
    UnregisterClassA(kClassName, window_class.hInstance);
  });
  loop_->thread_id = ready_id.get();
}

TestWindows::~TestWindows() {
  PostThreadMessageA(loop_->thread_id, WM_QUIT, 0, 0);
  loop_->thread.join();
}

bool TestWindows::Exists(const std::string& title) { return FindWindowA(nullptr, title.c_str()) != nullptr; }

}  // namespace tavrin::test
