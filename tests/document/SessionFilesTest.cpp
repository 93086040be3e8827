// The document's file operations without a window: what opening, pasting, starting anew,
// loading and saving a work file and exporting leave behind, and the messages of each failure
// in the order the user sees them.
#include "AddressSpaceLimit.h"
#include "AtomicFile.h"
#include "Bmp.h"
#include "Cp932.h"
#include "ReferenceRender.h"
#include "SessionTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QtEndian>

using Document::Change;
using TestSupport::checker;
using TestSupport::fourBit;
using TestSupport::gradient;

namespace {

const Document::Changes kNewDocument =
    Change::Reset | Change::ImageSize | Change::OpenState | Change::Canvas | Change::Palette;

class SessionFilesTest : public TestSupport::SessionTest {
protected:
    // A document with two markers (one over the edge), a selection and unsaved work, and every
    // file name set.
    void openWithMarkers(Platform::Bitmap image = checker(120, 80)) {
        open(std::move(image));
        put(4, 10, 12);
        ASSERT_TRUE(doc.Map().InsertMarker(0, {-20, 70, 12, 102}));
        doc.Map().SelectedKey = 4;
        makeModified();
        nameEverything();
    }
    void nameEverything() {
        doc.SetWorkSaveFileName(QStringLiteral("save.ptn"));
        doc.SetWorkOpenFileName(QStringLiteral("open.ptn"));
        doc.SetExportFileName(QStringLiteral("export.bmp"));
    }
    void expectNoNames() {
        EXPECT_TRUE(doc.WorkSaveFileName().isEmpty());
        EXPECT_TRUE(doc.WorkOpenFileName().isEmpty());
        EXPECT_TRUE(doc.ExportFileName().isEmpty());
    }
    // The state every failed open must leave: no document, nothing to see or to undo.
    void expectNoDocument() {
        EXPECT_FALSE(doc.DocumentOpen());
        EXPECT_FALSE(doc.Modified());
        EXPECT_FALSE(doc.CanUndo());
        EXPECT_TRUE(doc.Map().empty());
        EXPECT_EQ(doc.Map().SelectedKey, Markers::NoKey);
        EXPECT_EQ(doc.ImageWidth(), 0);
        EXPECT_EQ(doc.ImageHeight(), 0);
        EXPECT_EQ(announced() & kNewDocument, kNewDocument);
    }
};

// ---- Source images ----

TEST_F(SessionFilesTest, OpeningABitmapStartsACleanDocumentWithoutNames) {
    openWithMarkers();
    const QString file = writeBitmap(QStringLiteral("photo.bmp"), gradient(640, 480));

    EXPECT_TRUE(doc.OpenBitmap(file).Ok());

    EXPECT_TRUE(doc.DocumentOpen());
    EXPECT_FALSE(doc.Modified());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.Map().empty());
    expectNoNames();
    EXPECT_EQ(doc.ImageWidth(), 640);
    EXPECT_EQ(doc.ImageHeight(), 480);
    EXPECT_EQ(doc.Compositor().CanvasBitmap()->width(), 640);
    EXPECT_EQ(doc.Compositor().CanvasBitmap()->height(), 480);
    EXPECT_EQ(doc.SourceBitmap()->pixel(10, 20), qRgb(200, 20, 10));
    EXPECT_EQ(doc.ScreenImage()->toQImage().pixelColor(63, 5), QColor(200, 5, 63));
    EXPECT_EQ(announced() & kNewDocument, kNewDocument);
}

TEST_F(SessionFilesTest, FailedOpensReportWhyAndLeaveNoDocument) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;
    } rows[] = {
        {"not a bitmap", QByteArray("hello, this is no bitmap at all"),
         QStringLiteral("ビットマップイメージが不正です")},
        {"cut short", Platform::Bmp::encode(gradient(64, 64)).left(200),
         QStringLiteral("ストリームからの読み込みエラー")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        openWithMarkers();
        changes->clear();
        const QString file = writeFile(QString::fromLatin1(row.name), row.bytes);
        EXPECT_EQ(doc.OpenBitmap(file).Errors, QStringList{row.message});
        expectNoDocument();
        expectNoNames();
    }
    // A file that is not there names itself.
    const QString missing = path(QStringLiteral("missing.bmp"));
    EXPECT_EQ(doc.OpenBitmap(missing).Errors,
              QStringList{QStringLiteral("ファイル %1 は開けません").arg(missing)});
}

TEST_F(SessionFilesTest, PastedImageKeepsItsDepthAndOutlivesTheClipboard) {
    nameEverything();
    QImage image(300, 200, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(10, 20, 30), qRgb(250, 0, 0)});
    image.fill(1);
    image.setPixel(5, 6, 2);
    auto data = std::make_unique<QMimeData>();
    data->setImageData(image);

    EXPECT_TRUE(doc.Paste(data.get()).Ok());
    data.reset();

    ASSERT_TRUE(doc.DocumentOpen());
    EXPECT_FALSE(doc.Modified());
    expectNoNames();
    EXPECT_EQ(doc.SourceBitmap()->bitsPerPixel(), 8);
    EXPECT_EQ(doc.SourceBitmap()->pixel(5, 6), qRgb(250, 0, 0));
    EXPECT_EQ(doc.SourceBitmap()->pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(doc.ImageWidth(), 300);
    EXPECT_EQ(doc.ImageHeight(), 200);
}

TEST_F(SessionFilesTest, PasteWithoutAnImageLetsTheOldDocumentGoFirst) {
    const struct {
        const char* name;
        bool text;
        QString message;
    } rows[] = {
        {"text only", true, QStringLiteral("未対応のクリップボード データです")},
        {"clipboard unreadable", false, QStringLiteral("クリップボードを開くことができません")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        openWithMarkers();
        changes->clear();
        QMimeData text;
        text.setText(QStringLiteral("just words"));
        EXPECT_EQ(doc.Paste(row.text ? &text : nullptr).Errors, QStringList{row.message});
        expectNoDocument();
        expectNoNames();
    }
}

// An image on the clipboard that cannot be brought into the program's own form for want of
// memory is reported, and no document of nothing is opened in its place.
TEST_F(SessionFilesTest, PastedImageThatDoesNotFitInMemoryLeavesNoDocument) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    // Premultiplied alpha is converted before it is taken: 128 MB more.
    QImage image(8000, 4000, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(10, 20, 30, 255));
    QMimeData data;
    data.setImageData(image);
    image = QImage();
    Document::Result result;
    {
        const TestSupport::AddressSpaceLimit limit(48 << 20);
        PICTANOTE_REQUIRE_LIMIT(limit);
        result = doc.Paste(&data);
    }
    EXPECT_EQ(result.Errors, QStringList{QStringLiteral("メモリが不足しています")});
    expectNoDocument();
#endif
}

TEST_F(SessionFilesTest, NewEndsTheDocumentAndKeepsTheAppearance) {
    openWithMarkers();
    Markers::MarkerFont font;
    font.Color = Markers::ColorValue(0, 0, 255);
    font.Size = 9;
    ASSERT_TRUE(doc.SetFont(font).Ok());
    ASSERT_TRUE(doc.SetStyle(Markers::StyleBox2));
    changes->clear();

    doc.New();

    EXPECT_FALSE(doc.DocumentOpen());
    EXPECT_FALSE(doc.Modified());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.Map().empty());
    expectNoNames();
    EXPECT_EQ(doc.ImageWidth(), 0);
    EXPECT_EQ(doc.Font(), font);
    EXPECT_EQ(doc.BackgroundStyle(), Markers::StyleBox2);
    EXPECT_EQ(announced() & kNewDocument, kNewDocument);

    // The next document starts with them, and draws with the blue glyphs.
    open();
    put(0, 50, 50);
    doc.Repaint();
    EXPECT_EQ(doc.Font(), font);
    EXPECT_EQ(doc.BackgroundStyle(), Markers::StyleBox2);
    EXPECT_EQ(doc.ScreenImage()->toQImage().convertToFormat(QImage::Format_RGB32),
              TestSupport::referenceCanvas(doc));
}

// ---- Work files ----

TEST_F(SessionFilesTest, SavedWorkReopensWithImageFontStyleAndMarkers) {
    openWithMarkers();
    Markers::MarkerFont font;
    font.Size = 14;
    font.Bold = true;
    font.Color = Markers::ColorValue(0, 0, 255);
    doc.ApplyFont(font);
    doc.ApplyStyle(Markers::StyleCircle1);
    doc.SetWorkSaveFileName(QString());
    doc.SetWorkOpenFileName(QString());
    const QString file = path(QStringLiteral("work.ptn"));

    EXPECT_TRUE(doc.SaveWorkFile(file).Ok());

    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(announced() & Change::Modified);
    EXPECT_EQ(doc.WorkSaveFileName(), file);
    EXPECT_TRUE(doc.WorkOpenFileName().isEmpty());
    EXPECT_EQ(doc.ExportFileName(), QStringLiteral("export.bmp"));
    EXPECT_EQ(
        Document::DecodeWorkFile(TestSupport::bytesOf(file)).Lines.at(0),
        Platform::Cp932::fromUnicode(QStringLiteral("\"ＭＳ ゴシック\",14,16711680,1,0,0,0")));

    // Another document and the starting look, then the work file again.
    doc.New();
    doc.ApplyFont(Markers::MarkerFont{});
    doc.ApplyStyle(Markers::StyleButton);
    doc.SetExportFileName(QStringLiteral("other.bmp"));
    changes->clear();
    EXPECT_TRUE(doc.OpenWorkFile(file).Ok());

    ASSERT_TRUE(doc.DocumentOpen());
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.Font(), font);
    EXPECT_EQ(doc.BackgroundStyle(), Markers::StyleCircle1);
    EXPECT_EQ(announced() & (kNewDocument | Change::Appearance), kNewDocument | Change::Appearance);
    ASSERT_EQ(doc.Map().size(), 2u);
    EXPECT_EQ(*doc.Map().MarkerOf(4), Markers::MakeMarker(10, 12));
    EXPECT_EQ(*doc.Map().MarkerOf(0), (Markers::TRect{-20, 70, 12, 102}));
    EXPECT_EQ(doc.Map().SelectedKey, Markers::NoKey);
    EXPECT_EQ(doc.WorkSaveFileName(), file);
    EXPECT_EQ(doc.WorkOpenFileName(), file);
    EXPECT_TRUE(doc.ExportFileName().isEmpty());
    EXPECT_EQ(doc.SourceBitmap()->bitsPerPixel(), 8);
    EXPECT_EQ(doc.SourceBitmap()->pixel(50, 30), checker(120, 80).pixel(50, 30));

    // The blue font chose the blue glyph set, which the black set would not match.
    const QImage shown = doc.ScreenImage()->toQImage().convertToFormat(QImage::Format_RGB32);
    TestSupport::Look look{font, font.Color, Markers::StyleCircle1};
    EXPECT_EQ(shown, TestSupport::referenceCanvas(checker(120, 80), doc.Map(), look));
    look.GlyphColor = Markers::clWindowText;
    EXPECT_NE(shown, TestSupport::referenceCanvas(checker(120, 80), doc.Map(), look));
}

// Names outside every ANSI code page survive each file operation (on Windows, a narrow file
// call would turn them into question marks).
TEST_F(SessionFilesTest, JapaneseFolderAndFileNamesWorkForEveryFileOperation) {
    ASSERT_TRUE(QDir(path(QString())).mkdir(QStringLiteral("作業")));
    const QString source = path(QStringLiteral("作業/元画像.bmp"));
    const QString work = path(QStringLiteral("作業/説明図.ptn"));
    const QString exported = path(QStringLiteral("作業/出力.bmp"));
    Platform::writeFileDurably(source, Platform::Bmp::encode(checker(60, 40)));

    ASSERT_TRUE(doc.OpenBitmap(source).Ok());
    put(2, 5, 6);
    EXPECT_TRUE(doc.SaveWorkFile(work).Ok());
    EXPECT_TRUE(doc.ExportBitmap(exported).Ok());
    doc.New();
    ASSERT_TRUE(doc.OpenWorkFile(work).Ok());

    EXPECT_EQ(doc.WorkOpenFileName(), work);
    EXPECT_EQ(*doc.Map().MarkerOf(2), Markers::MakeMarker(5, 6));
    QStringList written = QDir(path(QStringLiteral("作業"))).entryList(QDir::Files);
    written.sort();
    EXPECT_EQ(written, (QStringList{QStringLiteral("元画像.bmp"), QStringLiteral("出力.bmp"),
                                    QStringLiteral("説明図.ptn")}));
}

TEST_F(SessionFilesTest, SaveUnderTheRememberedNameWritesEveryMarker) {
    openWithMarkers();
    const QString file = path(QStringLiteral("first.ptn"));
    ASSERT_TRUE(doc.SaveWorkFile(file).Ok());
    ASSERT_TRUE(doc.Place(9, Markers::MakeMarker(1, 1)));
    ASSERT_TRUE(doc.Modified());

    EXPECT_TRUE(doc.SaveWorkFile(doc.WorkSaveFileName()).Ok());
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.WorkSaveFileName(), file);
    EXPECT_EQ(Document::ReadWorkDocument(Document::DecodeWorkFile(TestSupport::bytesOf(file)).Lines)
                  .Markers.size(),
              3u);
}

TEST_F(SessionFilesTest, FailedSaveReportsTwiceAndKeepsTheOldFile) {
    openWithMarkers();
    const QString file = writeFile(QStringLiteral("locked.ptn"), "earlier work");
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    doc.SetWorkSaveFileName(path(QStringLiteral("before.ptn")));

    EXPECT_EQ(doc.SaveWorkFile(file).Errors,
              (QStringList{QStringLiteral("ファイル %1 を作成できません").arg(file),
                           QStringLiteral("ファイルの保存に失敗しました。")}));
    EXPECT_EQ(TestSupport::bytesOf(file), QByteArray("earlier work"));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.WorkSaveFileName(), path(QStringLiteral("before.ptn")));
}

// A load that fails takes the old document with it; the file names stay, and so do the font
// and style unless the file gave them before its failure.
TEST_F(SessionFilesTest, FailedLoadsLeaveNoDocumentAndTheirMessagesInOrder) {
    QByteArray promisesMore = Document::EncodeWorkFile(checker(4, 4), {"Arial,9,255,1,1,1,1", "4"});
    qToLittleEndian<int32_t>(1000000, promisesMore.data());
    const QString shortFile = writeFile(QStringLiteral("short.ptn"), promisesMore);
    const QString missing = path(QStringLiteral("missing.ptn"));
    const QString badKey = writeWork(QStringLiteral("badkey.ptn"),
                                     {"Arial,10,255,0,0,0,0", "3", "1,2,,,7", "5,5,,,seven"});
    const QString noStyle = writeWork(QStringLiteral("nostyle.ptn"), {"Arial,10,255,0,0,0,0"});
    const Markers::MarkerFont startFont = doc.Font();
    const struct {
        const char* name;
        QString file;
        QStringList errors;
        bool appearanceKept;
        int32_t style;
    } rows[] = {
        {"header promises more than the file holds",
         shortFile,
         {QStringLiteral("ストリームからの読み込みエラー"),
          QStringLiteral("ファイルの読み込みに失敗しました。")},
         true,
         Markers::StyleButton},
        {"no such file",
         missing,
         {QStringLiteral("ファイル %1 は開けません").arg(missing),
          QStringLiteral("ファイルの読み込みに失敗しました。")},
         true,
         Markers::StyleButton},
        // Font and style came before the failing line and stay as the settings.
        {"bad key",
         badKey,
         {QStringLiteral("'seven' は整数ではありません")},
         false,
         Markers::StyleBox2},
        {"no style line",
         noStyle,
         {QStringLiteral("リストのインデックスが範囲を超えています (1)")},
         false,
         Markers::StyleButton},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        doc.ApplyFont(startFont);
        doc.ApplyStyle(Markers::StyleButton);
        openWithMarkers();
        changes->clear();

        EXPECT_EQ(doc.OpenWorkFile(row.file).Errors, row.errors);

        expectNoDocument();
        EXPECT_TRUE(announced() & Change::Appearance);
        EXPECT_EQ(doc.WorkSaveFileName(), QStringLiteral("save.ptn"));
        EXPECT_EQ(doc.WorkOpenFileName(), QStringLiteral("open.ptn"));
        EXPECT_EQ(doc.BackgroundStyle(), row.style);
        if (row.appearanceKept) {
            EXPECT_EQ(doc.Font(), startFont);
        } else {
            EXPECT_EQ(doc.Font().Name, QStringLiteral("Arial"));
        }
    }
}

TEST_F(SessionFilesTest, LoadKeepsTheFirstOfADuplicateKeyAndMendsTheStyle) {
    const QString file =
        writeWork(QStringLiteral("dup.ptn"),
                  {"Arial,10,0,0,0,0,0", "17", "40,40,,,3", "0,0,,,3", "1,1,,,250", "abc,,,,2"});
    ASSERT_TRUE(doc.OpenWorkFile(file).Ok());
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(doc.BackgroundStyle(), Markers::StyleButton);
    ASSERT_EQ(doc.Map().size(), 3u);
    EXPECT_EQ(*doc.Map().MarkerOf(3), Markers::MakeMarker(40, 40));
    EXPECT_EQ(*doc.Map().MarkerOf(250), Markers::MakeMarker(1, 1));
    EXPECT_EQ(*doc.Map().MarkerOf(2), Markers::MakeMarker(0, 0));

    // Saved straight back: key order, no duplicate, defaults filled in, style 1.
    ASSERT_TRUE(doc.SaveWorkFile(file).Ok());
    EXPECT_EQ(Document::DecodeWorkFile(TestSupport::bytesOf(file)).Lines,
              (Document::WorkLines{"Arial,10,0,0,0,0,0", "1", "0,0,32,32,2", "40,40,72,72,3",
                                   "1,1,33,33,250"}));
}

TEST_F(SessionFilesTest, LoadOverUnsavedWorkTakesTheFilesDocument) {
    openWithMarkers();
    const QString other = writeWork(QStringLiteral("other.ptn"), {"Arial,12,0,0,0,0,0", "2"});
    ASSERT_TRUE(doc.OpenWorkFile(other).Ok());
    EXPECT_TRUE(doc.DocumentOpen());
    EXPECT_FALSE(doc.Modified());
    EXPECT_TRUE(doc.Map().empty());
    EXPECT_EQ(doc.BackgroundStyle(), Markers::StyleBox1);
    EXPECT_EQ(doc.WorkOpenFileName(), other);
}

// ---- Export ----

TEST_F(SessionFilesTest, FourBitSourceExportsAsTwentyFourBitsWithMarkersAndNoDecorations) {
    // Opened from its file, the picture keeps its four bits.
    ASSERT_TRUE(doc.OpenBitmap(writeBitmap(QStringLiteral("source.bmp"), fourBit(90, 70))).Ok());
    ASSERT_EQ(doc.SourceBitmap()->bitsPerPixel(), 4);
    put(0, 10, 10);
    put(6, 70, 50);  // hangs over the edges
    doc.Map().SelectedKey = 0;
    doc.Map().GuideKey = 6;
    doc.Map().SelectionRect = {20, 20, 60, 40};
    makeModified();
    const QString out = path(QStringLiteral("result.bmp"));

    EXPECT_TRUE(doc.ExportBitmap(out).Ok());

    const Platform::Bitmap written = Platform::Bmp::readFile(out);
    EXPECT_EQ(written.bitsPerPixel(), 24);
    const QImage expected = TestSupport::referenceCanvas(doc, TestSupport::Pass::Export);
    EXPECT_EQ(written.toQImage().convertToFormat(QImage::Format_RGB32), expected);
    // The decorations would have shown, and a marker changes the picture.
    EXPECT_NE(expected, TestSupport::referenceCanvas(doc, TestSupport::Pass::Screen));
    EXPECT_NE(written.pixel(11, 11), Platform::Bitmap(fourBit(90, 70)).pixel(11, 11));
    // Exporting leaves the unsaved work unsaved, and the screen keeps its decorations.
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.ExportFileName(), out);
    EXPECT_EQ(doc.ScreenImage()->toQImage().convertToFormat(QImage::Format_RGB32),
              TestSupport::referenceCanvas(doc));
}

TEST_F(SessionFilesTest, FailedExportsReportAndKeepWhatWasThere) {
    open(fourBit(90, 70));
    put(0, 10, 10);
    makeModified();
    const QString nowhere = path(QStringLiteral("no/such/folder/out.bmp"));
    // A read-only file is left alone, whoever runs the program.
    const QString locked = writeFile(QStringLiteral("locked.bmp"), "keep me");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup));
    for (const QString& target : {nowhere, locked}) {
        SCOPED_TRACE(target.toStdString());
        doc.SetExportFileName(path(QStringLiteral("before.bmp")));
        EXPECT_EQ(doc.ExportBitmap(target).Errors,
                  QStringList{QStringLiteral("ファイル %1 を作成できません").arg(target)});
        EXPECT_EQ(doc.ExportFileName(), path(QStringLiteral("before.bmp")));
        EXPECT_TRUE(doc.Modified());
    }
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(TestSupport::bytesOf(locked), QByteArray("keep me"));

    // Without a document there is nothing to export.
    doc.New();
    const QString none = path(QStringLiteral("none.bmp"));
    EXPECT_FALSE(doc.ExportBitmap(none).Ok());
    EXPECT_FALSE(QFileInfo::exists(none));
}

// An export that cannot get the memory for its file is reported like any other failed export:
// the work stays unsaved but intact.
TEST_F(SessionFilesTest, ExportWithoutMemoryForTheFileIsReportedAndKeepsTheWork) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not mix with AddressSanitizer";
#else
    open(Platform::Bitmap(8000, 4000, 24));  // 96 MB, and as much again
    put(0, 10, 10);
    makeModified();
    doc.SetExportFileName(path(QStringLiteral("before.bmp")));
    // A BMP streams its rows from the canvas; a PNG needs its whole encoding in memory.
    const QString out = path(QStringLiteral("big.png"));
    Document::Result result;
    {
        const TestSupport::AddressSpaceLimit limit(48 << 20);
        PICTANOTE_REQUIRE_LIMIT(limit);
        result = doc.ExportBitmap(out);
    }
    EXPECT_EQ(result.Errors, QStringList{QStringLiteral("メモリが不足しています")});
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(doc.ExportFileName(), path(QStringLiteral("before.bmp")));
    EXPECT_TRUE(doc.Modified());
    EXPECT_EQ(doc.Map().size(), 1u);
#endif
}

}  // namespace
