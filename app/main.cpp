#include "app/additions.h"
#include "app/cli.h"
#include "app/form1.h"
#include "app/language.h"
#include "app/preferences.h"
#include "app/qtfilechooser.h"
#include "app/qtmessageboxes.h"
#include "app/startup.h"
#include "session/linesession.h"

#include <QApplication>

#include <memory>
#include <optional>

int main(int argc, char** argv)
{
    QApplication::setOrganizationName(QStringLiteral("KOLVEN"));
    QApplication::setApplicationName(QStringLiteral("kolven-assistant"));
    QApplication::setApplicationVersion(QStringLiteral(KV_VERSION));
    // Arguments: --help, --version or a sub-command (backup, compare, ...),
    // answered without a window.
    if (const std::optional<int> status = kv::RunCommandLine(argc, argv))
        return *status;

    QApplication app(argc, argv);
    QApplication::setFont(Form1::PreferredWindowFont());
    kv::InstallChosenLanguage();  // before any window: the window sets its texts as it is built

    kv::QtMessageBoxes boxes;
    kv::QtFileChooser files;
    kv::Preferences prefs;
    kv::LineSession session;  // the line outlives the windows that use it
    std::unique_ptr<Form1> form;
    std::unique_ptr<kv::Additions> additions;  // goes before the window it works beside
    // The start-up routine installs the serial component, then shows the window.
    kv::Main(kv::SystemPlatform(), [&] {
        form = std::make_unique<Form1>(boxes, kv::SystemPlatform(), session.Line());
        boxes.setParent(form.get());
        files.setParent(form.get());
        form->Form_Load();
        additions = std::make_unique<kv::Additions>(*form, session, boxes, files, prefs);
        form->ShowCentered();
    });
    // Nothing to show (the window failed to load): the program ends, as it does
    // when its last window closes.
    if (!form || !form->isVisible())
        return 0;
    return app.exec();
}
