// CLibBmp: a bitmap item placed in a window, hit-tested and drawn.
#include "tavrin/display/bmp.h"

#include <cstring>

#include "platform/graphics.h"
#include "tavrin/display/resources.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kYellow = 0x00FFFF;

// Copies at most max bytes of text into field (which holds max + 1), cut on
// a character boundary.
void CopyCut(char* field, const char* text, std::size_t max) {
  std::size_t length = tavrin::platform::NarrowTextCut(text, max);
  std::memcpy(field, text, length);
  field[length] = '\0';
}

}  // namespace

CLibBmp::CLibBmp() : CLibBmp(static_cast<HWND>(nullptr)) {}

CLibBmp::CLibBmp(HWND window)
    : m_bDispFlag(false),
      m_bSlctFlag(false),
      m_pBmpRect(new RECT{0, 0, 0, 0}),
      m_pTxtPos(new POINT{0, 0}),
      m_TxtClr(0),
      m_TxtAlign(TA_LEFT),
      m_szTxt(),
      m_szBmpName(),
      m_pBitmap(new CBitmap),
      m_hHandedInBmp(nullptr),
      m_BmpTransparent(kWhite),
      m_hWnd(window),
      m_bBackClrMode(false),
      m_BackClr(kYellow),
      m_pBackClrRect(new RECT{0, 0, 0, 0}),
      m_pFont(new CFont) {}

CLibBmp::CLibBmp(const CLibBmp& other) : CLibBmp(other.m_hWnd) { CopyFrom(other); }

CLibBmp& CLibBmp::operator=(const CLibBmp& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

void CLibBmp::CopyFrom(const CLibBmp& other) {
  m_bDispFlag = other.m_bDispFlag;
  m_bSlctFlag = other.m_bSlctFlag;
  *m_pBmpRect = *other.m_pBmpRect;
  *m_pTxtPos = *other.m_pTxtPos;
  m_TxtClr = other.m_TxtClr;
  m_TxtAlign = other.m_TxtAlign;
  std::memcpy(m_szTxt, other.m_szTxt, sizeof m_szTxt);
  std::memcpy(m_szBmpName, other.m_szBmpName, sizeof m_szBmpName);
  m_pBitmap->DeleteObject();
  HBITMAP source = static_cast<HBITMAP>(other.m_pBitmap->m_hObject);
  if (source != nullptr) m_pBitmap->Attach(tavrin::platform::CopyBitmap(source));
  // The copy's handed-in bitmap is its own copy of the one handed in.
  m_hHandedInBmp = other.m_hHandedInBmp != nullptr && other.m_hHandedInBmp == source
                       ? static_cast<HBITMAP>(m_pBitmap->m_hObject)
                       : other.m_hHandedInBmp;
  m_BmpTransparent = other.m_BmpTransparent;
  m_hWnd = other.m_hWnd;
  m_bBackClrMode = other.m_bBackClrMode;
  m_BackClr = other.m_BackClr;
  *m_pBackClrRect = *other.m_pBackClrRect;
  m_pFont->m_hObject = other.m_pFont->m_hObject;
}

CLibBmp::~CLibBmp() {
  delete m_pBmpRect;
  delete m_pTxtPos;
  delete m_pBitmap;
  delete m_pBackClrRect;
  // The font handle is the caller's: the object lets go of it unused.
  m_pFont->m_hObject = nullptr;
  delete m_pFont;
}

void CLibBmp::SetDispFlag(bool flag) { m_bDispFlag = flag; }
bool CLibBmp::IsDispFlag() { return m_bDispFlag; }
void CLibBmp::SetSlctFlag(bool flag) { m_bSlctFlag = flag; }
bool CLibBmp::IsSlctFlag() { return m_bSlctFlag; }

void CLibBmp::SetBmpPos(short x, short y) {
  BITMAP size{};
  m_pBitmap->GetBitmap(&size);
  *m_pBmpRect = RECT{x, y, x + size.bmWidth, y + size.bmHeight};
  *m_pBackClrRect = RECT{m_pBmpRect->left - 1, m_pBmpRect->top - 1, m_pBmpRect->right + 1, m_pBmpRect->bottom + 1};
}

void CLibBmp::GetBmpRect(CRect* rect) {
  if (rect != nullptr) *rect = *m_pBmpRect;
}

short CLibBmp::GetBmpLeftPos() { return static_cast<short>(m_pBmpRect->left); }
short CLibBmp::GetBmpTopPos() { return static_cast<short>(m_pBmpRect->top); }
short CLibBmp::GetBmpRightPos() { return static_cast<short>(m_pBmpRect->right); }
short CLibBmp::GetBmpBottomPos() { return static_cast<short>(m_pBmpRect->bottom); }
short CLibBmp::GetBmpWidth() { return static_cast<short>(m_pBmpRect->right - m_pBmpRect->left); }
short CLibBmp::GetBmpHeight() { return static_cast<short>(m_pBmpRect->bottom - m_pBmpRect->top); }

void CLibBmp::SetTxtPos(short x, short y) { *m_pTxtPos = POINT{x, y}; }

void CLibBmp::GetTxtPos(CPoint* point) {
  if (point != nullptr) *point = CPoint(*m_pTxtPos);
}

void CLibBmp::SetTxtClr(COLORREF colour) { m_TxtClr = colour; }
COLORREF CLibBmp::GetTxtClr() { return m_TxtClr; }

void CLibBmp::SetTxtAlign(short code) {
  m_TxtAlign = code == 1 ? TA_RIGHT : code == 2 ? TA_CENTER : TA_LEFT;
}

short CLibBmp::GetTxtAlign() { return m_TxtAlign; }

void CLibBmp::SetTxt(char* text) {
  if (text != nullptr) CopyCut(m_szTxt, text, TAVRIN_BMP_TEXT_MAX);
}

void CLibBmp::GetTxt(char* text) {
  if (text != nullptr) CopyCut(text, m_szTxt, TAVRIN_BMP_TEXT_MAX);
}

void CLibBmp::SetBmpName(char* name) {
  if (name != nullptr) CopyCut(m_szBmpName, name, TAVRIN_BMP_NAME_MAX);
}

void CLibBmp::GetBmpName(char* name) {
  if (name != nullptr) CopyCut(name, m_szBmpName, TAVRIN_BMP_NAME_MAX);
}

bool CLibBmp::SetBmp(unsigned int id) {
  m_pBitmap->DeleteObject();
  return m_pBitmap->LoadBitmap(MAKEINTRESOURCEA(id)) != FALSE;
}

void CLibBmp::SetBmp(char* name) {
  m_pBitmap->DeleteObject();
  if (name != nullptr) m_pBitmap->LoadBitmap(name);
}

void CLibBmp::SetBmp(HBITMAP bitmap) {
  if (bitmap != nullptr && bitmap == m_pBitmap->m_hObject) return;
  m_pBitmap->DeleteObject();
  m_pBitmap->Attach(bitmap);
  m_hHandedInBmp = bitmap;
}

void CLibBmp::SetBmpTransparent(COLORREF colour) { m_BmpTransparent = colour; }
COLORREF CLibBmp::GetBmpTransparent() { return m_BmpTransparent; }

bool CLibBmp::IsOnCursor(CPoint point) { return CRect(*m_pBmpRect).PtInRect(point) != FALSE; }

// Copies the bitmap selected in memory to target at the bitmap rectangle's
// top-left corner, at the bitmap's own size, leaving out the transparent
// colour.
void CLibBmp::Copy(CDC* target, CDC* memory) {
  BITMAP size{};
  if (m_pBitmap->GetBitmap(&size) == 0) return;
  target->TransparentBlt(m_pBmpRect->left, m_pBmpRect->top, size.bmWidth, size.bmHeight, memory, 0, 0,
                         size.bmWidth, size.bmHeight, m_BmpTransparent);
}

void CLibBmp::DrawBmp(CDC* target) {
  if (target == nullptr) return;
  if (m_bBackClrMode) target->FillSolidRect(m_pBackClrRect, m_BackClr);
  CDC memory;
  if (!memory.CreateCompatibleDC(target)) return;
  CBitmap* previous = memory.SelectObject(m_pBitmap);
  Copy(target, &memory);
  if (previous != nullptr) memory.SelectObject(previous);
}

void CLibBmp::DrawTxt(CDC* target) {
  if (target == nullptr) return;
  CDC memory;
  if (!memory.CreateCompatibleDC(target)) return;
  CFont* previous_font = memory.SelectObject(m_pFont);
  CBitmap* previous_bitmap = memory.SelectObject(m_pBitmap);
  memory.SetTextColor(m_TxtClr);
  memory.SetBkMode(TRANSPARENT);
  UINT previous_align = memory.SetTextAlign(static_cast<UINT>(m_TxtAlign) | TA_BASELINE);
  memory.TextOut(m_pTxtPos->x, m_pTxtPos->y, m_szTxt, static_cast<int>(std::strlen(m_szTxt)));
  memory.SetTextAlign(previous_align);
  Copy(target, &memory);
  if (previous_bitmap != nullptr) memory.SelectObject(previous_bitmap);
  if (previous_font != nullptr) memory.SelectObject(previous_font);
}

void CLibBmp::SetBackClr(COLORREF colour) { m_BackClr = colour; }
COLORREF CLibBmp::GetBackClr() { return m_BackClr; }

void CLibBmp::SetBackClrMode(bool mode) {
  m_bBackClrMode = mode;
  if (m_hWnd != nullptr) tavrin::InvalidateWindow(m_hWnd, m_pBackClrRect, false);
}

bool CLibBmp::IsBackClrMode() { return m_bBackClrMode; }

void CLibBmp::InflateBackClrRect(int dx, int dy) {
  m_pBackClrRect->left -= dx;
  m_pBackClrRect->right += dx;
  m_pBackClrRect->top -= dy;
  m_pBackClrRect->bottom += dy;
}

void CLibBmp::SetFont(CFont* font) { m_pFont->m_hObject = font == nullptr ? nullptr : font->m_hObject; }

CFont* CLibBmp::GetFont() { return m_pFont; }
