#include "app/language.h"

#include "app/preferences.h"
#include "common/messageboxes.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QTranslator>

namespace kv {

namespace {

QPointer<QTranslator> g_installed;

} // namespace

QString InstallLanguage(const QString& language)
{
    if (g_installed) {
        QCoreApplication::removeTranslator(g_installed);
        delete g_installed;
    }
    if (language != u"en")
        return QStringLiteral("zh");
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral(":/i18n/kolven-assistant_en.qm"))) {
        delete translator;
        return QStringLiteral("zh");
    }
    QCoreApplication::installTranslator(translator);
    g_installed = translator;
    return QStringLiteral("en");
}

QString ActiveLanguage()
{
    return g_installed ? QStringLiteral("en") : QStringLiteral("zh");
}

void InstallChosenLanguage()
{
    InstallLanguage(Preferences().Language());
}

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

#include "moc_language.cpp"
