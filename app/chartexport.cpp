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

QImage ChartExport::Picture(CurveGraph& graph)
{
    QWidget* surface = graph.findChild<QWidget*>(QStringLiteral("picGraph"));
    return (surface ? surface->grab() : graph.grab()).toImage();
}

void ChartExport::SavePicture_Click()
{
    FileRequest request;
    request.title = tr("保存曲线图片");
    request.filter = tr("PNG 图片 (*.png)");
    request.suggested = tr("曲线.png");
    const QString path = m_files.SaveFileName(request);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && Picture(m_graph).save(&file, "PNG") && file.commit();
    if (!ok) {
        MessageRequest r;
        const QString reason = file.errorString();
        r.text = tr("曲线图片未能保存：%1").arg(reason.isEmpty() ? tr("无法写入") : reason);
        r.icon = MsgIcon::Exclamation;
        m_boxes.Show(r);
    }
}

void ChartExport::CopyPicture_Click()
{
    QGuiApplication::clipboard()->setImage(Picture(m_graph));
}

} // namespace kv

#include "moc_chartexport.cpp"
