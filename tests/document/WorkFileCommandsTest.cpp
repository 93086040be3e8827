// The work-file commands on the real window: saving, reopening, the unsaved-work question and
// what a failed save or load leaves behind.
#include "Bmp.h"
#include "Cp932.h"
#include "WindowTestSupport.h"
#include "WorkFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <memory>

using Gui::WindowTest;

namespace {

Platform::Bitmap checker(int width, int height) {
    Platform::Bitmap b(width, height, 8);
    std::vector<QRgb> table;
    for (int i = 0; i < 256; ++i)
        table.push_back(qRgb(i, 255 - i, (i * 5) & 0xFF));
    b.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.scanLine(y)[x] = static_cast<uint8_t>((x / 3 + y) & 0xFF);
    return b;
}

class WorkFileCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        m_oldTmp = qgetenv("TMPDIR");
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("tmp"))));
        qputenv("TMPDIR", path(QStringLiteral("tmp")).toLocal8Bit());
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        EXPECT_EQ(QDir(path(QStringLiteral("tmp"))).entryList(QDir::Files), QStringList{})
            << "temporary files left behind";
        if (m_oldTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_oldTmp);
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
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Document::EncodeWorkFile(checker(30, 20), lines));
        return path(name);
    }
    QByteArray bytesOf(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    // The state every failed load must leave: no document, nothing to see.
    void expectNoDocument() {
        EXPECT_FALSE(window->Doc.DocumentOpen());
        EXPECT_FALSE(window->Doc.Modified());
        EXPECT_TRUE(window->Doc.Map().empty());
        EXPECT_EQ(window->Doc.Map().SelectedKey, Markers::NoKey);
        EXPECT_EQ(window->PBMain->size(), QSize(0, 0));
        for (int i = 0; i < TFrmFR0010MN::PanelCount; ++i)
            EXPECT_EQ(window->StatusText(i).trimmed(), QString()) << i;
        EXPECT_FALSE(window->MnuWorkSave->isEnabled());
        EXPECT_FALSE(window->SpbFont->isEnabled());
        EXPECT_TRUE(window->MnuOpen->isEnabled());
        EXPECT_TRUE(window->MnuWorkOpen->isEnabled());
    }

private:
    QByteArray m_oldTmp;
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
    window->Doc.SetExportFileName(path(QStringLiteral("export.bmp")));

    const QString file = path(QStringLiteral("work.ptn"));
    QString offered;
    Gui::answerFileDialog(file, &offered);
    window->SpbWorkSave->click();  // no name yet: asks for one

    EXPECT_EQ(offered, QStringLiteral("新規.ptn"));
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0).trimmed(), QString());
    EXPECT_EQ(window->Doc.WorkSaveFileName(), file);
    EXPECT_TRUE(window->Doc.WorkOpenFileName().isEmpty());
    EXPECT_EQ(window->Doc.ExportFileName(), path(QStringLiteral("export.bmp")));
    const std::string text = Document::DecodeWorkFile(bytesOf(file)).Lines.at(0);
    EXPECT_EQ(text, Platform::Cp932::fromUnicode(
                        QStringLiteral("\"ＭＳ ゴシック\",14,16711680,1,0,0,0")));

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
    ASSERT_EQ(window->Doc.Map().size(), 2u);
    EXPECT_EQ(*window->Doc.Map().MarkerOf(4), Markers::MakeMarker(10, 12));
    EXPECT_EQ(*window->Doc.Map().MarkerOf(0), (Markers::TRect{-20, 70, 12, 102}));
    EXPECT_EQ(window->Doc.Map().SelectedKey, Markers::NoKey);
    EXPECT_EQ(window->Doc.WorkSaveFileName(), file);
    EXPECT_EQ(window->Doc.WorkOpenFileName(), file);
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());
    EXPECT_EQ(window->StatusText(1), QStringLiteral(" W 120 × H 80"));
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->PBMain->size(), QSize(120, 80));
    EXPECT_FALSE(window->MnuOpen->isEnabled());
    EXPECT_TRUE(window->MnuWorkSaveAs->isEnabled());
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->bitsPerPixel(), 8);
    EXPECT_EQ(window->Doc.Compositor().SourceBitmap()->pixel(50, 30), checker(120, 80).pixel(50, 30));

    // The screen shows what a compositor with the file's look draws: the blue font chose the
    // blue glyph set, which the black set would not match.
    auto composed = [&](int32_t glyphColor) {
        auto c = std::make_unique<Markers::Compositor>();
        c->LoadGlyphs(QStringLiteral("BLACK"), Markers::kOliveRgb);
        c->CreateBitmaps();
        c->SetSourceBitmap(checker(120, 80));
        c->SetMarkerFont(font);
        c->SetMarkerColor(glyphColor);
        c->SetBackgroundStyle(Markers::StyleCircle1);
        c->ComposeCanvas(window->Doc.Map());
        return c->CanvasBitmap()->toQImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage shown =
        window->PBMain->grab(QRect(0, 0, 120, 80)).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, composed(font.Color));
    EXPECT_NE(shown, composed(Markers::clWindowText));

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
    EXPECT_EQ(
        Document::ReadWorkDocument(Document::DecodeWorkFile(bytesOf(file)).Lines).Markers.size(),
        3u);

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
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_TRUE(window->Doc.Map().empty());
    EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), Markers::StyleBox1);
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
    EXPECT_EQ(bytesOf(file), QByteArray("earlier work"));
    EXPECT_TRUE(window->Doc.Modified());
    EXPECT_EQ(window->StatusText(0), QStringLiteral(" 変更"));
    EXPECT_EQ(window->Doc.WorkSaveFileName(), file);
}

TEST_F(WorkFileCommandsTest, LoadThatCannotReadTheFileLeavesNoDocumentAndTheOldSettings) {
    openDocument();
    window->Doc.MarkClean();
    window->Doc.SetWorkSaveFileName(path(QStringLiteral("before.ptn")));
    window->Doc.SetWorkOpenFileName(path(QStringLiteral("before-open.ptn")));
    const Markers::MarkerFont fontBefore = window->Doc.Compositor().Font();

    // The header promises more text than the file holds.
    QByteArray bytes = Document::EncodeWorkFile(checker(4, 4), {"Arial,9,255,1,1,1,1", "4"});
    qToLittleEndian<int32_t>(1000000, bytes.data());
    const QString file = path(QStringLiteral("short.ptn"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString first, second;
    Gui::answerFileDialog(file);
    Gui::answerMessage(QStringLiteral("OK"), &first);
    Gui::answerMessage(QStringLiteral("OK"), &second);
    window->MnuWorkOpen->trigger();

    EXPECT_EQ(first.trimmed(), QStringLiteral("ストリームからの読み込みエラー"));
    EXPECT_EQ(second.trimmed(), QStringLiteral("ファイルの読み込みに失敗しました。"));
    expectNoDocument();
    EXPECT_EQ(window->Doc.WorkSaveFileName(), path(QStringLiteral("before.ptn")));
    EXPECT_EQ(window->Doc.WorkOpenFileName(), path(QStringLiteral("before-open.ptn")));
    EXPECT_EQ(window->Doc.Compositor().Font(), fontBefore);
    EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), Markers::StyleButton);
}

TEST_F(WorkFileCommandsTest, LoadWithABadKeyEndsWithOneMessageAndNoDocument) {
    const QString file = writeWork(QStringLiteral("badkey.ptn"),
                                   {"Arial,10,255,0,0,0,0", "3", "1,2,,,7", "5,5,,,seven"});
    QString message;
    Gui::answerFileDialog(file);
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->MnuWorkOpen->trigger();

    EXPECT_EQ(message.trimmed(), QStringLiteral("'seven' は整数ではありません"));
    expectNoDocument();
    EXPECT_TRUE(window->Doc.WorkSaveFileName().isEmpty());
    EXPECT_TRUE(window->Doc.WorkOpenFileName().isEmpty());
    // Font and style came before the failing line and stay as the window's settings.
    EXPECT_EQ(window->Doc.Compositor().Font().Name, QStringLiteral("Arial"));
    EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), Markers::StyleBox2);
    EXPECT_TRUE(window->MnuBox2->isChecked());

    // A missing style line names its index.
    const QString noStyle = writeWork(QStringLiteral("nostyle.ptn"), {"Arial,10,255,0,0,0,0"});
    Gui::answerFileDialog(noStyle);
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->MnuWorkOpen->trigger();
    EXPECT_EQ(message.trimmed(), QStringLiteral("リストのインデックスが範囲を超えています (1)"));
    expectNoDocument();
}

TEST_F(WorkFileCommandsTest, LoadKeepsTheFirstOfADuplicateKeyAndMendsTheStyle) {
    const QString file =
        writeWork(QStringLiteral("dup.ptn"),
                  {"Arial,10,0,0,0,0,0", "17", "40,40,,,3", "0,0,,,3", "1,1,,,250", "abc,,,,2"});
    Gui::answerFileDialog(file);
    window->MnuWorkOpen->trigger();
    ASSERT_TRUE(window->Doc.DocumentOpen());
    EXPECT_FALSE(window->Doc.Modified());
    EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), Markers::StyleButton);
    EXPECT_TRUE(window->SpbButton->isChecked());
    EXPECT_TRUE(window->MnuButton->isChecked());
    ASSERT_EQ(window->Doc.Map().size(), 3u);
    EXPECT_EQ(*window->Doc.Map().MarkerOf(3), Markers::MakeMarker(40, 40));
    EXPECT_EQ(*window->Doc.Map().MarkerOf(250), Markers::MakeMarker(1, 1));
    EXPECT_EQ(*window->Doc.Map().MarkerOf(2), Markers::MakeMarker(0, 0));

    // Saved straight back: key order, no duplicate, defaults filled in, style 1.
    window->MnuWorkSave->trigger();
    EXPECT_EQ(Document::DecodeWorkFile(bytesOf(file)).Lines,
              (Document::WorkLines{"Arial,10,0,0,0,0,0", "1", "0,0,32,32,2", "40,40,72,72,3",
                                   "1,1,33,33,250"}));
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
