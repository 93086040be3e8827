// The command line: its parsing, the program answering --help and --version without a display,
// and the window opening the FILE it was given.
#include "Bmp.h"
#include "CommandLine.h"
#include "WindowTestSupport.h"

#include <QProcess>
#include <QRegularExpression>

using App::CommandLine;
using Action = App::CommandLine::Action;

namespace {

TEST(ParseCommandLine, ActionsFilesAndMistakes) {
    const struct {
        QStringList words;
        Action action;
        QString file;
        QString error;
    } rows[] = {
        {{}, Action::Run, {}, {}},
        {{"work.ptn"}, Action::Run, "work.ptn", {}},
        {{"--help"}, Action::Help, {}, {}},
        {{"-h", "a.bmp"}, Action::Help, {}, {}},
        {{"a.bmp", "--version"}, Action::Version, {}, {}},
        {{"-v"}, Action::Version, {}, {}},
        {{"--bogus", "--help"}, Action::Help, {}, {}},
        {{"--bogus"}, Action::UsageError, {}, "unrecognized option '--bogus'"},
        {{"a.png", "b.png"}, Action::UsageError, {}, "more than one FILE given"},
        {{"--", "--help"}, Action::Run, "--help", {}},
        {{"-"}, Action::Run, "-", {}},
    };
    for (const auto& row : rows) {
        const CommandLine parsed =
            App::ParseCommandLine(QStringList{QStringLiteral("pictanote")} + row.words);
        const std::string trace = row.words.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(parsed.action, row.action) << trace;
        EXPECT_EQ(parsed.file, row.file) << trace;
        EXPECT_EQ(parsed.error, row.error) << trace;
    }
}

// The program itself, with no display to open: what it prints, where, and how it ends.
TEST(ProgramCommandLine, AnswersWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    const struct {
        const char* word;
        int exitCode;
        QString out;  // a pattern
        QString err;
    } rows[] = {
        {"--help", 0, "^Usage: pictanote \\[OPTION\\] \\[FILE\\]\n", "^$"},
        {"--version", 0, "^Pictanote \\d+\\.\\d+\\.\\d+\\.\\d+\n$", "^$"},
        {"--bogus", 2, "^$", "^pictanote: unrecognized option '--bogus'\n"},
    };
    for (const auto& row : rows) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(PICTANOTE_PROGRAM_FILE), {QString::fromLatin1(row.word)});
        ASSERT_TRUE(program.waitForFinished(30000)) << row.word;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << row.word;
        EXPECT_EQ(program.exitCode(), row.exitCode) << row.word;
        // Lines end in CR LF on a Windows console.
        const QString out =
            QString::fromLocal8Bit(program.readAllStandardOutput()).remove(QLatin1Char('\r'));
        const QString err =
            QString::fromLocal8Bit(program.readAllStandardError()).remove(QLatin1Char('\r'));
        EXPECT_TRUE(QRegularExpression(row.out).match(out).hasMatch()) << out.toStdString();
        EXPECT_TRUE(QRegularExpression(row.err).match(err).hasMatch()) << err.toStdString();
    }
}

class OpenFromCommandLineTest : public Gui::WindowTest {
protected:
    QString writeBmp(const QString& name) {
        Platform::Bitmap bitmap(40, 30, 8);
        bitmap.setColorTable({qRgb(0, 0, 0), qRgb(10, 200, 30)});
        Platform::Bmp::writeFile(bitmap, path(name));
        return path(name);
    }
};

TEST_F(OpenFromCommandLineTest, ImagesAndWorkFilesOpenAsTheirCommandsOpenThem) {
    window->OpenFromCommandLine(writeBmp(QStringLiteral("source.bmp")));
    ASSERT_TRUE(window->Doc.DocumentOpen());
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->bitsPerPixel(), 8);
    EXPECT_EQ(window->PBMain->size(), QSize(40, 30));
    window->Doc.Map().InsertMarker(4, Markers::MakeMarker(3, 2));
    const QString work = path(QStringLiteral("notes.PTN"));
    ASSERT_TRUE(window->SaveWork(work));

    window->MnuNewClick();
    QImage png(6, 4, QImage::Format_RGB32);
    png.fill(qRgb(12, 34, 56));
    ASSERT_TRUE(png.save(path(QStringLiteral("shot.png"))));
    window->OpenFromCommandLine(path(QStringLiteral("shot.png")));
    ASSERT_TRUE(window->Doc.DocumentOpen());
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->pixel(5, 3), qRgb(12, 34, 56));
    EXPECT_EQ(window->PBMain->size(), QSize(6, 4));

    window->MnuNewClick();
    window->OpenFromCommandLine(work);
    ASSERT_TRUE(window->Doc.DocumentOpen());
    ASSERT_NE(window->Doc.Map().MarkerOf(4), nullptr);
    EXPECT_EQ(*window->Doc.Map().MarkerOf(4), Markers::MakeMarker(3, 2));
    EXPECT_EQ(window->Doc.WorkSaveFileName(), work);
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->bitsPerPixel(), 8);
}

TEST_F(OpenFromCommandLineTest, FailuresShowTheCommandsMessagesAndLeaveTheEmptyWindow) {
    const QString missing = path(QStringLiteral("absent.png"));
    const QString garbage = path(QStringLiteral("garbage.jpg"));
    QFile(garbage).open(QIODevice::WriteOnly);  // empty: no reader takes it
    const QString missingWork = path(QStringLiteral("absent.ptn"));
    const struct {
        QString file;
        QStringList messages;
    } rows[] = {
        {missing, {QStringLiteral("ファイル %1 は開けません").arg(missing)}},
        {garbage, {QStringLiteral("ビットマップイメージが不正です")}},
        {missingWork,
         {QStringLiteral("ファイル %1 は開けません").arg(missingWork),
          QStringLiteral("ファイルの読み込みに失敗しました。")}},
    };
    for (const auto& row : rows) {
        std::vector<QString> shown(row.messages.size());
        for (QString& text : shown)
            Gui::answerMessage(QStringLiteral("OK"), &text);
        window->OpenFromCommandLine(row.file);
        for (qsizetype i = 0; i < row.messages.size(); ++i)
            EXPECT_TRUE(shown[i].contains(row.messages[i])) << shown[i].toStdString();
        EXPECT_FALSE(window->Doc.DocumentOpen());
        EXPECT_EQ(window->PBMain->size(), QSize(0, 0));
    }
}

}  // namespace
