// The chart panel: which curves show, their colours, the scale-factor boxes,
// the grid divisions, the vertical range and the clear button.
#include "app/form1.h"

#include "app/panelnumbers.h"
#include "chart/curvegraph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>

void Form1::chkShowCurve_Click(int Index)
{
    const bool ticked = chkShowCurve[Index]->isChecked();
    const short curve = static_cast<short>(Index + 1);
    ChartCall([&] {
        CurveGraph1->ClearAll();
        CurveGraph1->setShowLegend(curve, ticked);
        if (ticked)
            CurveGraph1->FixLegend(comCurveType[Index]->currentText(), curve);
    });
    // The data source can be changed only while the curve is switched off.
    comCurveType[Index]->setEnabled(!ticked);
}

void Form1::comCurveColor_Click(int Index)
{
    const std::optional<qint32> colour = kv::CurveColorOfIndex(comCurveColor[Index]->currentIndex());
    if (!colour)
        return;
    ChartCall([&] { CurveGraph1->setCurveLineColor(static_cast<short>(Index + 1), *colour); });
}

// A curve never mixes values scaled with different factors.
void Form1::textquxian1_Change()
{
    ChartCall([this] { CurveGraph1->ClearAll(); });
}

void Form1::Text5_Change()
{
    ChartCall([this] { CurveGraph1->ClearAll(); });
}

void Form1::Text6_Change()
{
    ChartCall([this] { CurveGraph1->ClearAll(); });
}

void Form1::txtHorSplits_Change()
{
    ChartCall([this] { CurveGraph1->setHorizontalSplits(kv::GridSplitsFromText(txtHorSplits->text())); });
}

void Form1::txtVerSplits_Change()
{
    ChartCall([this] { CurveGraph1->setVerticalSplits(kv::GridSplitsFromText(txtVerSplits->text())); });
}

void Form1::txtVerMin_Change()
{
    ChartCall([this] {
        CurveGraph1->ClearAll();
        CurveGraph1->setMinVertical(kv::VerticalLimitFromText(txtVerMin->text()));
    });
    MarkVerticalLimits();
}

void Form1::txtVerMax_Change()
{
    ChartCall([this] {
        CurveGraph1->ClearAll();
        CurveGraph1->setMaxVertical(kv::VerticalLimitFromText(txtVerMax->text()));
    });
    MarkVerticalLimits();
}

// The chart takes no value while its minimum is not below its maximum; the two
// limit boxes say so until the limits are valid again.
void Form1::MarkVerticalLimits()
{
    const bool valid = CurveGraph1->MinVertical() < CurveGraph1->MaxVertical();
    for (QLineEdit* box : {txtVerMin, txtVerMax}) {
        QPalette palette;  // nothing of its own: the window's colours
        if (!valid)
            palette.setColor(QPalette::Text, Qt::red);
        box->setPalette(palette);
        box->setToolTip(valid ? QString() : tr("最小值必须小于最大值"));
    }
}

void Form1::Commandgraphclear_Click()
{
    ChartCall([this] { CurveGraph1->ClearAll(); });
}
