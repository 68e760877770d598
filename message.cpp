// The message seam: an installed handler, or the platform's own box.
#include "tavrin/message.h"

#include <mutex>

#include "platform/platform.h"

namespace {
std::mutex handler_mutex;
tavrin_message_handler installed_handler = nullptr;
void* installed_user = nullptr;
}  // namespace

extern "C" void tavrin_set_message_handler(tavrin_message_handler handler, void* user) {
  std::lock_guard<std::mutex> lock(handler_mutex);
  installed_handler = handler;
  installed_user = handler != nullptr ? user : nullptr;
}

extern "C" int tavrin_show_message(const char* text, const char* caption, unsigned int style) {
  tavrin_message_handler handler;
  void* user;
  {
    std::lock_guard<std::mutex> lock(handler_mutex);
    handler = installed_handler;
    user = installed_user;
  }
  if (handler != nullptr) return handler(text, caption, style, user);
  return tavrin::platform::ShowSystemMessageBox(text, caption, style);
}
