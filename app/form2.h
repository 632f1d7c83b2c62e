// The help window: a short user guide written onto the window when it loads.
#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // The guide's lines, in order, in the language of the interface.
    static QStringList GuideLines();

    // Clears the surface and writes the guide's lines, one below the other
    // from the top-left corner. Runs each time the window is loaded.
    void Form_Load();

    // What has been written since the last load (for checks of the window).
    const QStringList& WrittenLines() const { return m_written; }
    // The persistent surface the lines are written on.
    const QImage& Surface() const { return m_surface; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Print(const QString& line);

    QImage m_surface;
    QStringList m_written;
    int m_currentY = 0;
};
