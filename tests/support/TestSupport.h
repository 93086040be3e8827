#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// The public BMP test corpus: folders g (good), q (questionable), b (bad), x (related).
inline QString bmpSuitePath(const QString& relative) {
    return QDir(QStringLiteral(PICTANOTE_BMPSUITE_DIR)).filePath(relative);
}

// The whole content of a file (empty when it cannot be read).
inline QByteArray bytesOf(const QString& file) {
    QFile f(file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    return f.readAll();
}

// While it lives, temporary files go to `folder` (made here), which must be empty again when
// it goes: nothing may leave a staging file behind.
class TempFilesIn {
public:
    explicit TempFilesIn(const QString& folder) : m_folder(folder), m_old(qgetenv("TMPDIR")) {
        EXPECT_TRUE(QDir().mkpath(folder));
        qputenv("TMPDIR", folder.toLocal8Bit());
    }
    ~TempFilesIn() {
        EXPECT_EQ(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList{})
            << "temporary files left behind";
        if (m_old.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_old);
    }
    TempFilesIn(const TempFilesIn&) = delete;
    TempFilesIn& operator=(const TempFilesIn&) = delete;

private:
    QString m_folder;
    QByteArray m_old;
};

// A fresh temporary folder per test, removed with the fixture.
class TempDirTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString dir() const { return m_dir.path(); }
    // Writes `bytes` as the file `name` in the folder; returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
        f.write(bytes);
        return path(name);
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace TestSupport
