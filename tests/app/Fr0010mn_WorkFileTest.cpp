// The work-file commands wired through the window: the dialogs and the names they offer, the
// unsaved-work and overwrite questions, the messages in order and what the screen shows. What
// saving and loading do to the document lives in SessionFilesTest.
#include "Bmp.h"
#include "WindowTestSupport.h"
#include "WorkFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <memory>

using Gui::WindowTest;

namespace {

using TestSupport::checker;

class WorkFileCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        m_tempFiles = std::make_unique<TestSupport::TempFilesIn>(path(QStringLiteral("tmp")));
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        m_tempFiles.reset();
    }

    // A document from a bitmap file, with two markers and an unsaved change.
    void openDocument() {
        const QString source = path(QStringLiteral("source.bmp"));
        Platform::Bmp::writeFile(checker(120, 80), source);
        Gui::answerFileDialog(source);
        window->MnuOpen->trigger();
        ASSERT_TRUE(window->Doc.DocumentOpen());
        window->Doc.Map().InsertMarker(4, Markers::MakeMarker(10, 12));
        window->Doc.Map().InsertMarker(0, {-20, 70, 12, 102});
        makeModified();
    }
    QString writeWork(const QString& name, const Document::WorkLines& lines) {
        return writeFile(name, Document::EncodeWorkFile(checker(30, 20), lines));
    }
    static QByteArray bytesOf(const QString& file) { return TestSupport::bytesOf(file); }
    // What the screen shows after a failed load: no document, nothing to see.
    void expectNoDocumentShown() {
        EXPECT_FALSE(window->Doc.DocumentOpen());
        EXPECT_EQ(window->PBMain->size(), QSize(0, 0));
        for (int i = 0; i < TFrmFR0010MN::PanelCount; ++i)
            EXPECT_EQ(window->StatusText(i).trimmed(), QString()) << i;
        EXPECT_FALSE(window->MnuWorkSave->isEnabled());
        EXPECT_FALSE(window->SpbFont->isEnabled());
        EXPECT_TRUE(window->MnuOpen->isEnabled());
        EXPECT_TRUE(window->MnuWorkOpen->isEnabled());
    }

private:
    std::unique_ptr<TestSupport::TempFilesIn> m_tempFiles;
};

}  // namespace

TEST_F(WorkFileCommandsTest, SavedDocumentReopensWithImageFontStyleAndMarkers) {
    openDocument();
    EXPECT_EQ(window->WorkSaveDialog->defaultSuffix(), QStringLiteral("ptn"));
    EXPECT_EQ(window->WorkSaveDialog->nameFilters(),
              QStringList{QStringLiteral("Pictanoteﾌｧｲﾙ(*.ptn)")});
    EXPECT_EQ(window->WorkOpenDialog->nameFilters(),
              QStringList{QStringLiteral("Pictanoteﾌｧｲﾙ(*.ptn)")});
    Markers::MarkerFont font;
    font.Size = 14;
    font.Bold = true;
    font.Color = Markers::ColorValue(0, 0, 255);
    window->Doc.ApplyFont(font);
    window->Doc.ApplyStyle(Markers::StyleCircle1);

    const QString file = path(QStringLiteral("work.ptn"));
    QString offered;
    Gui::answerFileDialog(file, &offered);
    window->SpbWorkSave->click();  // no name yet: asks for one

    EXPECT_EQ(offered, QStringLiteral("新規.ptn"));
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0).trimmed(), QString());

    // Another document and the starting look, then the work file again.
    window->MnuNew->trigger();
    window->Doc.ApplyFont(Markers::MarkerFont{});
    window->Doc.ApplyStyle(Markers::StyleButton);
    Gui::answerFileDialog(file);
    window->MnuWorkOpen->trigger();

    ASSERT_TRUE(window->Doc.DocumentOpen());
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->Doc.Compositor().Font(), font);
    EXPECT_EQ(window->LblDummy->font().pixelSize(), font.PixelHeight());
    EXPECT_TRUE(window->LblDummy->font().bold());
    EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), Markers::StyleCircle1);
    EXPECT_TRUE(window->SpbCircle1->isChecked());
    EXPECT_FALSE(window->SpbButton->isChecked());
    EXPECT_TRUE(window->MnuCircle1->isChecked());
    EXPECT_FALSE(window->MnuButton->isChecked());
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 120 × H 80"));
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->PBMain->size(), QSize(120, 80));
    EXPECT_FALSE(window->MnuOpen->isEnabled());
    EXPECT_TRUE(window->MnuWorkSaveAs->isEnabled());

    // The screen shows the document in the file's look.
    const QImage shown =
        window->PBMain->grab(QRect(0, 0, 120, 80)).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, TestSupport::referenceCanvas(window->Doc));

    // Closing asks nothing: the loaded document has no changes.
    EXPECT_TRUE(window->close());
}

TEST_F(WorkFileCommandsTest, SaveWithARememberedNameAsksNothingAndSaveAsOffersIt) {
    openDocument();
    const QString file = path(QStringLiteral("first.ptn"));
    Gui::answerFileDialog(file);
    window->MnuWorkSaveAs->trigger();
    ASSERT_EQ(window->Doc.WorkSaveFileName(), file);

    window->Doc.Map().InsertMarker(9, Markers::MakeMarker(1, 1));
    makeModified();
    window->MnuWorkSave->trigger();  // no dialog: the watchdog would fail the test
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0).trimmed(), QString());

    QString offered;
    Gui::answerFileDialog(QString(), &offered);  // cancelled: nothing changes
    makeModified();
    window->MnuWorkSaveAs->trigger();
    EXPECT_EQ(offered, QStringLiteral("first.ptn"));
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->Doc.WorkSaveFileName(), file);

    // Without a document the save commands do nothing.
    window->Doc.MarkClean();
    window->MnuNew->trigger();
    window->MnuWorkSave->trigger();
    window->MnuWorkSaveAs->trigger();
}

TEST_F(WorkFileCommandsTest, UnsavedWorkIsKeptUnlessTheAnswerIsYes) {
    openDocument();
    const QString other = writeWork(QStringLiteral("other.ptn"), {"Arial,12,0,0,0,0,0", "2"});

    QString question;
    Gui::answerMessage(QStringLiteral("いいえ"), &question);
    window->MnuWorkOpen->trigger();
    EXPECT_EQ(question.trimmed(),
              QStringLiteral("作業は保存されていません。\r\n\r\n破棄してもよろしいですか？"));
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->Doc.Map().size(), 2u);

    // Yes, then a cancelled dialog: still nothing changes.
    Gui::answerMessage(QStringLiteral("はい"));
    Gui::answerFileDialog(QString());
    window->MnuWorkOpen->trigger();
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_TRUE(window->Doc.DocumentOpen());
    EXPECT_EQ(window->Doc.Map().size(), 2u);

    // Yes and a file: the file's document.
    Gui::answerMessage(QStringLiteral("はい"));
    Gui::answerFileDialog(other);
    window->MnuWorkOpen->trigger();
    EXPECT_TRUE(window->Doc.DocumentOpen());
    EXPECT_EQ(window->StatusText(0).trimmed(), QString());
    EXPECT_TRUE(window->SpbBox1->isChecked());

    // The next open offers the file opened last.
    QString offered;
    Gui::answerFileDialog(QString(), &offered);
    window->MnuWorkOpen->trigger();
    EXPECT_EQ(offered, QStringLiteral("other.ptn"));
}

TEST_F(WorkFileCommandsTest, FailedSaveReportsTwiceAndKeepsTheOldFile) {
    openDocument();
    const QString file = path(QStringLiteral("locked.ptn"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier work");
    }
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    window->Doc.SetWorkSaveFileName(file);

    QString first, second;
    Gui::answerMessage(QStringLiteral("OK"), &first);
    Gui::answerMessage(QStringLiteral("OK"), &second);
    window->MnuWorkSave->trigger();

    EXPECT_EQ(first.trimmed(), QStringLiteral("ファイル %1 を作成できません").arg(file));
    EXPECT_EQ(second.trimmed(), QStringLiteral("ファイルの保存に失敗しました。"));
    EXPECT_EQ(window->StatusText(0), QStringLiteral(" 変更"));
}

TEST_F(WorkFileCommandsTest, FailedLoadShowsBothMessagesAndNoDocument) {
    openDocument();
    window->Doc.MarkClean();
    // The header promises more text than the file holds.
    QByteArray bytes = Document::EncodeWorkFile(checker(4, 4), {"Arial,9,255,1,1,1,1", "4"});
    qToLittleEndian<int32_t>(1000000, bytes.data());
    const QString file = writeFile(QStringLiteral("short.ptn"), bytes);
    QString first, second;
    Gui::answerFileDialog(file);
    Gui::answerMessage(QStringLiteral("OK"), &first);
    Gui::answerMessage(QStringLiteral("OK"), &second);
    window->MnuWorkOpen->trigger();

    EXPECT_EQ(first.trimmed(), QStringLiteral("ストリームからの読み込みエラー"));
    EXPECT_EQ(second.trimmed(), QStringLiteral("ファイルの読み込みに失敗しました。"));
    expectNoDocumentShown();

    // A broken file's style, read before its failure, is shown as the setting.
    const QString badKey = writeWork(QStringLiteral("badkey.ptn"),
                                     {"Arial,10,255,0,0,0,0", "3", "1,2,,,7", "5,5,,,seven"});
    QString message;
    Gui::answerFileDialog(badKey);
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->MnuWorkOpen->trigger();
    EXPECT_EQ(message.trimmed(), QStringLiteral("'seven' は整数ではありません"));
    expectNoDocumentShown();
    EXPECT_TRUE(window->MnuBox2->isChecked());
}

TEST_F(WorkFileCommandsTest, SaveAsOverAnExistingFileAsksFirst) {
    openDocument();
    const QString file = path(QStringLiteral("there.ptn"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier work");
    }
    // Declined: the dialog comes back and is cancelled; the file and the state stay.
    Gui::answerFileDialog(file);
    Gui::whenModal<QMessageBox>([](QMessageBox* box) {
        Gui::whenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
        box->button(QMessageBox::No)->click();
    });
    window->MnuWorkSaveAs->trigger();
    EXPECT_EQ(bytesOf(file), QByteArray("earlier work"));
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_TRUE(window->Doc.WorkSaveFileName().isEmpty());

    // Confirmed: replaced by the work file.
    Gui::answerFileDialog(file);
    Gui::whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    window->MnuWorkSaveAs->trigger();
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(
        Document::ReadWorkDocument(Document::DecodeWorkFile(bytesOf(file)).Lines).Markers.size(),
        2u);
}
