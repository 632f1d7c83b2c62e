#include "app/languagemenu.h"

#include "app/language.h"
#include "app/preferences.h"
#include "common/messageboxes.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace kv {

LanguageMenu::LanguageMenu(QMenu* settingsMenu, Preferences& prefs, MessageBoxes& boxes, QObject* parent)
    : QObject(parent)
    , m_prefs(prefs)
    , m_boxes(boxes)
{
    Menu = settingsMenu->addMenu(tr("语言 / Language"));
    Menu->setObjectName(QStringLiteral("LanguageMenu"));
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    auto item = [&](const char* name, const QString& caption, const QString& language) {
        auto* action = new QAction(caption, group);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(true);
        action->setChecked(m_prefs.Language() == language);
        Menu->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] { Choose(language); });
        return action;
    };
    Chinese = item("LanguageChinese", tr("中文"), QStringLiteral("zh"));
    English = item("LanguageEnglish", QStringLiteral("English"), QStringLiteral("en"));
}

void LanguageMenu::Choose(const QString& language)
{
    if (!Preferences::IsLanguage(language))
        return;
    m_prefs.SetLanguage(language);
    Chinese->setChecked(language == u"zh");
    English->setChecked(language == u"en");
    if (language == ActiveLanguage())
        return;  // back to the language in effect: nothing changes
    MessageRequest r;
    r.text = tr("界面语言将在程序下次启动时切换。");
    r.icon = MsgIcon::Information;
    m_boxes.Show(r);
}

} // namespace kv

#include "moc_languagemenu.cpp"
