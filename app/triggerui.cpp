#include "app/triggerui.h"

#include "app/preferences.h"
#include "app/statusline.h"
#include "app/triggerdialog.h"
#include "session/capturetrigger.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QMenu>

namespace kv {

TriggerUi::TriggerUi(CaptureTrigger& trigger, QMenu* analysisMenu, StatusLine& status, Preferences& prefs,
                     FileChooser& files, QWidget* window, QObject* parent)
    : QObject(parent)
    , m_trigger(trigger)
    , m_prefs(prefs)
    , m_files(files)
    , m_window(window)
{
    TriggerSettings = new QAction(tr("触发设置…"), this);
    TriggerSettings->setObjectName(QStringLiteral("TriggerSettings"));
    TriggerArm = new QAction(tr("触发准备"), this);
    TriggerArm->setObjectName(QStringLiteral("TriggerArm"));
    TriggerArm->setCheckable(true);
    analysisMenu->addAction(TriggerSettings);
    analysisMenu->addAction(TriggerArm);
    Part = status.AddPart(QStringLiteral("statusTrigger"));

    m_trigger.SetSettings(m_prefs.Trigger());
    m_trigger.SetArmed(m_prefs.TriggerArmed());
    connect(TriggerSettings, &QAction::triggered, this, &TriggerUi::TriggerSettings_Click);
    connect(TriggerArm, &QAction::toggled, this, [this](bool on) { m_trigger.SetArmed(on); });
    connect(&m_trigger, &CaptureTrigger::Changed, this, &TriggerUi::Refresh);
    Refresh();
}

TriggerUi::~TriggerUi()
{
    delete m_dialog;
}

void TriggerUi::TriggerSettings_Click()
{
    if (!m_dialog) {
        m_dialog = new TriggerDialog(m_files, m_window);
        connect(m_dialog, &TriggerDialog::Chosen, this, [this](const kv::TriggerSettings& settings) {
            m_trigger.SetSettings(settings);
            m_prefs.SetTrigger(m_trigger.Settings());
        });
    }
    if (!m_dialog->isVisible())
        m_dialog->Load(m_trigger.Settings());
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void TriggerUi::Refresh()
{
    const bool armed = m_trigger.Armed();
    if (TriggerArm->isChecked() != armed)
        TriggerArm->setChecked(armed);  // a single capture disarms by itself
    if (m_prefs.TriggerArmed() != armed)
        m_prefs.SetTriggerArmed(armed);
    Part->setVisible(armed);
    if (!armed)
        return;
    QString text = m_trigger.CurrentState() == CaptureTrigger::State::Triggered
        ? tr("触发：已触发 %1")
              .arg(QDateTime::fromMSecsSinceEpoch(m_trigger.TriggeredAtMs()).toString(QStringLiteral("HH:mm:ss.zzz")))
        : tr("触发：等待");
    if (m_trigger.Captures() > 0)
        text += tr("（已捕获 %1 次）").arg(m_trigger.Captures());
    if (!m_trigger.LastWriteError().isEmpty())
        text += u' ' + tr("文件未写入：%1").arg(m_trigger.LastWriteError());
    Part->setText(text);
}

} // namespace kv

#include "moc_triggerui.cpp"
