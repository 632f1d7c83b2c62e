#include "app/fastsampling.h"

#include "app/preferences.h"
#include "app/statusline.h"
#include "drive/fastpoll.h"
#include "session/linesession.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace kv {

FastSamplingMenu::FastSamplingMenu(LineSession& session, QMenu* settingsMenu, StatusLine& status,
                                   Preferences& prefs, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_prefs(prefs)
    , m_part(status.AddPart(QStringLiteral("statusSampling")))
{
    m_part->hide();
    FastMenu = settingsMenu->addMenu(tr("高速采样"));
    FastMenu->setObjectName(QStringLiteral("FastMenu"));
    FastOn = new QAction(tr("开启高速采样"), this);
    FastOn->setObjectName(QStringLiteral("FastOn"));
    FastOn->setCheckable(true);
    FastMenu->addAction(FastOn);
    FastMenu->addSeparator();
    auto* periods = new QActionGroup(this);
    periods->setExclusive(true);
    for (const int ms : {20, 50, 100, 200, FastPoll::kAsFastAsPossible}) {
        auto* action = new QAction(ms ? QStringLiteral("%1 ms").arg(ms) : tr("尽快"), periods);
        action->setObjectName(QStringLiteral("FastPeriod%1").arg(ms));
        action->setCheckable(true);
        action->setData(ms);
        FastMenu->addAction(action);
        FastPeriods.append(action);
        connect(action, &QAction::triggered, this, [this, ms] { SetFastPeriod(ms); });
    }
    connect(FastOn, &QAction::toggled, this, &FastSamplingMenu::SetFastSampling);
    SetFastPeriod(m_prefs.FastPeriodMs());
    if (m_prefs.FastSampling())
        FastOn->setChecked(true);

    auto* refresh = new QTimer(this);
    refresh->setInterval(200);
    connect(refresh, &QTimer::timeout, this, &FastSamplingMenu::RefreshRate);
    refresh->start();
}

void FastSamplingMenu::SetFastSampling(bool on)
{
    if (FastOn->isChecked() != on) {
        FastOn->setChecked(on);  // comes back here through toggled
        return;
    }
    m_prefs.SetFastSampling(on);
    m_session.SetFastSampling(on);
    RefreshRate();
}

void FastSamplingMenu::SetFastPeriod(int ms)
{
    if (!Preferences::IsFastPeriod(ms))
        return;
    m_prefs.SetFastPeriodMs(ms);
    m_session.Sampler().SetPeriodMs(ms);
    for (QAction* a : FastPeriods)
        a->setChecked(a->data().toInt() == ms);
    RefreshRate();
}

void FastSamplingMenu::RefreshRate()
{
    const FastPoll& sampler = m_session.Sampler();
    m_part->setVisible(sampler.Running());
    if (!sampler.Running())
        return;
    const int ms = sampler.PeriodMs();
    const QString period = ms ? tr("周期 %1 ms").arg(ms) : tr("尽快");
    m_part->setText(tr("采样 %1 次/秒（%2）").arg(QString::number(sampler.RateHz(), 'f', 1), period));
}

} // namespace kv

#include "moc_fastsampling.cpp"
