#include "TempFile.h"

#include "ToolkitError.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace Platform {

QString tempFolder() {
    return QDir::cleanPath(QDir::tempPath());
}

QString createTempFile(const QString& prefix, const QString& folder) {
    const QString dir = folder.isEmpty() ? tempFolder() : QDir::cleanPath(folder);
    // No folder (the system's temporary folder is missing, so its name comes back empty):
    // there is nowhere to make the file, and above all not in the root folder.
    if (dir.isEmpty())
        throw ToolkitError(Msg::cannotCreateFile(QString()));
    const QString head = prefix.left(3);
    // A collision is astronomically rare with 32 random bits; a few tries cover it, and a
    // folder we cannot write to fails on the first try.
    QString path;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const quint32 unique = QRandomGenerator::system()->generate();
        path = QStringLiteral("%1/%2%3.tmp").arg(dir, head, QString::number(unique, 16).toUpper());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            return path;
        if (file.error() != QFileDevice::OpenError || !QDir(dir).exists())
            break;
        if (!QFile::exists(path))
            break;  // not a name clash: no permission or similar
    }
    throw ToolkitError(Msg::cannotCreateFile(path));
}

}  // namespace Platform
