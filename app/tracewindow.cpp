#include "app/tracewindow.h"

#include "chart/traceplot.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "drive/paramset.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace kv {

namespace {

constexpr int kFaultRecordFirst = 401;
constexpr int kFaultRecordRows = 13;  // 0401..0413

QPushButton* TraceButton(QWidget* parent, const char* name, const QString& caption, const QString& tip = QString())
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QString TimeText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString Number(const std::optional<double>& v, int decimals)
{
    return v ? QString::number(*v, 'f', decimals) : QString();
}

QTableWidgetItem* Item(QTableWidget* table, int row, int column)
{
    QTableWidgetItem* item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        table->setItem(row, column, item);
    }
    return item;
}

} // namespace

TraceWindow::TraceWindow(const SampleHistory& history, MessageBoxes& boxes, FileChooser& files, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
    , m_boxes(boxes)
    , m_files(files)
    , m_live(history)
{
    setObjectName(QStringLiteral("TraceWindow"));
    setWindowTitle(tr("趋势分析"));

    Plot = new TracePlot(this);
    Plot->SetSource(&m_live);
    Plot->setToolTip(tr("滚轮：缩放时间　拖动：平移\n右键拖出方框：放大该区域\n单击：放置光标 A、B，拖动光标可移动"));

    Whole = TraceButton(this, "TraceWhole", tr("全部"), tr("显示全部数据"));
    const char* lastNames[] = {"TraceLast10s", "TraceLast1min", "TraceLast10min"};
    const QString lastCaptions[] = {tr("10秒"), tr("1分钟"), tr("10分钟")};
    for (size_t i = 0; i < std::size(kLastSpansMs); ++i) {
        QPushButton* b = TraceButton(this, lastNames[i], lastCaptions[i], tr("显示最近 %1").arg(lastCaptions[i]));
        Last.append(b);
        const qint64 span = kLastSpansMs[i];
        connect(b, &QPushButton::clicked, this, [this, span] { Last_Click(span); });
    }
    Follow = TraceButton(this, "TraceFollow", tr("跟随"), tr("最新的数据保持在右边缘"));
    Follow->setCheckable(true);
    Follow->setChecked(true);
    Autoscale = TraceButton(this, "TraceAutoscale", tr("自动缩放"), tr("每条曲线按所显示的数据缩放"));
    ClearCursors = TraceButton(this, "TraceClearCursors", tr("清除光标"));
    Export = new QToolButton(this);
    Export->setObjectName(QStringLiteral("TraceExport"));
    Export->setText(tr("导出…"));
    Export->setPopupMode(QToolButton::InstantPopup);
    auto* exportMenu = new QMenu(Export);
    ExportCsv = exportMenu->addAction(tr("数据（CSV）…"));
    ExportCsv->setObjectName(QStringLiteral("TraceExportCsv"));
    ExportCsv->setToolTip(tr("光标 A、B 之间的数据；没有光标时为所显示的范围"));
    ExportPng = exportMenu->addAction(tr("图片（PNG）…"));
    ExportPng->setObjectName(QStringLiteral("TraceExportPng"));
    Export->setMenu(exportMenu);
    CopyPicture = TraceButton(this, "TraceCopyPicture", tr("复制图片"));

    HeldFrom = new QLabel(this);
    HeldFrom->setObjectName(QStringLiteral("TraceHeldFrom"));
    HeldFrom->hide();
    CaptureBanner = new QLabel(this);
    CaptureBanner->setObjectName(QStringLiteral("TraceCaptureBanner"));
    BackToLive = TraceButton(this, "TraceBackToLive", tr("返回实时"));
    BackToLive->setEnabled(false);

    CursorText = new QLabel(this);
    CursorText->setObjectName(QStringLiteral("TraceCursorText"));
    CursorTable = new QTableWidget(m_live.CurveCount() + m_live.LaneCount(), ColumnCount, this);
    CursorTable->setObjectName(QStringLiteral("TraceCursorTable"));
    CursorTable->setHorizontalHeaderLabels(
        {tr("曲线"), tr("自动"), QStringLiteral("A"), QStringLiteral("B"), tr("B−A"), tr("最小"), tr("最大"), tr("平均")});
    CursorTable->verticalHeader()->setVisible(false);
    CursorTable->setSelectionMode(QAbstractItemView::NoSelection);
    for (int k = 0; k < m_live.CurveCount(); ++k) {
        const TraceCurve c = m_live.Curve(k);
        QTableWidgetItem* name = Item(CursorTable, k, ColName);
        name->setText(QStringLiteral("%1 (%2)").arg(c.name, c.unit));
        name->setForeground(QColor::fromRgb(c.colour));
        name->setFlags((name->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
        name->setToolTip(tr("勾选则显示该曲线"));
        QTableWidgetItem* automatic = Item(CursorTable, k, ColAuto);
        automatic->setFlags((automatic->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
        automatic->setToolTip(tr("勾选则按所显示的数据缩放"));
        for (int col = ColA; col < ColumnCount; ++col)
            Item(CursorTable, k, col)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int i = 0; i < m_live.LaneCount(); ++i) {
        const int row = m_live.CurveCount() + i;
        Item(CursorTable, row, ColName)->setText(m_live.LaneName(i));
        Item(CursorTable, row, ColAuto);
        CursorTable->setSpan(row, ColAuto, 1, ColumnCount - ColAuto);
    }
    // Columns as wide as their texts: the values, not the lanes' changes, set them.
    CursorTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    CursorTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* capturesTitle = new QLabel(tr("捕获"), this);
    CaptureList = new QListWidget(this);
    CaptureList->setObjectName(QStringLiteral("TraceCaptures"));
    FaultRecordText = new QLabel(this);
    FaultRecordText->setObjectName(QStringLiteral("TraceFaultRecordText"));
    FaultRecordText->setWordWrap(true);
    FaultRecord = new QTableWidget(kFaultRecordRows, 3, this);
    FaultRecord->setObjectName(QStringLiteral("TraceFaultRecord"));
    FaultRecord->setHorizontalHeaderLabels({tr("代码"), tr("名称"), tr("值")});
    FaultRecord->verticalHeader()->setVisible(false);
    FaultRecord->setSelectionMode(QAbstractItemView::NoSelection);
    FaultRecord->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < kFaultRecordRows; ++r) {
        const int code = kFaultRecordFirst + r;
        const ParameterInfo* p = FindParameter(code);
        Item(FaultRecord, r, 0)->setText(p ? p->codeText : QString::number(code).rightJustified(4, u'0'));
        Item(FaultRecord, r, 1)->setText(p ? p->ShownName() : QString());
        Item(FaultRecord, r, 2)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    FaultRecord->resizeColumnsToContents();

    // Buttons over the plot; the plot and, beside it, the cursors' figures and the captures.
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{Whole, Last[0], Last[1], Last[2], Follow, Autoscale, ClearCursors,
                                                      Export, CopyPicture})
        buttons->addWidget(w);
    buttons->addStretch(1);
    auto* banner = new QHBoxLayout;
    banner->addWidget(HeldFrom);
    banner->addWidget(CaptureBanner, 1);
    banner->addWidget(BackToLive);
    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(CursorText);
    sideLayout->addWidget(CursorTable, 3);
    sideLayout->addWidget(capturesTitle);
    sideLayout->addWidget(CaptureList, 1);
    sideLayout->addWidget(FaultRecordText);
    sideLayout->addWidget(FaultRecord, 2);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(Plot);
    split->addWidget(side);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setSizes({800, 480});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(banner);
    layout->addWidget(split, 1);
    resize(1200, 720);

    connect(Whole, &QPushButton::clicked, this, &TraceWindow::Whole_Click);
    connect(Follow, &QPushButton::toggled, this, &TraceWindow::Follow_Toggled);
    connect(Autoscale, &QPushButton::clicked, this, &TraceWindow::Autoscale_Click);
    connect(ClearCursors, &QPushButton::clicked, this, &TraceWindow::ClearCursors_Click);
    connect(ExportCsv, &QAction::triggered, this, &TraceWindow::ExportCsv_Click);
    connect(ExportPng, &QAction::triggered, this, &TraceWindow::ExportPng_Click);
    connect(CopyPicture, &QPushButton::clicked, this, &TraceWindow::CopyPicture_Click);
    connect(BackToLive, &QPushButton::clicked, this, &TraceWindow::ShowLive);
    connect(CaptureList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowCapture(CaptureList->row(item)); });
    connect(CursorTable, &QTableWidget::cellChanged, this, &TraceWindow::OnTableEdited);
    connect(Plot, &TracePlot::ViewChanged, this, &TraceWindow::OnViewChanged);
    connect(Plot, &TracePlot::CursorsChanged, this, [this] { m_statsDirty = true; });
    connect(Plot, &TracePlot::Drawn, this, &TraceWindow::OnDrawn);
    // New samples ask for a drawing at the next frame, never one each.
    connect(&history, &SampleHistory::Grew, this, &TraceWindow::OnGrew);
    connect(&history, &SampleHistory::TrimmedOldest, this, [this] {
        m_statsDirty = true;
        UpdateHeldFrom();
    });
    ShowFaultRecord(nullptr);
    UpdateHeldFrom();
    UpdateTable();
}

TraceWindow::~TraceWindow() = default;

TraceView& TraceWindow::View()
{
    return Plot->View();
}

const SampleHistory& TraceWindow::Shown() const
{
    if (m_shown >= 0 && m_captureSource)
        return m_captureSource->History();
    return m_history;
}

void TraceWindow::OnGrew()
{
    if (ShowingCapture())
        return;
    if (isVisible())
        Plot->RequestFrame();
}

void TraceWindow::Refresh()
{
    Plot->DrawNow();
}

void TraceWindow::OnDrawn()
{
    if (m_statsDirty)
        UpdateTable();
}

void TraceWindow::OnViewChanged()
{
    const QSignalBlocker block(Follow);
    Follow->setChecked(View().Follow());
    m_statsDirty = true;  // the autoscale ticks
}

void TraceWindow::Whole_Click()
{
    View().Track(*Plot->Source());
    View().ShowWhole();
    OnViewChanged();
    Plot->RequestFrame();
}

void TraceWindow::Last_Click(qint64 spanMs)
{
    View().Track(*Plot->Source());
    View().ShowLast(spanMs);
    OnViewChanged();
    Plot->RequestFrame();
}

void TraceWindow::Follow_Toggled(bool on)
{
    View().Track(*Plot->Source());
    View().SetFollow(on);
    Plot->RequestFrame();
}

void TraceWindow::Autoscale_Click()
{
    View().AutoscaleAll();
    m_statsDirty = true;
    Plot->RequestFrame();
}

void TraceWindow::ClearCursors_Click()
{
    View().ClearCursors();
    m_statsDirty = true;
    Plot->RequestFrame();
}

void TraceWindow::OnTableEdited(int row, int column)
{
    if (m_filling || row >= m_live.CurveCount())
        return;
    const bool on = CursorTable->item(row, column)->checkState() == Qt::Checked;
    if (column == ColName)
        View().ShowCurve(row, on);
    else if (column == ColAuto)
        View().SetAutoscale(row, on);
    else
        return;
    m_statsDirty = true;
    Plot->RequestFrame();
}

void TraceWindow::UpdateTable()
{
    m_statsDirty = false;
    const TraceView& view = Plot->View();
    m_stats = CursorStats(*Plot->Source(), view.CursorAt(TraceView::Cursor::A), view.CursorAt(TraceView::Cursor::B));
    m_filling = true;
    const QSignalBlocker block(CursorTable);
    for (int k = 0; k < m_live.CurveCount(); ++k) {
        const TraceCurve c = m_live.Curve(k);
        const bool shown = view.CurveShown(k);
        Item(CursorTable, k, ColName)->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
        Item(CursorTable, k, ColAuto)->setCheckState(view.Autoscale(k) ? Qt::Checked : Qt::Unchecked);
        const TraceCursorStats::Curve& s = m_stats.curves[size_t(k)];
        const auto shownOnly = [&](const std::optional<double>& v) { return shown ? v : std::optional<double>(); };
        Item(CursorTable, k, ColA)->setText(Number(shownOnly(s.atA), c.decimals));
        Item(CursorTable, k, ColB)->setText(Number(shownOnly(s.atB), c.decimals));
        Item(CursorTable, k, ColDiff)->setText(Number(shownOnly(s.Difference()), c.decimals));
        Item(CursorTable, k, ColMin)->setText(Number(shownOnly(s.low), c.decimals));
        Item(CursorTable, k, ColMax)->setText(Number(shownOnly(s.high), c.decimals));
        Item(CursorTable, k, ColMean)->setText(Number(shownOnly(s.mean), c.decimals + 1));
    }
    const bool range = m_stats.aMs && m_stats.bMs;
    for (int i = 0; i < m_live.LaneCount(); ++i) {
        const TraceCursorStats::Lane& lane = m_stats.lanes[size_t(i)];
        QStringList changes;
        for (const TraceCursorStats::Change& c : lane.changes)
            changes << TimeText(c.timeMs) + (c.rose ? QStringLiteral(" ↑") : QStringLiteral(" ↓"));
        if (lane.total > qint64(lane.changes.size()))
            changes << tr("（另 %1 次）").arg(lane.total - qint64(lane.changes.size()));
        QString text;
        if (range)
            text = changes.isEmpty() ? tr("无变化") : changes.join(QStringLiteral(", "));
        QTableWidgetItem* item = Item(CursorTable, m_live.CurveCount() + i, ColAuto);
        item->setText(text);
        item->setToolTip(text);
    }
    m_filling = false;

    QStringList parts;
    if (m_stats.aMs)
        parts << QStringLiteral("A %1").arg(TimeText(*m_stats.aMs));
    if (m_stats.bMs)
        parts << QStringLiteral("B %1").arg(TimeText(*m_stats.bMs));
    if (const auto dt = m_stats.DeltaMs())
        parts << QStringLiteral("Δt %1 s").arg(QString::number(double(*dt) / 1000.0, 'f', 3));
    CursorText->setText(parts.isEmpty() ? tr("单击曲线放置光标 A、B") : parts.join(QStringLiteral("   ")));
}

void TraceWindow::UpdateHeldFrom()
{
    const SampleHistory& shown = Shown();
    const bool trimmed = !ShowingCapture() && shown.Trimmed() && !shown.Empty();
    HeldFrom->setVisible(trimmed);
    if (trimmed)
        HeldFrom->setText(tr("数据自 %1 起，更早的已丢弃")
                              .arg(QDateTime::fromMSecsSinceEpoch(shown.HeldFromMs())
                                       .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

void TraceWindow::AddCapture(const TraceCapture& capture)
{
    m_captures.append(capture);
    auto* item = new QListWidgetItem(QStringLiteral("#%1  %2  %3").arg(capture.id).arg(TimeText(capture.triggerMs), capture.cause));
    item->setToolTip(CaptureTitle(capture));
    CaptureList->addItem(item);
    if (m_captures.size() > kMaxCaptures) {
        if (m_shown == 0)
            ShowLive();
        else if (m_shown > 0)
            --m_shown;
        m_captures.removeFirst();
        delete CaptureList->takeItem(0);
    }
}

void TraceWindow::ShowCapture(int index)
{
    if (index < 0 || index >= m_captures.size()) {
        ShowLive();
        return;
    }
    const TraceCapture& capture = m_captures[index];
    if (!ShowingCapture())
        m_liveView = View();
    m_shown = index;
    m_captureSource = std::make_unique<HistorySource>(capture.samples ? *capture.samples : m_noSamples);
    Plot->SetSource(m_captureSource.get());
    TraceView view;
    view.Track(*m_captureSource);
    const qint64 half = std::max(capture.triggerMs - capture.fromMs, capture.toMs - capture.triggerMs);
    view.ShowRange(double(capture.triggerMs - half), double(capture.triggerMs + half));
    view.SetCursor(TraceView::Cursor::A, NearestSampleMs(*m_captureSource, capture.triggerMs));
    View() = view;
    Plot->SetTitle(CaptureTitle(capture));
    CaptureBanner->setText(CaptureTitle(capture));
    CaptureList->setCurrentRow(index);
    BackToLive->setEnabled(true);
    ShowFaultRecord(&capture);
    OnViewChanged();
    UpdateHeldFrom();
    Plot->RequestFrame();
}

void TraceWindow::ShowLive()
{
    if (!ShowingCapture())
        return;
    m_shown = -1;
    Plot->SetSource(&m_live);
    View() = m_liveView;
    Plot->SetTitle(QString());
    m_captureSource.reset();
    CaptureBanner->clear();
    CaptureList->clearSelection();
    CaptureList->setCurrentRow(-1);
    BackToLive->setEnabled(false);
    ShowFaultRecord(nullptr);
    OnViewChanged();
    UpdateHeldFrom();
    Plot->RequestFrame();
}

void TraceWindow::ShowFaultRecord(const TraceCapture* capture)
{
    const bool record = capture && !capture->faultRecord.isEmpty();
    FaultRecord->setVisible(record);
    for (int r = 0; r < kFaultRecordRows; ++r)
        Item(FaultRecord, r, 2)->setText(record && r < capture->faultRecord.size()
                                             ? QString::number(capture->faultRecord[r])
                                             : QString());
    if (!capture)
        FaultRecordText->setText(tr("选择一次捕获可查看它的数据和故障记录"));
    else if (record)
        FaultRecordText->setText(tr("故障记录（04 组）"));
    else if (!capture->faultRecordError.isEmpty())
        FaultRecordText->setText(tr("故障记录未能读取：%1").arg(capture->faultRecordError));
    else
        FaultRecordText->setText(tr("无故障记录"));
}

std::pair<qint64, qint64> TraceWindow::ExportRange() const
{
    const TraceView& view = Plot->View();
    const auto a = view.CursorAt(TraceView::Cursor::A);
    const auto b = view.CursorAt(TraceView::Cursor::B);
    if (a && b)
        return {std::min(*a, *b), std::max(*a, *b)};
    return {std::llround(view.FromMs()), std::llround(view.ToMs())};
}

void TraceWindow::ExportCsv_Click()
{
    const QString path = m_files.AskSave(tr("导出数据"), tr("CSV 文件 (*.csv)"), tr("趋势.csv"));
    if (path.isEmpty())
        return;
    const auto [from, to] = ExportRange();
    QString error;
    if (!WriteTraceCsv(Shown(), from, to, path, &error))
        Tell(m_boxes, tr("数据未能导出：%1").arg(error.isEmpty() ? tr("无法写入") : error), MsgIcon::Exclamation);
}

void TraceWindow::ExportPng_Click()
{
    const QString path = m_files.AskSave(tr("导出图片"), tr("PNG 图片 (*.png)"), tr("趋势.png"));
    if (path.isEmpty())
        return;
    Plot->DrawNow();
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && Plot->Picture().save(&file, "PNG") && file.commit();
    if (!ok) {
        const QString reason = file.errorString();
        Tell(m_boxes, tr("图片未能保存：%1").arg(reason.isEmpty() ? tr("无法写入") : reason), MsgIcon::Exclamation);
    }
}

void TraceWindow::CopyPicture_Click()
{
    Plot->DrawNow();
    QGuiApplication::clipboard()->setImage(Plot->Picture());
}

// ---- the menu item ----

TraceMenu::TraceMenu(const SampleHistory& history, QMenu* menu, MessageBoxes& boxes, FileChooser& files, QWidget* window,
                     QObject* parent)
    : QObject(parent)
    , m_history(history)
    , m_boxes(boxes)
    , m_files(files)
    , m_window(window)
{
    TraceOpen = new QAction(tr("趋势分析…"), this);
    TraceOpen->setObjectName(QStringLiteral("TraceOpen"));
    menu->addAction(TraceOpen);
    connect(TraceOpen, &QAction::triggered, this, &TraceMenu::TraceOpen_Click);
}

TraceMenu::~TraceMenu()
{
    // The window draws the session's history; it goes with the menu that made it.
    delete m_trace.data();
}

TraceWindow* TraceMenu::Window()
{
    if (!m_trace)
        m_trace = new TraceWindow(m_history, m_boxes, m_files, m_window);
    return m_trace;
}

void TraceMenu::TraceOpen_Click()
{
    TraceWindow* w = Window();
    w->show();
    w->raise();
    w->activateWindow();
    w->Refresh();
}

} // namespace kv

#include "moc_tracewindow.cpp"
