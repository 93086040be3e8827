#include "RecentFiles.h"

#include <QDir>
#include <QFileInfo>

namespace Document {
namespace {

QString normalised(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool sameFile(const QString& a, const QString& b) {
    if (a == b)
        return true;
    // The file system's own rule (one file under two spellings where it ignores case), which
    // the toolkit can apply only to files that exist.
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() && first == second;
}

}  // namespace

RecentFiles::RecentFiles(const QStringList& items) {
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        if (!it->isEmpty())
            Add(*it);
    }
    while (m_items.size() > kMaxCount)
        m_items.removeLast();
}

void RecentFiles::Add(const QString& path) {
    if (path.isEmpty())
        return;
    const QString file = normalised(path);
    Remove(file);
    m_items.prepend(file);
    while (m_items.size() > kMaxCount)
        m_items.removeLast();
}

bool RecentFiles::Remove(const QString& path) {
    const QString file = normalised(path);
    const qsizetype before = m_items.size();
    m_items.removeIf([&file](const QString& item) { return sameFile(item, file); });
    return m_items.size() != before;
}

QString RecentFiles::MenuText(int index, const QString& path, int maxChars) {
    QString shown = QDir::toNativeSeparators(path);
    const QString ellipsis = QStringLiteral("...");
    if (maxChars > ellipsis.size() + 2 && shown.size() > maxChars) {
        // The end carries the file's name, so it keeps the larger part.
        const qsizetype head = (maxChars - ellipsis.size()) / 3;
        const qsizetype tail = maxChars - ellipsis.size() - head;
        shown = shown.left(head) + ellipsis + shown.right(tail);
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 ").arg(index + 1) + shown;
}

}  // namespace Document
