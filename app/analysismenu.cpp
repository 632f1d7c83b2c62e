#include "app/analysismenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace kv {

QMenu* AnalysisMenu(QMainWindow& window)
{
    QMenuBar* bar = window.menuBar();
    if (auto* found = bar->findChild<QMenu*>(QStringLiteral("AnalysisMenu")))
        return found;
    auto* menu = new QMenu(QCoreApplication::translate("kv::Additions", "分析"), bar);
    menu->setObjectName(QStringLiteral("AnalysisMenu"));
    // Before whatever follows "设置".
    QAction* before = nullptr;
    const QList<QAction*> actions = bar->actions();
    if (const auto* settings = bar->findChild<QMenu*>(QStringLiteral("SettingsMenu"))) {
        const qsizetype at = actions.indexOf(settings->menuAction());
        if (at >= 0 && at + 1 < actions.size())
            before = actions[at + 1];
    }
    if (before)
        bar->insertMenu(before, menu);
    else
        bar->addMenu(menu);
    return menu;
}

} // namespace kv
