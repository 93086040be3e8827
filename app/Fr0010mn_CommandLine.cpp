// The main window's side of the command line: the file it was started with.
#include "Fr0010mn.h"

#include <QFileInfo>

void TFrmFR0010MN::OpenFromCommandLine(const QString& path) {
    if (QFileInfo(path).suffix().compare(QStringLiteral("ptn"), Qt::CaseInsensitive) == 0)
        OpenWorkFileAt(path);
    else
        OpenSourceFile(path);
}
