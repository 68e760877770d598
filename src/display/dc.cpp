// Device contexts: making and deleting them, selecting objects, drawing.
#include "platform/graphics.h"
#include "tavrin/display/gdi.h"

CDC::~CDC() {
  DeleteDC();
  if (m_hBackBuffer != nullptr) tavrin::platform::DeleteObject(m_hBackBuffer);
  if (m_pTempBitmap != nullptr) m_pTempBitmap->m_hObject = nullptr;
  if (m_pTempFont != nullptr) m_pTempFont->m_hObject = nullptr;
  delete m_pTempBitmap;
  delete m_pTempFont;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  if (m_hDC != nullptr) return FALSE;
  return Attach(tavrin::platform::CreateMemoryDc(dc == nullptr ? nullptr : dc->m_hDC));
}

BOOL CDC::Attach(HDC h) {
  if (h == nullptr || m_hDC != nullptr) return FALSE;
  m_hDC = h;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = nullptr;
  return h;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  return tavrin::platform::DeleteDc(Detach()) ? TRUE : FALSE;
}

// A temporary object views a handle without owning it: its handle is set
// directly, never attached, and cleared before the object goes.
CBitmap* CDC::TemporaryBitmap(HGDIOBJ h) {
  if (m_pTempBitmap == nullptr) m_pTempBitmap = new CBitmap;
  m_pTempBitmap->m_hObject = h;
  return m_pTempBitmap;
}

CFont* CDC::TemporaryFont(HGDIOBJ h) {
  if (m_pTempFont == nullptr) m_pTempFont = new CFont;
  m_pTempFont->m_hObject = h;
  return m_pTempFont;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (bitmap == nullptr) return nullptr;
  HGDIOBJ previous = tavrin::platform::SelectObject(m_hDC, bitmap->m_hObject);
  if (previous == nullptr) return nullptr;
  CBitmap* permanent = CBitmap::FromHandle(static_cast<HBITMAP>(previous));
  return permanent != nullptr ? permanent : TemporaryBitmap(previous);
}

CFont* CDC::SelectObject(CFont* font) {
  if (font == nullptr) return nullptr;
  HGDIOBJ previous = tavrin::platform::SelectObject(m_hDC, font->m_hObject);
  if (previous == nullptr) return nullptr;
  CFont* permanent = CFont::FromHandle(static_cast<HFONT>(previous));
  return permanent != nullptr ? permanent : TemporaryFont(previous);
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (object == nullptr) return nullptr;
  return SelectGdiObject(m_hDC, object->m_hObject);
}

CGdiObject* CDC::SelectGdiObject(HDC dc, HGDIOBJ h) {
  return CGdiObject::FromHandle(tavrin::platform::SelectObject(dc, h));
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) { tavrin::platform::FillSolidRect(m_hDC, rect, colour); }

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
  RECT rect{x, y, x + cx, y + cy};
  FillSolidRect(&rect, colour);
}

COLORREF CDC::SetTextColor(COLORREF colour) { return tavrin::platform::SetTextColor(m_hDC, colour); }

int CDC::SetBkMode(int mode) { return tavrin::platform::SetBkMode(m_hDC, mode); }

UINT CDC::SetTextAlign(UINT flags) { return tavrin::platform::SetTextAlign(m_hDC, flags); }

UINT CDC::GetTextAlign() const { return tavrin::platform::GetTextAlign(m_hDC); }

BOOL CDC::TextOut(int x, int y, LPCSTR text, int count) {
  return tavrin::platform::TextOut(m_hDC, x, y, text, count) ? TRUE : FALSE;
}

BOOL CDC::TransparentBlt(int x_dest, int y_dest, int width_dest, int height_dest, CDC* src, int x_src, int y_src,
                         int width_src, int height_src, UINT transparent_colour) {
  if (src == nullptr) return FALSE;
  return tavrin::platform::TransparentBlt(m_hDC, x_dest, y_dest, width_dest, height_dest, src->m_hDC, x_src, y_src,
                                          width_src, height_src, transparent_colour)
             ? TRUE
             : FALSE;
}

COLORREF CDC::GetPixel(int x, int y) const { return tavrin::platform::GetPixel(m_hDC, x, y); }
