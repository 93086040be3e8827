#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// The public BMP test corpus: folders g (good), q (questionable), b (bad), x (related).
inline QString bmpSuitePath(const QString& relative) {
    return QDir(QStringLiteral(PICTANOTE_BMPSUITE_DIR)).filePath(relative);
}

// A fresh temporary folder per test, removed with the fixture.
class TempDirTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

}  // namespace TestSupport
