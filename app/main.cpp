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
        app.exec();
    } catch (const std::exception& e) {
        // The standard report of a failure that escaped the window.
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(),
                              QString::fromUtf8(e.what()));
    }
    return 0;
}
