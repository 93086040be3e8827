// The recent files: newest first, each file once, eight at most, and the menu's texts.
#include "RecentFiles.h"

#include <gtest/gtest.h>
#include <QDir>

namespace {

using Document::RecentFiles;

QString file(int n) {
    return QDir::rootPath() + QStringLiteral("work/file%1.ptn").arg(n);
}

TEST(RecentFilesTest, OrderRepeatsLimitAndRemoval) {
    struct Case {
        const char* name;
        std::vector<int> added;     // files added in turn; a negative number removes that file
        std::vector<int> expected;  // the list, newest first
    } const cases[] = {
        {"newest first", {1, 2, 3}, {3, 2, 1}},
        {"a repeat moves to the front", {1, 2, 3, 1}, {1, 3, 2}},
        {"eight at most", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {10, 9, 8, 7, 6, 5, 4, 3}},
        {"removed", {1, 2, 3, -2}, {3, 1}},
        {"removing a file not there", {1, -5}, {1}},
        {"removed then added again", {1, 2, -1, 1}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecentFiles recent;
        for (int n : c.added) {
            if (n > 0)
                recent.Add(file(n));
            else
                recent.Remove(file(-n));
        }
        QStringList expected;
        for (int n : c.expected)
            expected << file(n);
        EXPECT_EQ(recent.Items(), expected);
    }
}

TEST(RecentFilesTest, ARememberedListIsCleanedUp) {
    const RecentFiles recent({file(1), QString(), file(2), file(1), file(3), file(4), file(5),
                              file(6), file(7), file(8), file(9)});
    EXPECT_EQ(recent.Items(), (QStringList{file(1), file(2), file(3), file(4), file(5), file(6),
                                           file(7), file(8)}));
    // Two spellings of one path are one entry.
    RecentFiles spelled;
    spelled.Add(QDir::rootPath() + QStringLiteral("work/./sub/../file1.ptn"));
    spelled.Add(file(1));
    EXPECT_EQ(spelled.Items(), QStringList{file(1)});
}

TEST(RecentFilesTest, MenuTexts) {
    struct Case {
        const char* name;
        int index;
        QString path;
        int maxChars;
        QString expected;
    } const cases[] = {
        {"short", 0, QStringLiteral("/a/b.ptn"), 60,
         QDir::toNativeSeparators(QStringLiteral("&1 /a/b.ptn"))},
        {"ampersand", 7, QStringLiteral("/R&D/x.bmp"), 60,
         QDir::toNativeSeparators(QStringLiteral("&8 /R&&D/x.bmp"))},
        {"middle shortened", 2, QStringLiteral("/home/user/documents/manuals/2026/picture.ptn"), 23,
         QDir::toNativeSeparators(QStringLiteral("&3 /home/...26/picture.ptn"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RecentFiles::MenuText(c.index, c.path, c.maxChars), c.expected);
    }
}

}  // namespace
