// "设置" → "高速采样": on or off and the period (20, 50, 100, 200 ms, "尽快"),
// kept between runs; while the sampler runs the status line shows the rate
// it reaches ("采样 27.9 次/秒（尽快）").
#pragma once

#include <QList>
#include <QObject>

class QAction;
class QLabel;
class QMenu;

namespace kv {

class LineSession;
class Preferences;
class StatusLine;

class FastSamplingMenu : public QObject {
    Q_OBJECT
public:
    FastSamplingMenu(LineSession& session, QMenu* settingsMenu, StatusLine& status, Preferences& prefs,
                     QObject* parent = nullptr);

    QMenu* FastMenu = nullptr;
    QAction* FastOn = nullptr;
    QList<QAction*> FastPeriods;  // 20, 50, 100, 200 ms, "尽快"

    // Switches fast sampling on or off (kept between runs); polling that runs goes on in the new way.
    void SetFastSampling(bool on);
    void SetFastPeriod(int ms);

private:
    void RefreshRate();

    LineSession& m_session;
    Preferences& m_prefs;
    QLabel* m_part;
};

} // namespace kv
