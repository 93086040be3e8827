// Program entry: the command line, the application titled "Pictanote" in Japanese, the main
// window with the file it was given, the event loop.
#include "CommandLine.h"
#include "DisplayScale.h"
#include "ProgramStart.h"
#include "Fr0010mn.h"
#include "RecoveryKeeper.h"
#include "RecoveryOffer.h"
#include "Translations.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QWindow>

#include <cstdio>
#include <exception>
#include <functional>

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// Whether a word of the command line looks like one of the toolkit's own options (-platform,
// -style, ...), which only the application object can tell apart from a mistake.
bool mayBeToolkitOption(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a == QStringLiteral("--"))
            return false;
        if (a.size() > 1 && a.startsWith(QLatin1Char('-')) && !a.startsWith(QStringLiteral("--")))
            return true;
    }
    return false;
}

// Runs an action once, from the event loop, after the window first shows on the screen: a
// window manager has placed and framed it by then, so a failure's message is centred on the
// window where it stands.
class WhenFirstExposed : public QObject {
public:
    WhenFirstExposed(QWidget* window, std::function<void()> action)
        : QObject(window), m_action(std::move(action)) {
        window->winId();  // makes the native window whose exposure is watched
        m_handle = window->windowHandle();
        m_handle->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Expose && m_handle->isExposed()) {
            m_handle->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_action();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_action;
    QWindow* m_handle = nullptr;
};

}  // namespace

int main(int argc, char* argv[]) {
    const QStringList arguments = Platform::programArguments(argc, argv);
    // Help, version and plain mistakes are answered before any window or display is needed.
    const App::CommandLine early = App::ParseCommandLine(arguments);
    if (early.action != App::CommandLine::Action::Run)
        Platform::attachParentConsole();
    switch (early.action) {
        case App::CommandLine::Action::Help:
            print(stdout, App::HelpText());
            return 0;
        case App::CommandLine::Action::Version:
            print(stdout, App::VersionText());
            return 0;
        case App::CommandLine::Action::UsageError:
            if (!mayBeToolkitOption(arguments)) {
                print(stderr, App::UsageErrorText(early));
                return 2;
            }
            break;
        case App::CommandLine::Action::Run:
            break;
    }

    Platform::UseDevicePixels();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pictanote"));
    // Ties the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pictanote"));
    // The application object has taken its own options off the line; what is left is ours.
    const App::CommandLine commandLine = App::ParseCommandLine(QCoreApplication::arguments());
    if (commandLine.action == App::CommandLine::Action::UsageError) {
        Platform::attachParentConsole();
        print(stderr, App::UsageErrorText(commandLine));
        return 2;
    }
    InstallQtTranslations(app);
    try {
        TFrmFR0010MN window;
        // Unsaved work is copied to the state folder as it goes. An exception that escapes
        // writes the copy one last time (below, and through std::terminate where it cannot
        // unwind this far). A fatal signal leaves the copy written last: nothing that writes a
        // file is safe in a signal handler (it allocates, takes locks and would read a session
        // caught half-way through a change), so no handler is installed and the system's
        // default ends the program.
        Document::RecoveryKeeper keeper(window.Doc);
        Document::RecoveryKeeper::InstallTerminateHandler();
        // Work a crash left comes first. Restored, it is the document, and a file named on the
        // command line is not opened over it (that would ask to discard what was just brought
        // back); declined, the file opens as usual.
        const QString file = commandLine.file;
        new WhenFirstExposed(&window, [&window, &keeper, file] {
            if (!window.Created())
                return;  // the program is ending after its message
            if (!OfferRecovery(window, keeper) && !file.isEmpty())
                window.OpenFromCommandLine(file);
        });
        window.show();
        int status = 0;
        try {
            status = app.exec();
        } catch (...) {
            keeper.WriteLastCopy();
            throw;
        }
        keeper.Discard();
        return status;
    } catch (const std::exception& e) {
        // The standard report of a failure that escaped the window; the program has failed.
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(),
                              QString::fromUtf8(e.what()));
        return 1;
    }
}
