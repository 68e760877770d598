// A handler that an application installs in place of the library's own
// behaviour (a message box, a folder dialog), with the pointer it is given
// back, read and written by any thread.
#ifndef TAVRIN_UTIL_HANDLER_SLOT_H
#define TAVRIN_UTIL_HANDLER_SLOT_H

#include <mutex>

namespace tavrin {

template <typename Handler>
class HandlerSlot {
 public:
  // Installs `handler` with `user`; a null handler removes it (and `user`).
  void Set(Handler handler, void* user) {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = handler;
    user_ = handler != nullptr ? user : nullptr;
  }
  // The handler in force (null when none) and its user pointer.
  Handler Get(void** user) const {
    std::lock_guard<std::mutex> lock(mutex_);
    *user = user_;
    return handler_;
  }

 private:
  mutable std::mutex mutex_;
  Handler handler_ = nullptr;
  void* user_ = nullptr;
};

}  // namespace tavrin

#endif
