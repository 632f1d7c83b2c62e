// The language of the interface. The texts in the sources are Chinese, the
// reference and the default; the English catalogue (translations/*.ts) is
// compiled at build time into the program's resources.
//
// The choice is kept between runs and takes effect at the next start: the
// window sets its captions, lists and state-bearing button texts as it is
// built, so the translator is installed before any window exists. The command
// line speaks the same language. The menu that changes the choice is
// app/languagemenu.h.
#pragma once

#include <QString>

namespace kv {

// Installs the catalogue of `language` ("en") on the application, or removes
// the installed one ("zh", or a language without a catalogue, which then
// reads as "zh"). Returns the language now in effect.
QString InstallLanguage(const QString& language);
// The language in effect: "zh" or "en".
QString ActiveLanguage();
// At start-up, before the window is created: the language kept in the settings.
void InstallChosenLanguage();

} // namespace kv
