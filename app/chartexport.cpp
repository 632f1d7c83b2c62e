#include "app/chartexport.h"

#include "chart/curvegraph.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QSaveFile>

namespace kv {

ChartExport::ChartExport(CurveGraph& graph, QMenu* menu, MessageBoxes& boxes, FileChooser& files, QObject* parent)
    : QObject(parent)
    , m_graph(graph)
    , m_boxes(boxes)
    , m_files(files)
{
    SavePicture = new QAction(tr("保存曲线图片…"), this);
    SavePicture->setObjectName(QStringLiteral("SavePicture"));
    CopyPicture = new QAction(tr("复制曲线图片"), this);
    CopyPicture->setObjectName(QStringLiteral("CopyPicture"));
    menu->addAction(SavePicture);
    menu->addAction(CopyPicture);
    connect(SavePicture, &QAction::triggered, this, &ChartExport::SavePicture_Click);
    connect(CopyPicture, &QAction::triggered, this, &ChartExport::CopyPicture_Click);
}

void ChartExport::SavePicture_Click()
{
    const QString path = m_files.AskSave(tr("保存曲线图片"), tr("PNG 图片 (*.png)"), tr("曲线.png"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && m_graph.ShownPicture().save(&file, "PNG") && file.commit();
    if (!ok) {
        const QString reason = file.errorString();
        Tell(m_boxes, tr("曲线图片未能保存：%1").arg(reason.isEmpty() ? tr("无法写入") : reason), MsgIcon::Exclamation);
    }
}

void ChartExport::CopyPicture_Click()
{
    QGuiApplication::clipboard()->setImage(m_graph.ShownPicture());
}

} // namespace kv

#include "moc_chartexport.cpp"
