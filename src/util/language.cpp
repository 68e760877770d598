// The display language: the CNC's language parameters matched with the
// user's language.
#include "tavrin/util/language.h"

#include <cstring>

#include "focas2/focas2.h"
#include "platform/user_language.h"

namespace {

constexpr short kFirstPath = 1;
constexpr short kLanguageSourceParam = 7364;  // bit 1: take the CNC's language
constexpr unsigned char kTakeCncLanguage = 0x02;
constexpr short kPanelLanguageParam = 7240;   // 0: take the CNC's language
constexpr short kCncLanguageParam = 3281;
constexpr short kOneByteLength = 5;  // number, axis and one data byte

constexpr unsigned short kJapanese = 0x0411;
constexpr unsigned short kChineseTaiwan = 0x0404;
constexpr unsigned short kChinesePrc = 0x0804;

constexpr BYTE kJapaneseCode = 1;
constexpr BYTE kChineseCode = 4;
constexpr BYTE kChineseCodeToo = 15;

// Reads a parameter of no axis as one byte; false when the read fails.
bool ReadParamByte(unsigned short handle, short number, BYTE* value) {
  tavrin::focas::ParamRecord record;
  std::memset(&record, 0, sizeof record);
  record.number = number;
  record.axis = 0;
  if (tavrin::focas::cnc_rdparam(handle, number, 0, kOneByteLength, &record) != 0) return false;
  *value = static_cast<BYTE>(record.data.byte_data[0]);
  return true;
}

}  // namespace

extern "C" BYTE TAVRIN_CALL lib_GetLanguage(unsigned short handle) {
  tavrin::focas::cnc_setpath(handle, kFirstPath);
  BYTE source = 0;
  if (!ReadParamByte(handle, kLanguageSourceParam, &source)) return 0;
  BYTE code = 0;
  if ((source & kTakeCncLanguage) != 0) {
    if (!ReadParamByte(handle, kCncLanguageParam, &code)) return 0;
  } else {
    if (!ReadParamByte(handle, kPanelLanguageParam, &code)) return 0;
    if (code == 0 && !ReadParamByte(handle, kCncLanguageParam, &code)) return 0;
  }
  unsigned short user = tavrin::platform::UserDefaultLanguage();
  if (code == kJapaneseCode) return user == kJapanese ? code : 0;
  if (code == kChineseCode || code == kChineseCodeToo) {
    return user == kChineseTaiwan || user == kChinesePrc ? code : 0;
  }
  return code;
}

extern "C" bool TAVRIN_CALL lib_IsJapaneseSetting(void) {
  return tavrin::platform::UserDefaultLanguage() == kJapanese;
}
