#pragma once

#include <QString>
#include <QStringList>

namespace Document {

// The work files and source images opened or saved last, newest first, at most eight, each
// file once. Paths are kept absolute and clean; two names of one file (a case difference
// where the file system ignores case, say) count as one.
class RecentFiles {
public:
    static constexpr int kMaxCount = 8;

    RecentFiles() = default;
    // A remembered list, as a settings file gave it: empty entries and repeats go, and the
    // list is cut to its first eight.
    explicit RecentFiles(const QStringList& items);

    // The file goes to the front (from wherever it stood); the oldest falls off past eight.
    void Add(const QString& path);
    // False when the file was not in the list.
    bool Remove(const QString& path);
    void Clear() { m_items.clear(); }
    const QStringList& Items() const noexcept { return m_items; }

    // The menu text of the entry at `index` (0-based): its access key 1 .. 8, then the path,
    // shortened in the middle to `maxChars` when longer; '&' in a path is shown as itself.
    static QString MenuText(int index, const QString& path, int maxChars = 60);

private:
    QStringList m_items;
};

}  // namespace Document
