// Reading the ticked parameters of the chosen group.
#include "app/form1.h"

#include "common/intervaltimer.h"
#include "drive/paramread.h"
#include "drive/polling.h"
#include "serial/framecodec.h"
#include "serial/mscomm.h"

#include <QListWidget>
#include <QPushButton>

void Form1::CmdViewPram_Click()
{
    if (CommandOpenMSC->text() == kCaptionOpenPort) {
        MsgBox(tr("请打开串口"));
        return;
    }
    if (LineBusyRefused())
        return;
    SwitchPolling(false);
    List2->clear();

    bool anyTicked = false;
    for (int r = 0; r < List1->count(); ++r)
        anyTicked = anyTicked || List1->item(r)->checkState() == Qt::Checked;
    if (!anyTicked) {
        MsgBox(tr("没有勾选需要查看的参数"));
        return;
    }

    bool lineLost = false;
    for (int r = 0; r < List1->count(); ++r) {
        QString row;
        const QListWidgetItem* parameter = List1->item(r);
        if (parameter->checkState() == Qt::Checked && !lineLost) {
            QByteArray reply;
            try {
                MSComm->setOutput(kv::HexFrameToBytes(kv::ParameterReadRequestText(StationAddr, parameter->text())));
                m_platform.Sleep(kv::kParameterWaitMs);
                MSComm->setInputLen(0);
                if (MSComm->InputMode() == 1)
                    reply = MSComm->InputBytes();
                else
                    reply = kv::TextReplyBytes(MSComm->InputText());
            } catch (const kv::CommError&) {
                // The line went away: the remaining rows stay empty rather than
                // each waiting on a port that is gone.
                lineLost = !MSComm->PortOpen();
            }
            row = kv::ParameterResultRow(reply);
        }
        auto* item = new QListWidgetItem(row, List2);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }

    // Both lists show the same first row, so each result stands beside its parameter.
    const QModelIndex top = List1->indexAt(QPoint(1, 1));
    if (top.isValid() && top.row() < List2->count())
        List2->scrollToItem(List2->item(top.row()), QAbstractItemView::PositionAtTop);

    if (lineLost)
        PortLost();
    // Polling goes on as the chart's button says; while the port is closed its
    // ticks do nothing, and it resumes by itself once the port is open again.
    if (Commandgraphstart->text() == kCaptionPause)
        SwitchPolling(true);
}
