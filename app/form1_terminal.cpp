// The terminal: send, clear, the log, and the receive path.
#include "app/form1.h"

#include "app/logbox.h"
#include "serial/mscomm.h"
#include "serial/receivepath.h"
#include "serial/terminal.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

void Form1::Command1_Click()
{
    if (CommandOpenMSC->text() == kCaptionOpenPort) {
        MsgBox(tr("请打开串口"));
        return;
    }
    if (LineBusyRefused())
        return;
    const kv::TerminalSend send = kv::BuildTerminalSend(Text1->text(), ChkSend16->isChecked(), ChkCRC16->isChecked());
    if (!send.send)
        return;  // a hexadecimal text without a whole byte: nothing to send
    try {
        if (send.asText)
            MSComm->setOutput(send.text);
        else
            MSComm->setOutput(send.bytes);
    } catch (const kv::CommError&) {
        // Nothing was sent, so nothing is logged. A port that went away is
        // shown closed, with one message.
        if (MSComm->PortOpen())
            MsgBox(tr("发送失败，串口不可用"), kv::MsgButtons::Ok, kv::MsgIcon::Exclamation);
        else
            PortLost();
        return;
    }
    AppendLogLine(send.logLine);
}

void Form1::Command3_Click()
{
    Text2->setText(QString());
}

void Form1::AppendLogLine(const QString& line)
{
    Text2->setText(Text2->Text() + kv::LogEntry(m_platform.TimeOfDayText(), line));
}

void Form1::MSComm_OnComm()
{
    if (MSComm->CommEvent() != kv::MSComm::comEvReceive) {
        if (MSComm->CommEvent() == kv::MSComm::comEventPortLost)
            PortLost();
        else if (MSComm->CommEvent() == kv::MSComm::comEventOpenFailed)
            PortOpenFailed();
        return;
    }

    // Everything waiting, read as one chunk.
    QString chunk;
    try {
        MSComm->setInputLen(0);
        if (MSComm->InputMode() == 1)
            chunk = kv::ChunkTextFromBytes(MSComm->InputBytes());
        else
            chunk = MSComm->InputText();
    } catch (const kv::CommError&) {
        return;  // the port went away between the arrival and this read
    }

    const kv::ChunkVerdict verdict = kv::JudgeChunk(chunk);
    if (!verdict.log)
        return;
    AppendLogLine(kv::ReceiveLogLine(chunk));
    if (kv::LogOverLimit(Text2->Text()))
        Text2->setText(QString());
    if (verdict.pollReply)
        HandlePollReply(chunk);
}
