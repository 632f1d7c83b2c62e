// The one-click drive commands: start, stop, set frequency, fault reset.
#include "app/form1.h"

#include "app/logbox.h"
#include "drive/drivecommands.h"
#include "serial/framecodec.h"
#include "serial/mscomm.h"
#include "session/drivelink.h"

#include <QLineEdit>
#include <QPushButton>

bool Form1::PortTestOpen()
{
    if (CommandOpenMSC->text() == kCaptionClosePort)
        return !LineBusyRefused();
    MsgBox(tr("请打开串口"));
    return false;
}

bool Form1::LineFree()
{
    return !m_lineGate || m_lineGate->MakeWay();
}

bool Form1::LineBusyRefused()
{
    if (LineFree())
        return false;
    MsgBox(tr("通讯忙，请稍候"));
    return true;
}

bool Form1::SendToDrive(const QByteArray& bytes)
{
    try {
        MSComm->setOutput(bytes);
        return true;
    } catch (const kv::CommError&) {
        // The rest of the command is not sent. A port that went away is shown
        // closed, with one message.
        if (MSComm->PortOpen())
            MsgBox(tr("发送失败，串口不可用"), kv::MsgButtons::Ok, kv::MsgIcon::Exclamation);
        else
            PortLost();
        return false;
    }
}

bool Form1::SendWithEcho(const QString& frameText)
{
    const kv::EchoFrame frame = kv::MakeEchoFrame(frameText);
    if (!SendToDrive(frame.bytes))
        return false;
    AppendLogLine(tr("输出：") + frame.fullText);
    return true;
}

void Form1::Command_start_Click()
{
    if (!PortTestOpen())
        return;
    if (!SendWithEcho(StationAddr + kv::kStartFrame1))
        return;
    m_platform.Sleep(200);
    if (!SendWithEcho(StationAddr + kv::kStartFrame2))
        return;
    Command_start->setEnabled(false);
}

void Form1::Command_stop_Click()
{
    if (!PortTestOpen())
        return;
    if (!SendWithEcho(StationAddr + kv::kStopFrame))
        return;
    Command_start->setEnabled(true);
}

void Form1::Command_set_Click()
{
    const QString reference = kv::FrequencyReferenceDigits(Text3->text());
    if (!PortTestOpen())
        return;
    SendWithEcho(StationAddr + kv::kSetFrequencyPrefix + reference);
}

void Form1::Command2_Click()
{
    if (!PortTestOpen())
        return;
    if (!SendToDrive(kv::HexFrameToBytes(StationAddr + kv::kResetFrame1)))
        return;
    m_platform.Sleep(100);
    SendToDrive(kv::HexFrameToBytes(StationAddr + kv::kResetFrame2));
}
