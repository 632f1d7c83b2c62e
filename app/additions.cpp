#include "app/additions.h"

#include "app/chartexport.h"
#include "app/form1.h"
#include "app/languagemenu.h"
#include "app/liverecordingui.h"
#include "app/logbox.h"
#include "app/portlist.h"
#include "app/parameditdialog.h"
#include "app/paramsetwindow.h"
#include "app/preferences.h"
#include "app/reconnect.h"
#include "app/responsetimeout.h"
#include "app/statusline.h"
#include "common/filechooser.h"
#include "common/intervaltimer.h"
#include "common/messageboxes.h"
#include "drive/fastpoll.h"
#include "drive/catalogue.h"
#include "drive/paramset.h"
#include "drive/polling.h"
#include "drive/registermap.h"
#include "modbus/capture.h"
#include "modbus/engine.h"
#include "modbus/statistics.h"
#include "serial/mscomm.h"
#include "serial/receivepath.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QStatusBar>
#include <QTimer>

namespace kv {

Additions::Additions(Form1& form, MessageBoxes& boxes, FileChooser& files, Preferences& prefs, QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_boxes(boxes)
    , m_files(files)
    , m_prefs(prefs)
    , m_line(std::make_unique<mb::MSCommLine>(*form.MSComm))
    , m_engine(std::make_unique<mb::TransactionEngine>(*m_line))
    , m_statistics(std::make_unique<mb::LineStatistics>())
    , m_capture(std::make_unique<mb::TrafficCapture>())
{
    MSComm* comm = form.MSComm;
    m_engine->SetResponseTimeoutMs(m_prefs.ResponseTimeoutMs());
    m_statistics->SetPollRead(kRegLiveBlockStart, kRegLiveBlockCount);
    m_statistics->SetPollTimeoutMs(2 * kPollIntervalMs);

    // Every byte out and in, from every source.
    connect(comm, &MSComm::Transmitted, m_statistics.get(), &mb::LineStatistics::OnTransmitted);
    connect(comm, &MSComm::Received, this, [this](const QByteArray& bytes) {
        if (!m_form.MSComm->Claimed())  // the engine reports its own replies
            m_statistics->OnChunk(bytes);
    });
    connect(m_engine.get(), &mb::TransactionEngine::AttemptEnded, m_statistics.get(),
            &mb::LineStatistics::OnAttempt);
    connect(m_engine.get(), &mb::TransactionEngine::BytesDropped, m_statistics.get(),
            &mb::LineStatistics::OnDropped);
    connect(comm, &MSComm::Transmitted, m_capture.get(),
            [this](const QByteArray& bytes) { m_capture->Record(true, bytes); });
    connect(comm, &MSComm::Received, m_capture.get(),
            [this](const QByteArray& bytes) { m_capture->Record(false, bytes); });

    // Fast sampling: every sound reply takes the window's own decoding, curves and lamps.
    m_fastPoll = std::make_unique<FastPoll>(*m_engine, [this] { return Station(); });
    connect(m_fastPoll.get(), &FastPoll::Sample, this,
            [this](const QByteArray& reply) { m_form.HandlePollReply(ChunkTextFromBytes(reply)); });

    // One owner of the line at a time.
    form.SetLineBusyCheck([this] { return LineBusyForWindow(); });
    connect(m_engine.get(), &mb::TransactionEngine::BusyChanged, this, &Additions::OnEngineBusy);

    // The status line.
    m_status = new StatusLine(form.statusBar(), this);
    m_refresh = new QTimer(this);
    m_refresh->setInterval(200);
    connect(m_refresh, &QTimer::timeout, this, [this] {
        if (m_countersDirty)
            RefreshCounters();
        RefreshCapture();
        RefreshSampling();
    });
    m_refresh->start();
    connect(m_statistics.get(), &mb::LineStatistics::Changed, this, [this] { m_countersDirty = true; });
    connect(comm, &MSComm::OpenChanged, this, [this](bool open) {
        if (open)
            m_statistics->Reset();  // counters run from the opening of the port
        RefreshPort();
    });
    connect(m_capture.get(), &mb::TrafficCapture::Failed, this, [this](const QString& reason) {
        RefreshCapture();
        MessageRequest r;
        r.text = tr("通讯记录已停止：%1").arg(reason);
        r.icon = MsgIcon::Exclamation;
        m_boxes.Show(r);
    });
    m_samplingPart = m_status->AddPart(QStringLiteral("statusSampling"));
    m_samplingPart->hide();
    RefreshPort();
    RefreshCounters();

    // Menu "记录", after "开始".
    RecordMenu = form.menuBar()->addMenu(tr("记录"));
    RecordMenu->setObjectName(QStringLiteral("RecordMenu"));
    auto item = [this](const char* name, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        RecordMenu->addAction(action);
        return action;
    };
    SaveLog = item("SaveLog", tr("保存日志…"));
    RecordMenu->addSeparator();
    CaptureStart = item("CaptureStart", tr("通讯记录到文件…"));
    CaptureStop = item("CaptureStop", tr("停止通讯记录"));
    CaptureStop->setEnabled(false);
    RecordMenu->addSeparator();
    ResetCounters = item("ResetCounters", tr("统计清零"));
    connect(SaveLog, &QAction::triggered, this, &Additions::SaveLog_Click);
    connect(CaptureStart, &QAction::triggered, this, &Additions::CaptureStart_Click);
    connect(CaptureStop, &QAction::triggered, this, &Additions::CaptureStop_Click);
    connect(ResetCounters, &QAction::triggered, m_statistics.get(), &mb::LineStatistics::Reset);

    // Menus "参数" and "设置" follow; the additions that use them fill them.
    ParamMenu = form.menuBar()->addMenu(tr("参数"));
    ParamMenu->setObjectName(QStringLiteral("ParamMenu"));
    ParamSet = new QAction(tr("参数备份与恢复…"), this);
    ParamSet->setObjectName(QStringLiteral("ParamSet"));
    ParamMenu->addAction(ParamSet);
    connect(ParamSet, &QAction::triggered, this, &Additions::ParamSet_Click);
    // A double-click on a parameter or on its result row opens "修改参数".
    connect(form.List1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditParameterRow(m_form.List1->row(item)); });
    connect(form.List2, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { EditParameterRow(m_form.List2->row(item)); });
    SettingsMenu = form.menuBar()->addMenu(tr("设置"));
    SettingsMenu->setObjectName(QStringLiteral("SettingsMenu"));

    FastMenu = SettingsMenu->addMenu(tr("高速采样"));
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
    connect(FastOn, &QAction::toggled, this, &Additions::SetFastSampling);
    SetFastPeriod(m_prefs.FastPeriodMs());
    if (m_prefs.FastSampling())
        FastOn->setChecked(true);

    // Live values to a CSV file, the chart as a picture.
    RecordMenu->addSeparator();
    m_recording = new LiveRecordingUi(form, RecordMenu, *m_status, m_boxes, m_files, this);
    RecordMenu->addSeparator();
    m_chartExport = new ChartExport(*form.CurveGraph1, RecordMenu, m_boxes, m_files, this);
    // The port list that explains itself, reconnecting after a loss, the response timeout.
    m_ports = new PortList(form.ComboMSCPort, *comm, *m_status, this);
    m_reconnect = new Reconnect(form, SettingsMenu, *m_status, m_prefs, this);
    m_responseTimeout = new ResponseTimeoutItem(*m_engine, SettingsMenu, m_prefs, &form, this);
    new LanguageMenu(SettingsMenu, m_prefs, m_boxes, this);
}

Additions::~Additions()
{
    m_form.SetLineBusyCheck({});
    // The windows work through the engine: they go before it.
    delete m_paramSetWindow.data();
    delete m_paramEditor.data();
    m_form.SetPollingSwitch({});
    m_fastPoll.reset();
    // The engine lets the line go before the line adapter goes.
    m_engine.reset();
    m_capture->Stop();
}

quint8 Additions::Station() const
{
    bool ok = false;
    const uint station = m_form.StationAddr.toUInt(&ok, 16);
    return ok && station <= 247 ? static_cast<quint8>(station) : quint8{1};
}

bool Additions::PortReady()
{
    if (m_form.CommandOpenMSC->text() == Form1::kCaptionClosePort && m_form.MSComm->PortOpen())
        return true;
    MessageRequest r;
    r.text = tr("请打开串口");
    m_boxes.Show(r);
    return false;
}

bool Additions::LineBusyForWindow()
{
    if (!m_engine->Busy())
        return false;
    // Fast sampling gives the line up at once for the window's own handlers
    // and samples again once they have had their replies.
    if (m_fastPoll->HoldsLineAlone()) {
        m_fastPoll->Yield(300);
        return false;
    }
    return true;
}

void Additions::SetFastSampling(bool on)
{
    if (FastOn->isChecked() != on) {
        FastOn->setChecked(on);  // comes back here through toggled
        return;
    }
    m_prefs.SetFastSampling(on);
    const bool polling = m_form.Commandgraphstart->text() == Form1::kCaptionPause;
    if (on) {
        m_form.SetPollingSwitch([this](bool run) {
            if (run)
                m_fastPoll->Start();
            else
                m_fastPoll->Stop();
        });
        m_form.Timer1->setInterval(0);
        if (polling)
            m_fastPoll->Start();
    } else {
        m_form.SetPollingSwitch({});
        m_fastPoll->Stop();
        if (polling && !m_engine->Busy())
            m_form.Timer1->setInterval(kPollIntervalMs);
    }
    RefreshSampling();
}

void Additions::SetFastPeriod(int ms)
{
    if (!Preferences::IsFastPeriod(ms))
        return;
    m_prefs.SetFastPeriodMs(ms);
    m_fastPoll->SetPeriodMs(ms);
    for (QAction* a : FastPeriods)
        a->setChecked(a->data().toInt() == ms);
    RefreshSampling();
}

void Additions::RefreshSampling()
{
    const bool running = m_fastPoll->Running();
    m_samplingPart->setVisible(running);
    if (!running)
        return;
    const int ms = m_fastPoll->PeriodMs();
    const QString period = ms ? tr("周期 %1 ms").arg(ms) : tr("尽快");
    m_samplingPart->setText(
        tr("采样 %1 次/秒（%2）").arg(QString::number(m_fastPoll->RateHz(), 'f', 1), period));
}

ParameterSetWindow* Additions::ParamSetWindow()
{
    if (!m_paramSetWindow)
        m_paramSetWindow = new ParameterSetWindow(*this, &m_form);
    return m_paramSetWindow;
}

ParameterEditDialog* Additions::ParamEditor()
{
    if (!m_paramEditor) {
        m_paramEditor = new ParameterEditDialog(*this, &m_form);
        connect(m_paramEditor, &ParameterEditDialog::Written, this, &Additions::ShowWritten);
    }
    return m_paramEditor;
}

void Additions::ParamSet_Click()
{
    ParameterSetWindow* w = ParamSetWindow();
    w->show();
    w->raise();
    w->activateWindow();
}

void Additions::EditParameterRow(int row)
{
    if (row < 0 || row >= m_form.List1->count())
        return;
    const int code = ParameterCodeOfRow(m_form.List1->item(row)->text());
    if (!FindParameter(code) || !PortReady())
        return;
    ParamEditor()->Edit(code);
}

void Additions::ShowWritten(int code, quint16 value)
{
    // A result row on show takes the value the drive now holds.
    for (int row = 0; row < m_form.List1->count() && row < m_form.List2->count(); ++row) {
        QListWidgetItem* result = m_form.List2->item(row);
        if (ParameterCodeOfRow(m_form.List1->item(row)->text()) == code && !result->text().isEmpty())
            result->setText(QString::number(value));
    }
}

void Additions::OnEngineBusy(bool busy)
{
    // With fast sampling the poll timer stays off: the sampler is the polling.
    if (m_prefs.FastSampling())
        return;
    // Polling pauses while the engine has the line and resumes as the chart's button says.
    if (busy)
        m_form.Timer1->setInterval(0);
    else if (m_form.Commandgraphstart->text() == Form1::kCaptionPause)
        m_form.Timer1->setInterval(kPollIntervalMs);
}

void Additions::RefreshPort()
{
    MSComm* comm = m_form.MSComm;
    if (!comm->PortOpen()) {
        m_status->Port->setText(StatusLine::ClosedText());
        return;
    }
    m_status->Port->setText(StatusLine::PortText(m_form.ComboMSCPort->currentText(), comm->DevicePath(),
                                                 comm->Settings(), m_form.StationAddr));
}

void Additions::RefreshCounters()
{
    m_countersDirty = false;
    m_status->Counters->setText(m_statistics->Summary());
}

void Additions::RefreshCapture()
{
    const bool active = m_capture->Active();
    CaptureStart->setEnabled(!active);
    CaptureStop->setEnabled(active);
    m_status->Capture->setVisible(active);
    if (active)
        m_status->Capture->setText(tr("通讯记录：%1（%2 行）").arg(m_capture->Path()).arg(m_capture->Lines()));
}

void Additions::SaveLog_Click()
{
    FileRequest request;
    request.title = tr("保存日志");
    request.filter = tr("文本文件 (*.txt);;所有文件 (*)");
    request.suggested = tr("通讯日志.txt");
    const QString path = m_files.SaveFileName(request);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = m_form.Text2->Text().toUtf8();
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok) {
        MessageRequest r;
        r.text = tr("日志未能保存：%1").arg(file.errorString());
        r.icon = MsgIcon::Exclamation;
        m_boxes.Show(r);
    }
}

void Additions::CaptureStart_Click()
{
    FileRequest request;
    request.title = tr("通讯记录到文件");
    request.filter = tr("文本文件 (*.txt);;所有文件 (*)");
    request.suggested = tr("通讯记录.txt");
    const QString path = m_files.SaveFileName(request);
    if (path.isEmpty())
        return;
    QString error;
    if (!m_capture->Start(path, &error)) {
        MessageRequest r;
        r.text = tr("无法创建通讯记录：%1").arg(error);
        r.icon = MsgIcon::Exclamation;
        m_boxes.Show(r);
    }
    RefreshCapture();
}

void Additions::CaptureStop_Click()
{
    m_capture->Stop();
    RefreshCapture();
}

} // namespace kv

#include "moc_additions.cpp"
