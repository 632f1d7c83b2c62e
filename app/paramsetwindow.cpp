#include "app/paramsetwindow.h"

#include "app/lineready.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "drive/paramsetfile.h"
#include "session/drivelink.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QList<int> CodesOf(const QMap<int, quint16>& file)
{
    QList<int> codes;
    for (const ParameterInfo& p : ParameterTable())
        if (file.contains(p.code))
            codes.append(p.code);
    return codes;
}

} // namespace

ParameterSetWindow::ParameterSetWindow(DriveLink& link, MessageBoxes& boxes, FileChooser& files, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_link(link)
    , m_boxes(boxes)
    , m_files(files)
    , m_runner(link.Engine())
{
    setObjectName(QStringLiteral("ParameterSetWindow"));
    setWindowTitle(tr("参数备份与恢复"));

    ReadAll = Button(this, "ReadAll", tr("读取全部"));
    Cancel = Button(this, "Cancel", tr("取消"));
    Save = Button(this, "Save", tr("保存…"));
    Open = Button(this, "Open", tr("打开…"));
    WriteDrive = Button(this, "WriteDrive", tr("写入驱动器"));
    OnlyDifferent = new QCheckBox(tr("只显示不同"), this);
    OnlyDifferent->setObjectName(QStringLiteral("OnlyDifferent"));
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 1);
    Progress->setValue(0);
    Progress->setTextVisible(false);
    ProgressText = new QLabel(this);
    ProgressText->setObjectName(QStringLiteral("ProgressText"));
    FileText = new QLabel(tr("未打开参数集文件"), this);
    FileText->setObjectName(QStringLiteral("FileText"));
    FileText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QList<ParameterInfo>& params = ParameterTable();
    Table = new QTableWidget(static_cast<int>(params.size()), ColumnCount, this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setHorizontalHeaderLabels({tr("代码"), tr("名称"), tr("寄存器"), tr("驱动器值"), tr("文件值"), tr("状态")});
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->verticalHeader()->setVisible(false);
    Table->horizontalHeader()->setStretchLastSection(true);
    for (const ParameterInfo& p : params) {
        const QStringList texts{p.codeText, p.ShownName(), p.RegisterText(), QString(), QString(), QString()};
        for (int c = 0; c < ColumnCount; ++c)
            Table->setItem(p.index, c, new QTableWidgetItem(texts[c]));
        if (!p.Writable())
            Table->item(p.index, ColStatus)->setToolTip(p.ReadOnlyText());
    }
    Table->resizeColumnsToContents();

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(ReadAll), static_cast<QWidget*>(Cancel), static_cast<QWidget*>(Save),
                       static_cast<QWidget*>(Open), static_cast<QWidget*>(WriteDrive)})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(OnlyDifferent);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Progress);
    layout->addWidget(ProgressText);
    layout->addWidget(FileText);
    layout->addWidget(Table, 1);
    resize(720, 560);

    connect(ReadAll, &QPushButton::clicked, this, &ParameterSetWindow::ReadAll_Click);
    connect(Cancel, &QPushButton::clicked, this, &ParameterSetWindow::Cancel_Click);
    connect(Save, &QPushButton::clicked, this, &ParameterSetWindow::Save_Click);
    connect(Open, &QPushButton::clicked, this, &ParameterSetWindow::Open_Click);
    connect(WriteDrive, &QPushButton::clicked, this, &ParameterSetWindow::WriteDrive_Click);
    connect(OnlyDifferent, &QCheckBox::toggled, this, &ParameterSetWindow::OnlyDifferent_Click);
    connect(&m_runner, &ParameterSetRunner::Progress, this, &ParameterSetWindow::OnProgress);
    connect(&m_runner, &ParameterSetRunner::ParameterRead, this, &ParameterSetWindow::OnRead);
    // From the event loop: the answer may open a message box, which must not
    // run inside the engine's delivery of a result.
    connect(&m_runner, &ParameterSetRunner::Finished, this, &ParameterSetWindow::OnFinished, Qt::QueuedConnection);
    UpdateAllRows();
    UpdateButtons();
}

QList<int> ParameterSetWindow::DifferentCodes() const
{
    QList<int> codes;
    for (const ParameterInfo& p : ParameterTable())
        if (Table->item(p.index, ColStatus)->text() == kStatusDifferent)
            codes.append(p.code);
    return codes;
}

void ParameterSetWindow::ReadAll_Click()
{
    if (Working() || !LineReady(m_link, m_boxes))
        return;
    m_drive.clear();
    UpdateAllRows();
    QList<int> codes;
    for (const ParameterInfo& p : ParameterTable())
        codes.append(p.code);
    Start(Job::ReadAll);
    m_runner.Read(codes);
}

void ParameterSetWindow::Cancel_Click()
{
    if (!Working())
        return;
    m_runner.Cancel();
    ProgressText->setText(ProgressText->text() + tr("（正在取消…）"));
    Cancel->setEnabled(false);
}

void ParameterSetWindow::Save_Click()
{
    QMap<int, quint16> values;
    for (auto it = m_drive.begin(); it != m_drive.end(); ++it)
        if (it->IsRead())
            values.insert(it.key(), it->value);
    if (values.isEmpty()) {
        Tell(tr("还没有从驱动器读取到参数，请先“读取全部”"), false);
        return;
    }
    const QString path = m_files.AskSave(tr("保存参数集"), tr("参数集文件 (*.csv);;所有文件 (*)"), tr("参数集.csv"));
    if (path.isEmpty())
        return;
    QString error;
    if (!SaveParameterSetFile(path, values, &error)) {
        Tell(tr("参数集未能保存：%1").arg(error), true);
        return;
    }
    FileText->setText(tr("已保存 %1 个参数：%2").arg(values.size()).arg(path));
}

void ParameterSetWindow::Open_Click()
{
    if (Working())
        return;
    const QString path = m_files.AskOpen(tr("打开参数集"), tr("参数集文件 (*.csv);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    const ParameterSetLoad load = LoadParameterSetFile(path);
    if (!load.Ok()) {
        Tell(tr("参数集文件未能打开：%1\n%2").arg(path, load.error), true);
        return;
    }
    m_file = load.values;
    FileText->setText(tr("文件：%1（%2 个参数）").arg(path).arg(m_file.size()));
    UpdateAllRows();
    UpdateButtons();
}

void ParameterSetWindow::WriteDrive_Click()
{
    if (Working())
        return;
    if (m_file.isEmpty()) {
        Tell(tr("请先打开参数集文件"), false);
        return;
    }
    if (!LineReady(m_link, m_boxes))
        return;
    // The drive's values as they are now decide what to write.
    Start(Job::Prepare);
    m_runner.Read(CodesOf(m_file));
}

void ParameterSetWindow::OnlyDifferent_Click()
{
    for (int row = 0; row < Table->rowCount(); ++row)
        UpdateRow(row);
}

void ParameterSetWindow::Start(Job job)
{
    m_job = job;
    m_runner.SetStation(m_link.Station());
    m_clock.start();
    Progress->setRange(0, 1);
    Progress->setValue(0);
    UpdateButtons();
}

void ParameterSetWindow::OnProgress(ParameterSetRunner::Phase phase, int done, int total)
{
    if (done == 0)
        m_clock.restart();
    Progress->setRange(0, std::max(total, 1));
    Progress->setValue(done);
    QString text = phase == ParameterSetRunner::Phase::Reading
        ? tr("已读取 %1 / %2 个参数").arg(done).arg(total)
        : tr("已写入 %1 / %2 个参数").arg(done).arg(total);
    if (done > 0 && done < total) {
        const double left = static_cast<double>(m_clock.elapsed()) / done * (total - done) / 1000.0;
        text += tr("，约剩 %1 秒").arg(std::max(1.0, std::ceil(left)));
    }
    ProgressText->setText(text);
}

void ParameterSetWindow::OnRead(int code, const Reading& reading)
{
    m_drive.insert(code, reading);
    if (const ParameterInfo* p = FindParameter(code))
        UpdateRow(p->index);
}

void ParameterSetWindow::OnFinished(ParameterSetRunner::Stop stop)
{
    const Job job = m_job;
    m_job = Job::None;
    UpdateButtons();
    const QString why = ParameterSetRunner::StopText(stop);
    switch (job) {
    case Job::None:
        break;
    case Job::ReadAll: {
        int read = 0;
        int failed = 0;
        for (const Reading& r : std::as_const(m_drive)) {
            read += r.IsRead() ? 1 : 0;
            failed += r.state == Reading::Failed ? 1 : 0;
        }
        QString text = tr("已读取 %1 / %2 个参数，用时 %3 秒")
                           .arg(read)
                           .arg(ParameterTable().size())
                           .arg(m_clock.elapsed() / 1000.0, 0, 'f', 1);
        if (failed > 0)
            text += tr("，%1 个未能读取").arg(failed);
        if (stop != ParameterSetRunner::Stop::Done) {
            text += tr("（%1）").arg(why);
            Tell(tr("读取已停止：%1。已读取 %2 / %3 个参数。").arg(why).arg(read).arg(ParameterTable().size()),
                 stop != ParameterSetRunner::Stop::Cancelled);
        }
        ProgressText->setText(text);
        break;
    }
    case Job::Prepare:
        if (stop != ParameterSetRunner::Stop::Done) {
            ProgressText->setText(tr("读取驱动器已停止（%1），未写入任何参数").arg(why));
            Tell(tr("读取驱动器已停止：%1。未写入任何参数。").arg(why), stop != ParameterSetRunner::Stop::Cancelled);
            break;
        }
        AfterPrepare();
        break;
    case Job::Restore: {
        const RestoreSummary& summary = m_runner.Summary();
        ProgressText->setText(stop == ParameterSetRunner::Stop::Done
                                  ? tr("写入完成")
                                  : tr("写入已停止（%1）").arg(why));
        const bool clean = stop == ParameterSetRunner::Stop::Done
            && summary.Count(WriteReport::Verified) == summary.reports.size();
        Tell(summary.Text(), !clean);
        break;
    }
    }
    if (m_job == Job::None)  // no follow-up work started
        emit WorkFinished(stop);
}

void ParameterSetWindow::AfterPrepare()
{
    const QList<WriteStep> plan = PlanRestore(m_file, m_drive);
    if (plan.isEmpty()) {
        ProgressText->setText(tr("驱动器与文件相同，无需写入"));
        Tell(tr("可写参数中，驱动器的值与文件相同，无需写入。"), false);
        return;
    }
    QString text = tr("将修改 %1 个参数（可写参数中与文件不同的），每个写入后读回校验。").arg(plan.size());
    if (plan.first().code == kApplicationMacroCode)
        text += u'\n' + tr("先写入 9902 应用宏，然后重新读取并比较其余参数。");
    text += u'\n' + tr("确定写入驱动器？");
    MessageRequest ask;
    ask.text = text;
    ask.title = tr("写入驱动器");
    ask.buttons = MsgButtons::YesNo;
    ask.icon = MsgIcon::Question;
    if (m_boxes.Show(ask) != MsgAnswer::Yes) {
        ProgressText->setText(tr("未写入"));
        return;
    }
    if (!LineReady(m_link, m_boxes))
        return;
    Start(Job::Restore);
    m_runner.Restore(m_file, m_drive);
}

void ParameterSetWindow::UpdateRow(int row)
{
    const QList<ParameterInfo>& params = ParameterTable();
    if (row < 0 || row >= params.size())
        return;
    const ParameterInfo& p = params[row];
    const Reading reading = m_drive.value(p.code);
    const auto f = m_file.constFind(p.code);
    const std::optional<quint16> file = f == m_file.constEnd() ? std::nullopt : std::optional<quint16>(*f);
    Table->item(row, ColDrive)->setText(reading.IsRead() ? QString::number(reading.value) : QString());
    Table->item(row, ColFile)->setText(file ? QString::number(*file) : QString());
    const QString status = CompareStatus(p, reading, file);
    QTableWidgetItem* s = Table->item(row, ColStatus);
    s->setText(status);
    s->setForeground(status == kStatusDifferent ? QBrush(Qt::red) : QBrush());
    Table->setRowHidden(row, OnlyDifferent->isChecked() && status != kStatusDifferent);
}

void ParameterSetWindow::UpdateAllRows()
{
    for (int row = 0; row < Table->rowCount(); ++row)
        UpdateRow(row);
}

void ParameterSetWindow::UpdateButtons()
{
    const bool busy = m_job != Job::None;
    ReadAll->setEnabled(!busy);
    Cancel->setEnabled(busy);
    Save->setEnabled(!busy);
    Open->setEnabled(!busy);
    WriteDrive->setEnabled(!busy && !m_file.isEmpty());
}

void ParameterSetWindow::Tell(const QString& text, bool warning)
{
    MessageRequest r;
    r.text = text;
    r.title = tr("参数备份与恢复");
    r.icon = warning ? MsgIcon::Exclamation : MsgIcon::Information;
    m_boxes.Show(r);
}

void ParameterSetWindow::closeEvent(QCloseEvent* event)
{
    // Closing the window ends its work after the current request.
    m_runner.Cancel();
    QWidget::closeEvent(event);
}

} // namespace kv

#include "moc_paramsetwindow.cpp"
