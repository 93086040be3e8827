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
