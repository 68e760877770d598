// The user's language from the locale variables, as a Windows identifier.
#include "platform/user_language.h"

#include <cstring>
#include <string>

#include "platform/platform.h"

namespace tavrin::platform {

namespace {

constexpr unsigned short kEnglishUnitedStates = 0x0409;

struct LocaleId {
  const char* name;  // "ll" for any territory, or "ll_TT"
  unsigned short id;
};

// Territory-specific names first: the first match wins.
constexpr LocaleId kLocales[] = {
    {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_CN", 0x0804}, {"zh_SG", 0x0804}, {"zh", 0x0804},
    {"ja", 0x0411},    {"ko", 0x0412},    {"en_GB", 0x0809}, {"en", 0x0409},    {"de", 0x0407},
    {"fr", 0x040C},    {"it", 0x0410},    {"es", 0x0C0A},    {"pt_BR", 0x0416}, {"pt", 0x0816},
    {"nl", 0x0413},    {"sv", 0x041D},    {"da", 0x0406},    {"fi", 0x040B},    {"nb", 0x0414},
    {"pl", 0x0415},    {"cs", 0x0405},    {"hu", 0x040E},    {"ru", 0x0419},    {"tr", 0x041F},
    {"th", 0x041E},    {"vi", 0x042A},    {"id", 0x0421},
};

// The locale in force for messages, in POSIX order.
std::string LocaleName() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value;
    if (GetEnvironmentValue(variable, &value) && !value.empty()) return value;
  }
  return std::string();
}

}  // namespace

unsigned short UserDefaultLanguage() {
  std::string locale = LocaleName();
  // language[_TERRITORY] without codeset and modifier.
  locale = locale.substr(0, locale.find_first_of(".@"));
  std::string language = locale.substr(0, locale.find('_'));
  for (const LocaleId& entry : kLocales) {
    if (locale == entry.name || language == entry.name) return entry.id;
  }
  return kEnglishUnitedStates;
}

}  // namespace tavrin::platform
