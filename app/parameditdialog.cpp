#include "app/parameditdialog.h"

#include "app/lineready.h"
#include "session/drivelink.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {

QLabel* Value(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

ParameterEditDialog::ParameterEditDialog(DriveLink& link, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent)
    , m_link(link)
    , m_boxes(boxes)
    , m_runner(link.Engine())
{
    setObjectName(QStringLiteral("ParameterEditDialog"));
    setWindowTitle(tr("修改参数"));
    setModal(false);

    CodeValue = Value(this, "CodeValue");
    NameValue = Value(this, "NameValue");
    RegisterValue = Value(this, "RegisterValue");
    CurrentValue = Value(this, "CurrentValue");
    NewValue = new QLineEdit(this);
    NewValue->setObjectName(QStringLiteral("NewValue"));
    NewValue->setPlaceholderText(tr("-32768..65535 或 0x0000..0xFFFF"));
    NewValue->setMaxLength(16);
    WriteButton = new QPushButton(tr("写入"), this);
    WriteButton->setObjectName(QStringLiteral("WriteButton"));
    ReadOnlyNote = Value(this, "ReadOnlyNote");
    ResultText = Value(this, "ResultText");
    ResultText->setWordWrap(true);
    // Room for the longest message (the hint on what to type, two lines) from
    // the start: the window keeps its size when a result is shown.
    ResultText->setMinimumHeight(2 * ResultText->fontMetrics().lineSpacing());

    auto* form = new QFormLayout;
    auto caption = [this](const char* name, const QString& text) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        return label;
    };
    form->addRow(caption("CodeLabel", tr("代码")), CodeValue);
    form->addRow(caption("NameLabel", tr("名称")), NameValue);
    form->addRow(caption("RegisterLabel", tr("寄存器")), RegisterValue);
    form->addRow(caption("CurrentLabel", tr("当前值")), CurrentValue);
    auto* entry = new QHBoxLayout;
    entry->addWidget(NewValue, 1);
    entry->addWidget(WriteButton);
    form->addRow(caption("NewLabel", tr("新值")), entry);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ReadOnlyNote);
    layout->addWidget(ResultText);
    setMinimumWidth(360);

    connect(WriteButton, &QPushButton::clicked, this, &ParameterEditDialog::WriteButton_Click);
    connect(NewValue, &QLineEdit::returnPressed, this, &ParameterEditDialog::WriteButton_Click);
    connect(&m_runner, &ParameterSetRunner::ParameterRead, this, &ParameterEditDialog::OnRead);
    connect(&m_runner, &ParameterSetRunner::ParameterWritten, this, &ParameterEditDialog::OnWritten);
    connect(&m_runner, &ParameterSetRunner::Finished, this, &ParameterEditDialog::OnFinished);
}

void ParameterEditDialog::Edit(int code)
{
    const ParameterInfo* p = FindParameter(code);
    if (!p)
        return;
    m_code = code;
    CodeValue->setText(p->codeText);
    NameValue->setText(p->ShownName());
    RegisterValue->setText(p->RegisterText());
    CurrentValue->clear();
    NewValue->clear();
    ResultText->clear();
    ReadOnlyNote->setText(p->Writable() ? QString() : tr("只读：%1").arg(p->ReadOnlyText()));
    ReadOnlyNote->setVisible(!p->Writable());
    NewValue->setEnabled(p->Writable());
    show();
    raise();
    activateWindow();
    if (m_runner.Running()) {
        // The earlier parameter's work ends after its current request.
        m_readPending = true;
        m_runner.Cancel();
        SetBusy(true);
        return;
    }
    StartRead();
}

void ParameterEditDialog::StartRead()
{
    m_readPending = false;
    m_writing = false;
    CurrentValue->setText(tr("正在读取…"));
    m_runner.SetStation(m_link.Station());
    m_runner.Read({m_code});
    SetBusy(true);
}

void ParameterEditDialog::WriteButton_Click()
{
    const ParameterInfo* p = FindParameter(m_code);
    if (!p || !p->Writable() || m_runner.Running())
        return;
    const std::optional<quint16> value = ParseRegisterValue(NewValue->text());
    if (!value) {
        ResultText->setText(tr("请输入 -32768..65535 的整数，或以 0x 开头的十六进制数（0x0000..0xFFFF）"));
        return;
    }
    if (!LineReady(m_link, m_boxes))
        return;
    m_writing = true;
    m_reported = false;
    ResultText->setText(tr("正在写入…"));
    m_runner.SetStation(m_link.Station());
    m_runner.Write({WriteStep{m_code, *value, 0}});
    SetBusy(true);
}

void ParameterEditDialog::OnRead(int code, const Reading& reading)
{
    if (code != m_code || m_readPending)
        return;
    if (reading.IsRead())
        CurrentValue->setText(DescribeRegisterValue(reading.value));
    else if (!m_writing)
        CurrentValue->setText(tr("读取失败：%1").arg(reading.error));
}

void ParameterEditDialog::OnWritten(const WriteReport& report)
{
    m_reported = true;
    if (report.code == m_code && !m_readPending)
        ResultText->setText(report.Text());
    if (report.kind == WriteReport::Verified)
        emit Written(report.code, report.value);
}

void ParameterEditDialog::OnFinished(ParameterSetRunner::Stop stop)
{
    SetBusy(false);
    if (m_readPending) {
        if (isVisible())
            StartRead();
        return;
    }
    if (stop == ParameterSetRunner::Stop::Done)
        return;
    const QString why = ParameterSetRunner::StopText(stop);
    if (m_writing && !m_reported)
        ResultText->setText(why);
    else if (!m_writing)
        CurrentValue->setText(tr("读取失败：%1").arg(why));
}

void ParameterEditDialog::SetBusy(bool busy)
{
    const ParameterInfo* p = FindParameter(m_code);
    WriteButton->setEnabled(!busy && p && p->Writable());
}

void ParameterEditDialog::hideEvent(QHideEvent* event)
{
    m_readPending = false;
    m_runner.Cancel();
    QDialog::hideEvent(event);
}

} // namespace kv

#include "moc_parameditdialog.cpp"
