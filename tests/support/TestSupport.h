#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <ostream>

// Failures show texts as text, not as lists of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace TestSupport {

// The environment variables that name the temporary folder: TMPDIR on POSIX systems, TMP and
// then TEMP on Windows.
#ifdef Q_OS_WIN
inline constexpr const char* kTempFolderVariables[] = {"TMP", "TEMP"};
#else
inline constexpr const char* kTempFolderVariables[] = {"TMPDIR"};
#endif

// Points the system's temporary folder at `folder` for this process.
inline void setTempFolder(const QString& folder) {
    for (const char* name : kTempFolderVariables)
        qputenv(name, QDir::toNativeSeparators(folder).toLocal8Bit());
}

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
    explicit TempFilesIn(const QString& folder) : m_folder(folder) {
        for (const char* name : kTempFolderVariables)
            m_old.push_back(qgetenv(name));
        EXPECT_TRUE(QDir().mkpath(folder));
        setTempFolder(folder);
    }
    ~TempFilesIn() {
        EXPECT_EQ(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList{})
            << "temporary files left behind";
        qsizetype i = 0;
        for (const char* name : kTempFolderVariables) {
            const QByteArray& old = m_old[i++];
            if (old.isNull())
                qunsetenv(name);
            else
                qputenv(name, old);
        }
    }
    TempFilesIn(const TempFilesIn&) = delete;
    TempFilesIn& operator=(const TempFilesIn&) = delete;

private:
    QString m_folder;
    QList<QByteArray> m_old;
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
