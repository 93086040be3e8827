// pictanote-render run as a separate program on work files.
#include "Bmp.h"
#include "Compositor.h"
#include "Cp932.h"
#include "ReferenceRender.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "WorkFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QtEndian>

namespace {

using TestSupport::gradient;

struct ToolRun {
    int exitCode = -1;
    QString errors;
    QByteArray output;
};

class RenderToolTest : public TestSupport::TempDirTest {
protected:
    ToolRun render(const QStringList& args,
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PICTANOTE_RENDER_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        // Messages end in CR LF on a Windows console.
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError()).remove(QLatin1Char('\r')),
                p.readAllStandardOutput()};
    }
    // A work file of raw text, so line ends and odd lines are as written.
    QString writeRawWork(const QString& name, const Platform::Bitmap& image,
                         const QByteArray& text) {
        const QByteArray bmp = Platform::Bmp::encode(image);
        QByteArray bytes(8, '\0');
        qToLittleEndian<int32_t>(static_cast<int32_t>(text.size()), bytes.data());
        qToLittleEndian<int32_t>(static_cast<int32_t>(bmp.size()), bytes.data() + 4);
        return writeFile(name, bytes + text + bmp);
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
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

// Left to itself (no toolkit platform or font folder named, as a user runs it) the tool draws
// the numbers with the system's fonts: two numbers in one font differ, where a toolkit without
// fonts would give both the same empty box.
TEST_F(RenderToolTest, NumbersAreDrawnWithTheSystemsFonts) {
    const QString work = writeWork(QStringLiteral("doc.ptn"), TestSupport::solid(80, 40, 0xffffff),
                                   {"Arial,12,0,1,0,0,0", "2", "4,4,,,0", "44,4,,,6"});
    const QString out = path(QStringLiteral("out.bmp"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("QT_QPA_FONTDIR"));

    const ToolRun run = render({work, out}, env);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QImage written = Platform::Bmp::readFile(out).toQImage();
    EXPECT_NE(written.copy(4, 4, 32, 32), written.copy(44, 4, 32, 32));
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

    const QString unwritable = path(QStringLiteral("no/dir/out.bmp"));
    const QString loadFailed = QStringLiteral("ファイルの読み込みに失敗しました。");
    const QString tryHelp = QStringLiteral("Try 'pictanote-render --help' for more information.\n");
    // Standard error holds exactly these lines.
    const struct {
        const char* name;
        QStringList args;
        int exitCode;
        QString errors;
    } rows[] = {
        {"NoArguments", {}, 2, "pictanote-render: give a work file and an output\n" + tryHelp},
        {"UnknownOption",
         {QStringLiteral("--fast"), good, out},
         2,
         "pictanote-render: unknown option --fast\n" + tryHelp},
        {"FormatWithoutBatch",
         {QStringLiteral("--format"), QStringLiteral("png"), good, out},
         2,
         "pictanote-render: --format goes with --out-dir\n" + tryHelp},
        {"BadFormat",
         {QStringLiteral("--out-dir"), path("o"), QStringLiteral("--format=gif"), good},
         2,
         "pictanote-render: --format is bmp or png\n" + tryHelp},
        {"TwoModes",
         {QStringLiteral("--info"), QStringLiteral("--out-dir"), path("o"), good},
         2,
         "pictanote-render: --info, --make and --out-dir do not go together\n" + tryHelp},
        {"MissingFile",
         {missing, out},
         1,
         QStringLiteral("ファイル %1 は開けません\n%2\n").arg(missing, loadFailed)},
        {"InfoOfMissingFile",
         {QStringLiteral("--info"), missing},
         1,
         QStringLiteral("ファイル %1 は開けません\n%2\n").arg(missing, loadFailed)},
        {"ShortFile",
         {shortFile.fileName(), out},
         1,
         QStringLiteral("ストリームからの読み込みエラー\n%1\n").arg(loadFailed)},
        {"BadKey", {badKey, out}, 1, QStringLiteral("'nine' は整数ではありません\n")},
        {"OutputFolderMissing",
         {good, unwritable},
         1,
         QStringLiteral("%1: ファイル %1 を作成できません\n").arg(unwritable)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ToolRun run = render(row.args);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(run.errors, row.errors);
        EXPECT_FALSE(QFileInfo::exists(out));
    }
}

TEST_F(RenderToolTest, InfoGivesTheDocumentAsTheReaderHoldsIt) {
    const Platform::Bitmap image = gradient(7, 5);
    const QByteArray font = R"("font": {"face": "Arial", "size": 12, "color": 0, "bold": false, )"
                            R"("italic": false, "underline": false, "strikeout": false})";
    const QByteArray shape = R"("image": {"width": 7, "height": 5, "bits": 24})";
    const struct {
        const char* name;
        QByteArray text;
        QByteArray json;
    } rows[] = {
        {"NoMarkers", "Arial,12,0,0,0,0,0\r\n1\r\n",
         "{" + font + R"(, "style": 1, )" + shape + R"(, "markers": []})"},
        {"DefaultsAndOddValues", "\"A \"\"q\"\" b\\c\",pt,-16777208,yes,0,1,0\r\n9\r\n",
         R"({"font": {"face": "A \"q\" b\\c", "size": 12, "color": -16777208, "bold": true, )"
         R"("italic": false, "underline": true, "strikeout": false}, "style": 1, )" +
             shape + R"(, "markers": []})"},
        {"JapaneseFaceLoneLineEnds",
         QByteArray::fromStdString(
             Platform::Cp932::fromUnicode(QStringLiteral("\"ＭＳ ゴシック\""))) +
             ",9,255,0,1,0,1\n5\r3,4,,,7",
         R"({"font": {"face": "ＭＳ ゴシック", "size": 9, "color": 255, "bold": false, )"
         R"("italic": true, "underline": false, "strikeout": true}, "style": 5, )" +
             shape +
             R"(, "markers": [{"key": 7, "number": 8, "left": 3, "top": 4, "right": 35, )"
             R"("bottom": 36}]})"},
        {"DuplicateAndNegativeKeys",
         "Arial,12,0,0,0,0,0\r\n2\r\n1,1,2,2,4\r\n9,9,9,9,4\r\n-5,6,7,8,-3\r\n",
         "{" + font + R"(, "style": 2, )" + shape +
             R"(, "markers": [{"key": -3, "number": -2, "left": -5, "top": 6, "right": 7, )"
             R"("bottom": 8}, {"key": 4, "number": 5, "left": 1, "top": 1, "right": 2, )"
             R"("bottom": 2}]})"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString work = writeRawWork(QStringLiteral("w.ptn"), image, row.text);
        const ToolRun run = render({QStringLiteral("--info"), work});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.errors, QString());
        EXPECT_EQ(run.output, row.json + "\n");
    }
}

TEST_F(RenderToolTest, MadeFileDescribesItselfBack) {
    ASSERT_TRUE(Platform::Bmp::encode(gradient(40, 30)).size() > 0);
    writeFile(QStringLiteral("src.bmp"), Platform::Bmp::encode(gradient(40, 30)));
    writeFile(QStringLiteral("d.json"),
              R"({"style": 3, "font": {"face": "ＭＳ 明朝", "bold": true},
                  "markers": [{"key": 98, "left": 1, "top": 2},
                              {"key": 0, "left": 5, "top": 6, "right": 7, "bottom": 8}]})");
    const QStringList make{QStringLiteral("--make"),    path("a.ptn"),
                           QStringLiteral("--source"),  path("src.bmp"),
                           QStringLiteral("--markers"), path("d.json")};
    ASSERT_EQ(render(make).exitCode, 0);
    const ToolRun info = render({QStringLiteral("--info"), path("a.ptn")});
    EXPECT_EQ(info.output,
              R"({"font": {"face": "ＭＳ 明朝", "size": 12, "color": -2147483640, "bold": true, )"
              R"("italic": false, "underline": false, "strikeout": false}, "style": 3, )"
              R"("image": {"width": 40, "height": 30, "bits": 24}, "markers": [{"key": 0, )"
              R"("number": 1, "left": 5, "top": 6, "right": 7, "bottom": 8}, {"key": 98, )"
              R"("number": 99, "left": 1, "top": 2, "right": 33, "bottom": 34}]})"
              "\n");
    // --info's own output is a description that makes the same file again.
    writeFile(QStringLiteral("d.json"), info.output);
    ASSERT_EQ(render(make).exitCode, 0);
    EXPECT_EQ(render({QStringLiteral("--info"), path("a.ptn")}).output, info.output);

    const struct {
        const char* name;
        QByteArray json;
        QString errors;
    } refused[] = {
        {"KeyOutOfRange", R"({"markers": [{"key": 99, "left": 1, "top": 1}]})",
         "markers[0].key: not from 0 to 98"},
        {"DuplicateKey",
         R"({"markers": [{"key": 3, "left": 1, "top": 1}, {"key": 3, "left": 2, "top": 2}]})",
         "markers[1].key: 3 is given more than once"},
        {"FaceOutsideCp932", R"({"font": {"face": "Ａ😀"}})",
         "font.face: holds characters code page 932 cannot hold"},
        {"FaceWithALineEnd", R"({"font": {"face": "A\nB"}})",
         "font.face: holds a line end or a NUL"},
        {"MissingTop", R"({"markers": [{"key": 1, "left": 1}]})", "markers[0].top: missing"},
        {"Malformed", "{\n  \"style\": 2,,\n}", "2:"},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.name);
        writeFile(QStringLiteral("d.json"), row.json);
        const ToolRun run = render(make);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.errors.startsWith(path("d.json") + ": " + row.errors))
            << run.errors.toStdString();
        EXPECT_EQ(run.errors.count(QLatin1Char('\n')), 1);
    }
}

TEST_F(RenderToolTest, BatchGoesOnPastAFailureAndFormatsAgree) {
    const Document::WorkLines lines{"Arial,12,255,1,0,0,0", "4", "5,5,,,0", "40,20,,,41"};
    QStringList works;
    for (const char* name : {"a.ptn", "b.ptn", "c.ptn", "d.ptn"})
        works << writeWork(QString::fromLatin1(name), gradient(80, 60), lines);
    const QString broken = writeFile(QStringLiteral("broken.ptn"), "not a work file");
    const QString dir = path(QStringLiteral("out"));

    const ToolRun bmp = render(QStringList{QStringLiteral("--out-dir"), dir} + works);
    ASSERT_EQ(bmp.exitCode, 0) << bmp.errors.toStdString();
    const ToolRun png =
        render(QStringList{QStringLiteral("--out-dir"), dir, QStringLiteral("--format"),
                           QStringLiteral("png"), broken} +
               works);
    EXPECT_EQ(png.exitCode, 1);
    EXPECT_EQ(png.errors,
              broken + ": ストリームからの読み込みエラー ファイルの読み込みに失敗しました。\n");
    for (const char* name : {"a", "b", "c", "d"}) {
        SCOPED_TRACE(name);
        const QImage fromPng(dir + "/" + name + ".png");
        const QImage fromBmp = Platform::Bmp::readFile(dir + "/" + name + ".bmp")
                                   .toQImage()
                                   .convertToFormat(fromPng.format());
        ASSERT_FALSE(fromPng.isNull());
        EXPECT_EQ(fromPng, fromBmp);
    }
    EXPECT_FALSE(QFileInfo::exists(dir + "/broken.png"));

    // Standard output carries the same BMP bytes, and nothing else reaches it.
    const ToolRun piped = render({works[0], QStringLiteral("-")});
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.errors, QString());
    QFile file(dir + "/a.bmp");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(piped.output, file.readAll());
}
