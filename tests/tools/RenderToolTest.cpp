// pictanote-render run as a separate program on work files.
#include "Bmp.h"
#include "ReferenceRender.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "WorkFile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

using TestSupport::gradient;

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

class RenderToolTest : public TestSupport::TempDirTest {
protected:
    ToolRun render(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(PICTANOTE_RENDER_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString writeWork(const QString& name, const Platform::Bitmap& image,
                      const Document::WorkLines& lines) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Document::EncodeWorkFile(image, lines));
        return path(name);
    }
};

}  // namespace

TEST_F(RenderToolTest, WritesWhatTheExportComposes) {
    const Platform::Bitmap source = gradient(80, 60);
    const Document::WorkLines lines{"Arial,12,255,1,0,0,0", "2", "5,5,,,0", "40,20,,,41",
                                    "70,50,,,98"};
    const QString work = writeWork(QStringLiteral("doc.ptn"), source, lines);
    const QString out = path(QStringLiteral("out.bmp"));

    const ToolRun run = render({work, out});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    const Document::WorkDocument doc = Document::ReadWorkDocument(lines);
    const QImage expected = TestSupport::referenceCanvas(
        source, doc.Markers, {doc.Font, doc.Font.Color, doc.BackgroundStyle},
        TestSupport::Pass::Export);

    const Platform::Bitmap written = Platform::Bmp::readFile(out);
    EXPECT_EQ(written.bitsPerPixel(), 24);
    EXPECT_EQ(written.toQImage().convertToFormat(QImage::Format_RGB32), expected);
    EXPECT_NE(expected, source.toQImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(RenderToolTest, FailuresSayWhyAndWriteNothing) {
    const QString out = path(QStringLiteral("out.bmp"));
    const QString missing = path(QStringLiteral("missing.ptn"));
    const QString badKey = writeWork(QStringLiteral("badkey.ptn"), gradient(8, 8),
                                     {"Arial,12,0,0,0,0,0", "1", "1,2,,,nine"});
    const QString good =
        writeWork(QStringLiteral("ok.ptn"), gradient(8, 8), {"Arial,12,0,0,0,0,0", "1"});
    QFile shortFile(path(QStringLiteral("short.ptn")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write("\x10\0\0\0\x10\0\0\0abc", 11);
    shortFile.close();

    const struct {
        const char* name;
        QStringList args;
        int exitCode;
        QString says;
    } rows[] = {
        {"NoArguments", {}, 2, QStringLiteral("usage")},
        {"OneArgument", {missing}, 2, QStringLiteral("usage")},
        {"MissingFile", {missing, out}, 1, QStringLiteral("ファイル %1 は開けません").arg(missing)},
        {"ShortFile",
         {shortFile.fileName(), out},
         1,
         QStringLiteral("ストリームからの読み込みエラー")},
        {"BadKey", {badKey, out}, 1, QStringLiteral("'nine' は整数ではありません")},
        {"OutputFolderMissing",
         {good, path(QStringLiteral("no/dir/out.bmp"))},
         1,
         QStringLiteral("を作成できません")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ToolRun run = render(row.args);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_TRUE(run.errors.contains(row.says)) << run.errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
    }
}
