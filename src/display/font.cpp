// CLibFont: two or three fonts chosen by a language code.
#include "tavrin/display/font.h"

#include <initializer_list>

namespace {

CFont* MakeFont(const LOGFONTA* description) {
  auto* font = new CFont;
  if (description != nullptr) font->CreatePointFontIndirect(description);
  return font;
}

// A second font made from the description of an existing one (already in
// pixels), or an empty object when there is none.
CFont* CopyFont(const CFont* font) {
  if (font == nullptr) return nullptr;
  auto* copy = new CFont;
  LOGFONTA description;
  if (font->GetLogFont(&description) != 0) copy->CreateFontIndirect(&description);
  return copy;
}

}  // namespace

CLibFont::CLibFont() : m_pCurFont(nullptr) { InitFontPtr(); }

CLibFont::CLibFont(LOGFONT* first, LOGFONT* second) {
  InitFontPtr();
  m_pFont1 = MakeFont(first);
  m_pFont2 = MakeFont(second);
  m_pCurFont = new CFont;
}

CLibFont::CLibFont(LOGFONT* first, LOGFONT* second, LOGFONT* third) {
  InitFontPtr();
  m_pFont1 = MakeFont(first);
  m_pFont2 = MakeFont(second);
  m_pFont3 = MakeFont(third);
  m_pCurFont = new CFont;
}

CLibFont::CLibFont(const CLibFont& other) : m_pCurFont(nullptr) {
  InitFontPtr();
  CopyFrom(other);
}

CLibFont& CLibFont::operator=(const CLibFont& other) {
  if (this != &other) {
    Release();
    CopyFrom(other);
  }
  return *this;
}

CLibFont::~CLibFont() { Release(); }

void CLibFont::InitFontPtr() {
  m_pFont1 = nullptr;
  m_pFont2 = nullptr;
  m_pFont3 = nullptr;
}

void CLibFont::CopyFrom(const CLibFont& other) {
  m_pFont1 = CopyFont(other.m_pFont1);
  m_pFont2 = CopyFont(other.m_pFont2);
  m_pFont3 = CopyFont(other.m_pFont3);
  m_pCurFont = other.m_pCurFont != nullptr ? new CFont : nullptr;
}

void CLibFont::Release() {
  for (CFont* font : {m_pFont1, m_pFont2, m_pFont3}) {
    if (font == nullptr) continue;
    font->DeleteObject();
    delete font;
  }
  InitFontPtr();
  if (m_pCurFont != nullptr) m_pCurFont->m_hObject = nullptr;
  delete m_pCurFont;
  m_pCurFont = nullptr;
}

void CLibFont::Choose(short index) {
  if (m_pCurFont == nullptr) return;
  CFont* chosen = index == 1 ? m_pFont1 : index == 15 && m_pFont3 != nullptr ? m_pFont3 : m_pFont2;
  m_pCurFont->m_hObject = chosen == nullptr ? nullptr : chosen->m_hObject;
}

CFont* CLibFont::SelectObject(CDC* dc, short index) {
  Choose(index);
  if (dc == nullptr || m_pCurFont == nullptr) return nullptr;
  return dc->SelectObject(m_pCurFont);
}

CFont* CLibFont::GetCFontPtr(short index) {
  Choose(index);
  return m_pCurFont;
}
