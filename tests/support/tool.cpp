#include "tests/support/tool.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

namespace kv::test {

Tool::Tool(LineKind kind)
    : prefs(std::make_unique<Preferences>(dir.filePath(QStringLiteral("settings.ini"))))
{
    if (kind == ScriptedLine) {
        clock = std::make_unique<VirtualClock>();
        auto line = std::make_unique<FakeTransport>(*clock);
        fake = line.get();
        session = std::make_unique<LineSession>(std::move(line), *clock);
    } else {
        session = std::make_unique<LineSession>();
    }
    Restart();
}

Tool::~Tool()
{
    add.reset();
    form.reset();
    session.reset();
}

void Tool::Restart()
{
    add.reset();
    form = std::make_unique<Form1>(boxes, platform, session->Line());
    form->Form_Load();
    RestartAdditions();
}

void Tool::RestartAdditions()
{
    add.reset();
    add = std::make_unique<Additions>(*form, *session, boxes, files, *prefs);
}

bool Tool::Open(const QString& port)
{
    form->ComboMSCPort->setEditText(port);
    form->CommandOpenMSC_Click();
    return form->PortIsOpen();
}

QAction* Tool::Action(const QString& name) const
{
    QAction* action = add->findChild<QAction*>(name);
    if (!action)
        action = form->findChild<QAction*>(name);
    Q_ASSERT_X(action, "Tool::Action", qPrintable(name));
    return action;
}

QLabel* Tool::Part(const QString& name) const
{
    return form->findChild<QLabel*>(name);
}

void Tool::Pass(int ms)
{
    if (clock)
        clock->AdvanceMs(ms);
    else
        QTest::qWait(ms);
}

} // namespace kv::test
