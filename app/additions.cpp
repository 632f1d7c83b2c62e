#include "app/additions.h"

#include "app/analysismenu.h"
#include "app/captureui.h"
#include "app/chartexport.h"
#include "app/drivescanwindow.h"
#include "app/fastsampling.h"
#include "app/form1.h"
#include "app/languagemenu.h"
#include "app/linestatus.h"
#include "app/liverecordingui.h"
#include "app/logsaver.h"
#include "app/parametermenu.h"
#include "app/portlist.h"
#include "app/preferences.h"
#include "app/reconnect.h"
#include "app/responsetimeout.h"
#include "app/statusline.h"
#include "app/tracesource.h"
#include "app/tracewindow.h"
#include "app/triggerui.h"
#include "modbus/engine.h"
#include "modbus/statistics.h"
#include "session/capturetrigger.h"
#include "session/linesession.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace kv {

namespace {

QMenu* AddMenu(Form1& form, const char* name, const QString& title)
{
    QMenu* menu = form.menuBar()->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

Additions::Additions(Form1& form, LineSession& session, MessageBoxes& boxes, FileChooser& files,
                     Preferences& prefs, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_session(session)
{
    session.Engine().SetResponseTimeoutMs(prefs.ResponseTimeoutMs());

    // The window and the session: one owner of the line at a time, the
    // polling switch, the samples both ways, the station as opened.
    form.SetLineGate(&session);
    connect(&session, &LineSession::LineLent, this, [&form](bool lent) { form.SetLineLent(lent); });
    connect(&session, &LineSession::FastSamplingChanged, this, [&form](bool on) { form.SetPollingTakenOver(on); });
    connect(&form, &Form1::PollingSwitched, this, [&session](bool run) { session.SetPolling(run); });
    connect(&session, &LineSession::Sampled, this, [&form](const LiveSample& s) { form.ShowSample(s); });
    connect(&form, &Form1::SampleDecoded, this, [&session](const LiveSample& s) { session.TakeSample(s); });
    session.SetPolling(form.PollingRunning());

    auto* status = new StatusLine(form.statusBar(), this);
    auto* lineStatus = new LineStatus(*status, session, form, this);

    // "记录", after "开始".
    QMenu* record = AddMenu(form, "RecordMenu", tr("记录"));
    new LogSaver(*form.Text2, record, boxes, files, this);
    record->addSeparator();
    new CaptureUi(session.Capture(), record, *status, boxes, files, this);
    record->addSeparator();
    auto* resetCounters = new QAction(tr("统计清零"), this);
    resetCounters->setObjectName(QStringLiteral("ResetCounters"));
    record->addAction(resetCounters);
    connect(resetCounters, &QAction::triggered, &session.Statistics(), &mb::LineStatistics::Reset);

    // "参数" and "设置".
    QMenu* params = AddMenu(form, "ParamMenu", tr("参数"));
    new ParameterMenu(session, params, form.List1, form.List2, boxes, files, &form, this);
    QMenu* settings = AddMenu(form, "SettingsMenu", tr("设置"));
    new FastSamplingMenu(session, settings, *status, prefs, this);

    record->addSeparator();
    new LiveRecordingUi(session.Recording(), record, *status, boxes, files, this);
    record->addSeparator();
    new ChartExport(*form.CurveGraph1, record, boxes, files, this);
    new PortList(form.ComboMSCPort, session.Line(), *status, this);
    auto* reconnect = new Reconnect(form, settings, *status, prefs, this);
    new ResponseTimeoutItem(session.Engine(), settings, prefs, &form, this);
    new LanguageMenu(settings, prefs, boxes, this);
    settings->addSeparator();
    new DriveScanMenu(session, form, settings, boxes, &form, this);

    // "分析", after "设置": the trace of the run's samples and the trigger;
    // each capture is drawn into its picture file and listed in the trace.
    auto* trace = new TraceMenu(session.History(), AnalysisMenu(form), boxes, files, &form, this);
    new TriggerUi(session.Trigger(), AnalysisMenu(form), *status, prefs, files, &form, this);
    session.Trigger().SetRenderer([](const TraceCapture& capture) { return RenderCapture(capture, QSize(1600, 900)); });
    connect(&session.Trigger(), &CaptureTrigger::Captured, trace, &TraceMenu::AddCapture);

    connect(&form, &Form1::PortChanged, this, [this, &form, lineStatus, reconnect](PortEvent event) {
        if (event == PortEvent::Opened)
            m_session.SetStation(form.Station());
        lineStatus->ShowPort();
        reconnect->OnPortEvent(event);
    });
}

Additions::~Additions()
{
    // The windows of the pieces go before the hold on the window is undone.
    delete Piece<ParameterMenu>();
    delete Piece<DriveScanMenu>();
    m_session.SetFastSampling(false);
    m_form.SetLineGate(nullptr);
    m_form.SetPollingTakenOver(false);
    m_form.SetLineLent(false);
    // The menus it added go with it; the window's own stays.
    for (const char* name : {"RecordMenu", "ParamMenu", "SettingsMenu", "AnalysisMenu"})
        delete m_form.menuBar()->findChild<QMenu*>(QString::fromLatin1(name));
}

} // namespace kv

#include "moc_additions.cpp"
