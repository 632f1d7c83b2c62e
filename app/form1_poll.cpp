// Live-value polling: the poll timer, the decoding of the replies onto the
// chart and the status lamps, the start/pause and lamp-reset buttons.
#include "app/form1.h"

#include "app/lamp.h"
#include "chart/curvegraph.h"
#include "common/colors.h"
#include "common/intervaltimer.h"
#include "common/numbers.h"
#include "drive/polling.h"
#include "serial/framecodec.h"
#include "serial/mscomm.h"

#include <QCheckBox>
#include <QDateTime>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

void Form1::Timer1_Timer()
{
    if (CommandOpenMSC->text() == kCaptionOpenPort)
        return;
    if (!LineFree())
        return;  // the line is lent out; polling goes on when it is back
    try {
        MSComm->setOutput(kv::HexFrameToBytes(kv::PollRequestText(StationAddr)));
    } catch (const kv::CommError&) {
        // A vanished port is shown closed once; the ticks then do nothing until
        // the port is opened again. A port that is open but refuses the write
        // skips this poll without a message every half second.
        if (!MSComm->PortOpen())
            PortLost();
        return;
    }
    m_platform.Sleep(kv::kPollWaitMs);
}

void Form1::FeedCurve(short index, QLineEdit* factorBox, QComboBox* sourceList, const std::array<float, 5>& values)
{
    const int source = sourceList->currentIndex();
    if (source < 0 || source >= static_cast<int>(values.size()))
        return;
    const float sample = kv::CurveSample(values[static_cast<size_t>(source)], kv::Val(factorBox->text()));
    ChartCall([&] { CurveGraph1->AddValue(sample, index); });
}

void Form1::HandlePollReply(const QString& replyText)
{
    const std::optional<kv::LiveSample> sample =
        kv::SampleFromReplyText(replyText, QDateTime::currentMSecsSinceEpoch());
    if (!sample)
        return;
    ShowSample(*sample);
    emit PollReplyDecoded(replyText, sample->reply);
    emit SampleDecoded(*sample);
}

void Form1::ShowSample(const kv::LiveSample& sample)
{
    ++m_pollRepliesDecoded;
    const std::array<float, 5>& values = sample.reply.PolledValues;
    // Curve 1 is the chart's clock and is fed whether it is shown or not.
    FeedCurve(1, textquxian1, comCurveType[0], values);
    if (chkShowCurve[1]->isChecked())
        FeedCurve(2, Text5, comCurveType[1], values);
    if (chkShowCurve[2]->isChecked())
        FeedCurve(3, Text6, comCurveType[2], values);
    ChartCall([&] { CurveGraph1->DrawGridCurve(); });
    for (int i = 0; i < kv::kStatusLampCount; ++i)
        Shape1[static_cast<size_t>(i)]->setFillColor(kv::IsStatusBitSet(sample.reply.StatusWord, i) ? kv::kRed
                                                                                                  : kv::kLightBlue);
    emit PollReplyHandled(sample.reply);
}

void Form1::Commandgraphstart_Click()
{
    if (CommandOpenMSC->text() != kCaptionClosePort) {
        MsgBox(tr("请打开串口"));
        return;
    }
    if (Commandgraphstart->text() == kCaptionStart) {
        Commandgraphstart->setText(kCaptionPause);
        SwitchPolling(true);
    } else {
        Commandgraphstart->setText(kCaptionStart);
        SwitchPolling(false);
    }
}

void Form1::SwitchPolling(bool run)
{
    m_pollWanted = run;
    ApplyPollTimer();
    emit PollingSwitched(run);
}

void Form1::ApplyPollTimer()
{
    const bool ticking = m_pollWanted && !m_lineLent && !m_pollTakenOver;
    Timer1->setInterval(ticking ? kv::kPollIntervalMs : 0);
}

void Form1::SetLineLent(bool lent)
{
    if (m_lineLent == lent)
        return;
    m_lineLent = lent;
    // The line back: polling resumes as the chart's button says.
    if (!lent)
        m_pollWanted = PollingRunning();
    ApplyPollTimer();
}

void Form1::SetPollingTakenOver(bool takenOver)
{
    if (m_pollTakenOver == takenOver)
        return;
    m_pollTakenOver = takenOver;
    if (!takenOver)
        m_pollWanted = PollingRunning();
    ApplyPollTimer();
}

void Form1::Command4_Click()
{
    for (kv::Lamp* lamp : Shape1)
        lamp->setFillColor(kv::kLightBlue);
}
