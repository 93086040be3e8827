// Program entry: the application titled "Pictanote", the main window, the event loop.
#include "Fr0010mn.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pictanote"));
    try {
        TFrmFR0010MN window;
        window.show();
        return app.exec();
    } catch (const std::exception& e) {
        // The standard report of a failure that escaped the window; the program has failed.
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(),
                              QString::fromUtf8(e.what()));
        return 1;
    }
}
