// The user's language, as a Windows language identifier.
//
// Windows: GetUserDefaultLangID (table entry language:GetUserDefaultLangID).
// Elsewhere: the first of the locale variables LC_ALL, LC_MESSAGES and LANG
// that is set and not empty, read as language[_TERRITORY][.codeset][@modifier]:
//   ja (any territory) 0x0411; zh_TW 0x0404; zh_HK 0x0C04; zh_CN, zh_SG and
//   zh alone 0x0804; other languages and territories from a small table of
//   their Windows identifiers; 0x0409 (English, United States) for anything
//   unknown, "C" and "POSIX" included, and when no variable is set.
#ifndef TAVRIN_PLATFORM_USER_LANGUAGE_H
#define TAVRIN_PLATFORM_USER_LANGUAGE_H

namespace tavrin::platform {

unsigned short UserDefaultLanguage();

}  // namespace tavrin::platform

#endif
