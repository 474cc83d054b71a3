#pragma once

#include <QStringList>

// Tallox speaks Korean, its own text, unless the system's language is English
// (LANGUAGE=en, LANG=en_US.UTF-8, ...); C, C.UTF-8 and every other language stay Korean.
namespace Language {
// The user's languages in order of preference, as QLocale::uiLanguages() gives
// them ("en-US", "ko-KR", "C"): true when English comes before Korean and before "C".
bool PrefersEnglish(const QStringList& uiLanguages);
// The choice for this process, from QLocale::system().
bool English();
} // namespace Language
