// The language of the interface. The texts in the sources are Chinese, the
// reference and the default; the English catalogue (translations/*.ts) is
// compiled at build time into the program's resources.
//
// The choice is kept between runs and takes effect at the next start: the
// window sets its captions, lists and state-bearing button texts as it is
// built, so the translator is installed before any window exists.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace kv {

class MessageBoxes;
class Preferences;

// Installs the catalogue of `language` ("en") on the application, or removes
// the installed one ("zh", or a language without a catalogue, which then
// reads as "zh"). Returns the language now in effect.
QString InstallLanguage(const QString& language);
// The language in effect: "zh" or "en".
QString ActiveLanguage();
// At start-up, before the window is created: the language kept in the settings.
void InstallChosenLanguage();

// "设置" → "语言 / Language": 中文, English, one of them checked (the choice
// kept). Choosing the other keeps it and says that it takes effect at the next
// start.
class LanguageMenu : public QObject {
    Q_OBJECT
public:
    LanguageMenu(QMenu* settingsMenu, Preferences& prefs, MessageBoxes& boxes, QObject* parent = nullptr);

    QMenu* Menu = nullptr;        // "语言 / Language"
    QAction* Chinese = nullptr;   // "中文"
    QAction* English = nullptr;   // "English"

    void Choose(const QString& language);

private:
    Preferences& m_prefs;
    MessageBoxes& m_boxes;
};

} // namespace kv
