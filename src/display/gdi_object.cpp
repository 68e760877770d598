// Drawing objects: the handle they hold, the permanent object of each
// attached handle, bitmaps and fonts.
#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "platform/graphics.h"
#include "tavrin/display/gdi.h"
#include "tavrin/display/resources.h"

namespace {

// Each handle attached by an object maps to that object until the object
// lets it go, as in the class library's permanent handle map.
struct PermanentMap {
  std::mutex mutex;
  std::unordered_map<HGDIOBJ, CGdiObject*> objects;
};
PermanentMap& Permanent() {
  static PermanentMap map;
  return map;
}

void Forget(HGDIOBJ h, const CGdiObject* object) {
  std::lock_guard<std::mutex> lock(Permanent().mutex);
  auto it = Permanent().objects.find(h);
  if (it != Permanent().objects.end() && it->second == object) Permanent().objects.erase(it);
}

// GDI's MulDiv: a * b / c rounded half away from zero.
long RoundedMulDiv(long a, long b, long c) {
  long long product = static_cast<long long>(a) * b;
  long long half = std::llabs(static_cast<long long>(c)) / 2;
  long long rounded = (product >= 0) == (c >= 0) ? (std::llabs(product) + half) / std::llabs(c)
                                                  : -((std::llabs(product) + half) / std::llabs(c));
  return static_cast<long>(rounded);
}

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ h) {
  if (h == nullptr || m_hObject != nullptr) return FALSE;
  m_hObject = h;
  std::lock_guard<std::mutex> lock(Permanent().mutex);
  Permanent().objects[h] = this;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  if (h != nullptr) Forget(h, this);
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  return tavrin::platform::DeleteObject(Detach()) ? TRUE : FALSE;
}

int CGdiObject::GetObject(int size, LPVOID buffer) const {
  return tavrin::platform::DescribeObject(m_hObject, size, buffer);
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) {
  if (h == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(Permanent().mutex);
  auto it = Permanent().objects.find(h);
  return it == Permanent().objects.end() ? nullptr : it->second;
}

CBitmap::~CBitmap() = default;

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  if (m_hObject != nullptr || dc == nullptr) return FALSE;
  return Attach(tavrin::platform::CreateCompatibleBitmap(dc->m_hDC, width, height));
}

BOOL CBitmap::LoadBitmap(UINT id) {
  return LoadBitmap(MAKEINTRESOURCEA(id));
}

BOOL CBitmap::LoadBitmap(LPCSTR name) {
  if (m_hObject != nullptr) return FALSE;
  return Attach(tavrin::LoadBitmapResource(name));
}

int CBitmap::GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }

CBitmap* CBitmap::FromHandle(HBITMAP h) {
  // Every permanent object of a bitmap handle is a CBitmap (only CBitmap
  // members attach bitmaps, and applications attach them to CBitmap).
  return static_cast<CBitmap*>(CGdiObject::FromHandle(h));
}

CFont::~CFont() = default;

BOOL CFont::CreateFontIndirect(const LOGFONTA* lf) {
  if (m_hObject != nullptr || lf == nullptr) return FALSE;
  return Attach(tavrin::platform::CreateFontFromDescription(lf));
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* lf, CDC* dc) {
  if (lf == nullptr) return FALSE;
  LOGFONTA pixels = *lf;
  long height = RoundedMulDiv(tavrin::platform::PixelsPerInchY(dc == nullptr ? nullptr : dc->m_hDC), lf->lfHeight, 720);
  pixels.lfHeight = height < 0 ? height : -height;
  return CreateFontIndirect(&pixels);
}

int CFont::GetLogFont(LOGFONTA* lf) const { return GetObject(sizeof(LOGFONTA), lf); }

CFont* CFont::FromHandle(HFONT h) { return static_cast<CFont*>(CGdiObject::FromHandle(h)); }
