// The back buffer: a memory device context with a bitmap of the rectangle's
// size, copied onto the target with one colour left out.
#include "tavrin/display/back_draw.h"

#include "platform/graphics.h"

// The memory device context object remembers the bitmap its start call made,
// so that the end call deletes exactly that bitmap once.
struct TavrinBackBuffer {
  static HBITMAP& Of(CDC* memory) { return memory->m_hBackBuffer; }
};

namespace {

void PrepareBackBuffer(CDC* target, CDC* memory, const RECT* rect, COLORREF background) {
  HBITMAP bitmap = tavrin::platform::CreateCompatibleBitmap(target->m_hDC, rect->right - rect->left,
                                                            rect->bottom - rect->top);
  if (bitmap != nullptr) {
    // A start without its end before leaves a bitmap behind: it goes once
    // the new one has taken its place.
    HBITMAP stale = TavrinBackBuffer::Of(memory);
    TavrinBackBuffer::Of(memory) = bitmap;
    tavrin::platform::SelectObject(memory->m_hDC, bitmap);
    if (stale != nullptr) tavrin::platform::DeleteObject(stale);
  }
  memory->FillSolidRect(rect, background);
}

}  // namespace

extern "C" void TAVRIN_CALL lib_BackDrawStart(CDC* target, CDC* memory, RECT* rect, CGdiObject*,
                                              COLORREF background) {
  memory->CreateCompatibleDC(target);
  PrepareBackBuffer(target, memory, rect, background);
}

extern "C" void TAVRIN_CALL lib_BackDrawStart2(CDC* target, CDC* memory, RECT* rect, CGdiObject*,
                                               COLORREF background) {
  PrepareBackBuffer(target, memory, rect, background);
}

extern "C" void TAVRIN_CALL lib_BackDrawEnd(CDC* target, CDC* memory, RECT* rect, CGdiObject* previous,
                                            COLORREF transparent) {
  const int width = rect->right - rect->left, height = rect->bottom - rect->top;
  target->TransparentBlt(0, 0, width, height, memory, 0, 0, width, height, transparent);
  CDC::SelectGdiObject(memory->m_hDC, previous == nullptr ? nullptr : previous->m_hObject);
  memory->DeleteDC();
  HBITMAP& bitmap = TavrinBackBuffer::Of(memory);
  if (bitmap != nullptr) tavrin::platform::DeleteObject(bitmap);
  bitmap = nullptr;
}
