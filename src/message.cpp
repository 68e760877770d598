// The message seam: an installed handler, or the platform's own box.
#include "tavrin/message.h"

#include "platform/platform.h"
#include "util/handler_slot.h"

namespace {
tavrin::HandlerSlot<tavrin_message_handler> message_handler;
}  // namespace

extern "C" void tavrin_set_message_handler(tavrin_message_handler handler, void* user) {
  message_handler.Set(handler, user);
}

extern "C" int tavrin_show_message(const char* text, const char* caption, unsigned int style) {
  void* user = nullptr;
  tavrin_message_handler handler = message_handler.Get(&user);
  if (handler != nullptr) return handler(text, caption, style, user);
  return tavrin::platform::ShowSystemMessageBox(text, caption, style);
}
