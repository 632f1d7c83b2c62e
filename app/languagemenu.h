// "设置" → "语言 / Language": the choice of the interface's language
// (app/language.h), kept for the next start.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace kv {

class MessageBoxes;
class Preferences;

// 中文, English, one of them checked (the choice kept). Choosing the other
// keeps it and says that it takes effect at the next start.
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
