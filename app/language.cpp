#include "app/language.h"

#include "app/preferences.h"

#include <QCoreApplication>
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

} // namespace kv
