// Opening and closing the port, and the receive mode.
#include "app/form1.h"

#include "app/lamp.h"
#include "common/colors.h"
#include "serial/mscomm.h"
#include "serial/portopen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

void Form1::CommandOpenMSC_Click()
{
    // One trap over the whole handler: every failure, in opening or closing,
    // ends in the same message, with what was done before it left done.
    try {
        if (CommandOpenMSC->text() == kCaptionOpenPort) {
            CommandOpenMSC->setText(kCaptionClosePort);
            ShapeMSC->setFillColor(kv::kGreen);

            StationAddr = kv::StationAddrFromText(Combo2->currentText());

            const kv::PortTarget target = kv::ResolvePortText(ComboMSCPort->currentText());
            switch (target.kind) {
            case kv::PortTarget::Device:
            case kv::PortTarget::Network:
                MSComm->setPortDevice(target.device);
                break;
            case kv::PortTarget::Number:
                MSComm->setCommPort(target.number);
                break;
            case kv::PortTarget::Invalid:
                throw kv::CommError(kv::CommError::InvalidPortNumber, QStringLiteral("Invalid port number"));
            }

            MSComm->setSettings(kv::BuildSettingsText(ComboMSCBaudrate->currentText(), ComboParity->currentText(),
                                                      ComboDatabits->currentText(), ComboStopbit->currentText()));
            MSComm->setInputMode(1);
            MSComm->setRThreshold(1);
            MSComm->setPortOpen(true);

            Chkreceive16->setChecked(true);
            Chkreceive16->setEnabled(true);
            m_openedWith = {ComboMSCPort->currentText(), ComboMSCBaudrate->currentText(), ComboParity->currentText(),
                            ComboDatabits->currentText(), ComboStopbit->currentText(), Combo2->currentText()};
            emit PortChanged(kv::PortEvent::Opened);
        } else {
            CommandOpenMSC->setText(kCaptionOpenPort);
            ShapeMSC->setFillColor(kv::kRed);
            Chkreceive16->setEnabled(false);
            MSComm->setPortOpen(false);
            emit PortChanged(kv::PortEvent::Closed);
        }
    } catch (const std::exception&) {
        CommandOpenMSC->setText(kCaptionOpenPort);
        ShapeMSC->setFillColor(kv::kRed);
        MsgBox(tr("无效端口号"), kv::MsgButtons::Ok, kv::MsgIcon::Exclamation,
               tr("串口调试助手"));
        emit PortChanged(kv::PortEvent::OpenFailed);
    }
}

void Form1::Chkreceive16_Click()
{
    MSComm->setInputMode(Chkreceive16->isChecked() ? 1 : 0);
}

bool Form1::ShowPortClosedBehindUs()
{
    if (CommandOpenMSC->text() == kCaptionOpenPort)
        return false;
    CommandOpenMSC->setText(kCaptionOpenPort);
    ShapeMSC->setFillColor(kv::kRed);
    Chkreceive16->setEnabled(false);
    return true;
}

void Form1::PortOpenFailed()
{
    // A converter's connection is made after "打开串口" returned; when it is
    // not made, the window ends as for a serial port that does not open.
    if (!ShowPortClosedBehindUs())
        return;
    MsgBox(tr("无效端口号"), kv::MsgButtons::Ok, kv::MsgIcon::Exclamation, tr("串口调试助手"));
    emit PortChanged(kv::PortEvent::OpenFailed);
}

void Form1::PortLost()
{
    // The serial control has closed the vanished port; the window must not go
    // on showing it open.
    if (!ShowPortClosedBehindUs())
        return;
    emit PortChanged(kv::PortEvent::Lost);
    MsgBox(tr("串口已断开，请检查连接后重新打开串口"), kv::MsgButtons::Ok, kv::MsgIcon::Exclamation);
}
