#include "app/triggerdialog.h"

#include "common/filechooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {

// The step of each value as the window decodes its register, and the
// decimals that step needs.
constexpr double kSteps[kTriggerValueCount] = {0.1, 0.1, 1.0, 0.01, 0.024};
constexpr int kDecimals[kTriggerValueCount] = {1, 1, 0, 2, 3};

QDoubleSpinBox* Seconds(QWidget* parent, const char* name)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0.0, TriggerSettings::kMaxSpanMs / 1000.0);
    box->setDecimals(1);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" s"));
    return box;
}

QComboBox* List(QWidget* parent, const char* name, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

} // namespace

TriggerDialog::TriggerDialog(FileChooser& files, QWidget* parent)
    : QDialog(parent)
    , m_files(files)
{
    setObjectName(QStringLiteral("TriggerDialog"));
    setWindowTitle(tr("触发设置"));
    setModal(false);

    QStringList bits;
    for (int b = 0; b < kStatusBitCount; ++b)
        bits << StatusBitName(b);
    QStringList values;
    for (int v = 0; v < kTriggerValueCount; ++v)
        values << TriggerValueName(static_cast<TriggerValue>(v));
    Kind = List(this, "Kind", {tr("状态位变化"), tr("数值越过门限")});
    Bit = List(this, "Bit", bits);
    Value = List(this, "Value", values);
    Level = new QDoubleSpinBox(this);
    Level->setObjectName(QStringLiteral("Level"));
    Edge = List(this, "Edge", {tr("上升"), tr("下降"), tr("双向")});
    Before = Seconds(this, "Before");
    After = Seconds(this, "After");
    Mode = List(this, "Mode", {tr("单次"), tr("连续")});
    Folder = new QLineEdit(this);
    Folder->setObjectName(QStringLiteral("Folder"));
    Browse = new QPushButton(tr("浏览…"), this);
    Browse->setObjectName(QStringLiteral("Browse"));
    Condition = new QLabel(this);
    Condition->setObjectName(QStringLiteral("Condition"));

    auto* form = new QFormLayout;
    form->addRow(tr("条件："), Kind);
    form->addRow(tr("状态位："), Bit);
    form->addRow(tr("数值："), Value);
    form->addRow(tr("门限："), Level);
    form->addRow(tr("边沿："), Edge);
    form->addRow(tr("触发前："), Before);
    form->addRow(tr("触发后："), After);
    form->addRow(tr("方式："), Mode);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Folder, 1);
    folderRow->addWidget(Browse);
    form->addRow(tr("文件夹："), folderRow);
    form->addRow(tr("触发于："), Condition);

    auto* buttons = new QDialogButtonBox(this);
    Ok = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
    Ok->setObjectName(QStringLiteral("Ok"));
    Cancel = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    for (QComboBox* box : {Kind, Bit, Value, Edge})
        connect(box, &QComboBox::currentIndexChanged, this, &TriggerDialog::Refresh);
    connect(Level, &QDoubleSpinBox::valueChanged, this, &TriggerDialog::Refresh);
    connect(Browse, &QPushButton::clicked, this, &TriggerDialog::BrowseFolder);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        emit Chosen(Entered());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Load(TriggerSettings());
}

void TriggerDialog::Load(const TriggerSettings& settings)
{
    const TriggerCondition& c = settings.condition;
    Kind->setCurrentIndex(c.kind == TriggerCondition::Kind::Bit ? 0 : 1);
    Bit->setCurrentIndex(c.bit);
    Value->setCurrentIndex(static_cast<int>(c.value));
    Edge->setCurrentIndex(static_cast<int>(c.edge));
    Refresh();  // the level's range and unit for the value
    Level->setValue(c.level);
    Before->setValue(static_cast<double>(settings.beforeMs) / 1000.0);
    After->setValue(static_cast<double>(settings.afterMs) / 1000.0);
    Mode->setCurrentIndex(settings.mode == TriggerSettings::Mode::Single ? 0 : 1);
    Folder->setText(QDir::toNativeSeparators(settings.folder));
    Refresh();
}

TriggerSettings TriggerDialog::Entered() const
{
    TriggerSettings s;
    s.condition.kind = Kind->currentIndex() == 0 ? TriggerCondition::Kind::Bit : TriggerCondition::Kind::Level;
    s.condition.bit = Bit->currentIndex();
    s.condition.value = static_cast<TriggerValue>(Value->currentIndex());
    s.condition.level = Level->value();
    s.condition.edge = static_cast<TriggerEdge>(Edge->currentIndex());
    s.beforeMs = qRound64(Before->value() * 1000.0);
    s.afterMs = qRound64(After->value() * 1000.0);
    s.mode = Mode->currentIndex() == 0 ? TriggerSettings::Mode::Single : TriggerSettings::Mode::Continuous;
    s.folder = QDir::fromNativeSeparators(Folder->text().trimmed());
    return s;
}

void TriggerDialog::Refresh()
{
    const bool bit = Kind->currentIndex() == 0;
    Bit->setEnabled(bit);
    Value->setEnabled(!bit);
    Level->setEnabled(!bit);
    const int v = std::clamp(Value->currentIndex(), 0, kTriggerValueCount - 1);
    // The values a register can give: -32768..32767 steps.
    const QSignalBlocker quiet(Level);
    Level->setDecimals(kDecimals[v]);
    Level->setRange(-32768 * kSteps[v], 32767 * kSteps[v]);
    Level->setSingleStep(kSteps[v]);
    Level->setSuffix(u' ' + TriggerValueUnit(static_cast<TriggerValue>(v)));
    Condition->setText(Entered().condition.Text());
}

void TriggerDialog::BrowseFolder()
{
    const QString folder = m_files.AskFolder(tr("捕获文件夹"), QDir::fromNativeSeparators(Folder->text().trimmed()));
    if (!folder.isEmpty())
        Folder->setText(QDir::toNativeSeparators(folder));
}

} // namespace kv

#include "moc_triggerdialog.cpp"
