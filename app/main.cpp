#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pictanote"));
    QLabel placeholder(QStringLiteral("Pictanote"));
    placeholder.resize(640, 480);
    placeholder.show();
    return app.exec();
}
