// kv-screenshots: pictures of the tool for the README, made the same way every
// time. It builds the main window and its additions as the program does, opens
// the port (the window's own default "COM 3" unless --port says otherwise),
// sets a frequency, starts the drive and samples fast; after a few seconds it grabs
// the window, then reads the whole parameter set, compares it with a file that
// differs in two parameters and grabs that window. scripts/screenshots.sh runs
// it beside the simulated drive on a virtual X server.
//
//   kv-screenshots --language zh|en --out DIR [--port TEXT] [--seconds N] [--checks]
//
// --checks also turns on a live recording and a traffic
// capture (every part of the status line shown) and grabs the status line,
// the window "修改参数" and the response-timeout window: pictures to look at
// for texts cut off, not for the README.
//
// Settings and files go to a temporary folder: the user's are not touched.
// Any message box the tool would show is printed and makes the run fail.
#include "app/additions.h"
#include "app/captureui.h"
#include "app/fastsampling.h"
#include "app/form1.h"
#include "app/language.h"
#include "app/liverecordingui.h"
#include "app/parameditdialog.h"
#include "app/parametermenu.h"
#include "app/paramsetwindow.h"
#include "app/preferences.h"
#include "app/responsetimeout.h"
#include "common/filechooser.h"
#include "common/platform.h"
#include "drive/paramsetfile.h"
#include "serial/mscomm.h"
#include "session/linesession.h"
#include "tests/support/fakes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

using namespace kv;

class TempFiles final : public FileChooser {
public:
    explicit TempFiles(const QTemporaryDir& dir) : m_dir(dir) {}
    QString SaveFileName(const FileRequest& request) override { return m_dir.filePath(request.suggested); }
    QString OpenFileName(const FileRequest&) override { return openPath; }
    QString openPath;

private:
    const QTemporaryDir& m_dir;
};

void Say(const QString& text)
{
    std::fprintf(stderr, "kv-screenshots: %s\n", qPrintable(text));
}

// Runs `step` once `ready` holds, looking every 100 ms.
void When(std::function<bool()> ready, std::function<void()> step)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(100);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, ready = std::move(ready), step = std::move(step)] {
        if (!ready())
            return;
        timer->stop();
        timer->deleteLater();
        step();
    });
    timer->start();
}

class Session {
public:
    Session(const QString& language, const QString& outDir, const QString& port, int seconds, bool checks)
        : m_language(language)
        , m_out(outDir)
        , m_port(port)
        , m_seconds(seconds)
        , m_checks(checks)
        , m_prefs(m_tmp.filePath(QStringLiteral("settings.ini")))
        , m_files(m_tmp)
    {
        m_boxes.onShow = [this](const MessageRequest& r) {
            Say(QStringLiteral("message box: ") + r.text);
            m_failed = true;
        };
    }

    ~Session()
    {
        m_add.reset();  // the additions go before the window they work beside
        m_form.reset();
    }

    void Start()
    {
        m_form = std::make_unique<Form1>(m_boxes, SystemPlatform(), m_line.Line());
        m_form->Form_Load();
        m_add = std::make_unique<Additions>(*m_form, m_line, m_boxes, m_files, m_prefs);
        m_form->ShowCentered();
        QTimer::singleShot(0, qApp, [this] { OpenAndRun(); });
    }

    bool Failed() const { return m_failed; }

private:
    void OpenAndRun()
    {
        Form1& f = *m_form;
        if (!m_port.isEmpty())
            f.ComboMSCPort->setEditText(m_port);
        f.CommandOpenMSC->click();
        if (!f.MSComm->PortOpen())
            return Fail(QStringLiteral("the port did not open"));
        f.Text3->setText(QStringLiteral("35"));
        f.Command_set->click();
        f.Command_start->click();
        // The drive's answers to the two commands reach the log first; then
        // fast sampling, so that a few seconds show the run-up as a curve.
        QTimer::singleShot(300, qApp, [this] { StartSampling(); });
    }

    void StartSampling()
    {
        m_add->Piece<FastSamplingMenu>()->SetFastSampling(true);
        if (m_checks) {
            m_add->Piece<LiveRecordingUi>()->RecordStart_Click();
            m_add->Piece<CaptureUi>()->CaptureStart_Click();
        }
        m_form->Commandgraphstart->click();
        QTimer::singleShot(m_seconds * 1000, qApp, [this] { GrabMain(); });
    }

    void GrabMain()
    {
        Save(m_form.get(), QStringLiteral("main"));
        if (m_checks)
            Save(m_form->statusBar(), QStringLiteral("status"));
        ParameterSetWindow* w = m_add->Piece<ParameterMenu>()->ParamSetWindow();
        m_add->Piece<ParameterMenu>()->ParamSet_Click();
        QObject::connect(w, &ParameterSetWindow::WorkFinished, qApp, [this, w] { Compare(w); },
                         Qt::SingleShotConnection);
        w->ReadAll->click();
    }

    // A file as an engineer might bring: the drive's values with the motor's
    // nominal current and frequency changed.
    void Compare(ParameterSetWindow* w)
    {
        QMap<int, quint16> values;
        for (auto it = w->DriveValues().begin(); it != w->DriveValues().end(); ++it)
            if (it->IsRead())
                values.insert(it.key(), it->value);
        values[9906] = static_cast<quint16>(values.value(9906) + 12);
        values[9907] = 600;
        m_files.openPath = m_tmp.filePath(QStringLiteral("drive-A.csv"));
        QString error;
        if (!SaveParameterSetFile(m_files.openPath, values, &error))
            return Fail(error);
        w->Open_Click();
        w->Table->scrollToTop();
        QTimer::singleShot(300, qApp, [this, w] {
            Save(w, QStringLiteral("paramset"));
            w->close();
            if (m_checks)
                EditDialog();
            else
                Finish();
        });
    }

    void EditDialog()
    {
        m_add->Piece<ParameterMenu>()->EditParameterRow(3);  // 9906, the motor's nominal current
        ParameterEditDialog* d = m_add->Piece<ParameterMenu>()->ParamEditor();
        const QString reading = d->CurrentValue->text();
        When([d, reading] { return d->CurrentValue->text() != reading; },
             [this, d] {
                 d->NewValue->setText(QStringLiteral("0x7FFF0"));  // refused: shows the hint
                 d->WriteButton->click();
                 QTimer::singleShot(300, qApp, [this, d] {  // the window takes the hint's height
                     Save(d, QStringLiteral("edit"));
                     d->close();
                     m_add->Piece<ResponseTimeoutItem>()->ResponseTimeout_Click();
                     auto* t = m_form->findChild<QInputDialog*>(QStringLiteral("ResponseTimeoutDialog"));
                     When([t] { return t && t->isVisible(); }, [this, t] {
                         Save(t, QStringLiteral("timeout"));
                         t->close();
                         Finish();
                     });
                 });
             });
    }

    void Finish()
    {
        m_form->Commandgraphstart->click();  // pause
        m_form->Command_stop->click();
        QApplication::exit(m_failed ? 1 : 0);
    }

    void Save(QWidget* w, const QString& name)
    {
        const QString path = QDir(m_out).filePath(QStringLiteral("%1-%2.png").arg(name, m_language));
        if (!w->grab().save(path, "PNG"))
            return Fail(QStringLiteral("cannot write ") + path);
        Say(QStringLiteral("%1 (%2 x %3)").arg(path).arg(w->width()).arg(w->height()));
    }

    void Fail(const QString& why)
    {
        Say(why);
        m_failed = true;
        QApplication::exit(1);
    }

    QString m_language;
    QString m_out;
    QString m_port;
    int m_seconds;
    bool m_checks;
    bool m_failed = false;
    QTemporaryDir m_tmp;
    Preferences m_prefs;
    TempFiles m_files;
    test::RecordingMessageBoxes m_boxes;
    LineSession m_line;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<Additions> m_add;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The names the program gives itself: "COM 3" resolves through the same links.
    QApplication::setOrganizationName(QStringLiteral("KOLVEN"));
    QApplication::setApplicationName(QStringLiteral("kolven-assistant"));
    QApplication::setFont(Form1::PreferredWindowFont());

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption language(QStringLiteral("language"), QStringLiteral("zh or en"), QStringLiteral("L"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("folder of the pictures"), QStringLiteral("DIR"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("port text (default: the window's)"),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("polling before the picture"),
                                     QStringLiteral("N"), QStringLiteral("6"));
    const QCommandLineOption checks(QStringLiteral("checks"), QStringLiteral("every status part and small window"));
    parser.addOptions({language, out, port, seconds, checks});
    parser.process(app);
    const QString lang = parser.value(language);
    if ((lang != u"zh" && lang != u"en") || !parser.isSet(out)) {
        Say(QStringLiteral("--language zh|en and --out DIR are needed"));
        return 2;
    }
    if (InstallLanguage(lang) != lang) {
        Say(QStringLiteral("no catalogue for ") + lang);
        return 2;
    }
    QDir().mkpath(parser.value(out));

    Session session(lang, parser.value(out), parser.value(port), std::max(1, parser.value(seconds).toInt()),
                    parser.isSet(checks));
    session.Start();
    QTimer::singleShot(120000, &app, [] {
        Say(QStringLiteral("gave up after two minutes"));
        QApplication::exit(1);
    });
    const int code = QApplication::exec();
    return code != 0 || session.Failed() ? 1 : 0;
}
