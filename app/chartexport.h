// "记录" → "保存曲线图片…" and "复制曲线图片": the chart as it is shown now
// (curves, grid, axis texts, the legends where they were dragged), pixel for
// pixel as its drawing surface shows it, to a PNG file or to the clipboard.
#pragma once

#include <QImage>
#include <QObject>

class CurveGraph;
class QAction;
class QMenu;

namespace kv {

class FileChooser;
class MessageBoxes;

class ChartExport : public QObject {
    Q_OBJECT
public:
    ChartExport(CurveGraph& graph, QMenu* menu, MessageBoxes& boxes, FileChooser& files, QObject* parent = nullptr);

    QAction* SavePicture = nullptr;  // "保存曲线图片…"
    QAction* CopyPicture = nullptr;  // "复制曲线图片"

    void SavePicture_Click();
    void CopyPicture_Click();

private:
    CurveGraph& m_graph;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
};

} // namespace kv
