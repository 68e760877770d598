// CLibFont: a set of two or three fonts made from font descriptions, handing
// out one of them by a 16-bit index: 1 chooses the first font, 15 the third,
// every other index the second.  1 and 15 are language codes of
// lib_GetLanguage (Japanese, and one of the two Chinese codes), so a screen
// can keep one set and pass the panel's language code as the index.
//
// The set owns its fonts and deletes them with itself; deselect the font
// last selected into a device context before destroying the set.  Every
// font pointer the set hands out is its current-font object, the same
// pointer on every call, which shows the font of the latest choice (a second
// view of that font's handle; it never deletes a font itself).
//
// Index 15 on a set of two fonts chooses the second font.  An empty set
// (default constructor) hands out null and selects nothing.  A description
// that cannot be made into a font leaves that font empty: choosing it hands
// out the current-font object without a font, and SelectObject then selects
// nothing and gives null.
//
// Copies (copy constructor and assignment) make their own fonts from the
// other set's font descriptions, so every set deletes only what it made.
#ifndef TAVRIN_DISPLAY_FONT_H
#define TAVRIN_DISPLAY_FONT_H

#include "tavrin/display/gdi.h"
#include "tavrin/export.h"

class TAVRIN_CLASS CLibFont {
 public:
  /* An empty set: all four fields null. */
  CLibFont();
  /* A set of two fonts made with CFont::CreatePointFontIndirect (no device
   * context: lfHeight in tenths of a point converted for the screen).  A
   * null description leaves that font empty. */
  CLibFont(LOGFONT* first, LOGFONT* second);
  /* A set of three fonts, the same way. */
  CLibFont(LOGFONT* first, LOGFONT* second, LOGFONT* third);
  CLibFont(const CLibFont& other);
  CLibFont& operator=(const CLibFont& other);
  /* Deletes the first, second and third font, then the current-font object
   * without deleting any font through it. */
  ~CLibFont();

  /* Chooses the font for index and selects it into dc.  Returns the font
   * object that dc held before (see CDC::SelectObject), or null when dc is
   * null, the set is empty or the chosen font could not be made. */
  CFont* SelectObject(CDC* dc, short index);
  /* Chooses the font for index and returns the current-font object (null
   * for an empty set). */
  CFont* GetCFontPtr(short index);

 private:
  void InitFontPtr();
  void Choose(short index);
  void Release();
  void CopyFrom(const CLibFont& other);

  CFont* m_pFont1;
  CFont* m_pFont2;
  CFont* m_pFont3;
  CFont* m_pCurFont;
};

#endif
