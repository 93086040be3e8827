// The work file codec without a window: comma lists, lines, the reading of each line, and whole
// files written and read through the disk.
#include "Bmp.h"
#include "Compositor.h"
#include "Cp932.h"
#include "TestSupport.h"
#include "ToolkitError.h"
#include "WorkFile.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using Document::WorkLines;
using Items = std::vector<std::string>;

namespace {

std::string sjis(const QString& text) {
    return Platform::Cp932::fromUnicode(text);
}

QString messageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Platform::ToolkitError& e) {
        return e.message();
    }
    return QStringLiteral("(no failure)");
}

Platform::Bitmap stripes(int width, int height, int bpp) {
    Platform::Bitmap b(width, height, bpp);
    if (bpp <= 8) {
        std::vector<QRgb> table;
        for (int i = 0; i < (1 << bpp); ++i)
            table.push_back(qRgb(i * 7 & 0xFF, 255 - (i * 3 & 0xFF), i * 13 & 0xFF));
        b.setColorTable(table);
    }
    for (int y = 0; y < height; ++y)
        for (int64_t i = 0; i < b.stride(); ++i)
            b.scanLine(y)[i] = static_cast<uint8_t>(i * 31 + y * 7);
    return b;
}

bool samePixels(const Platform::Bitmap& a, const Platform::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.bitsPerPixel() != b.bitsPerPixel())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

QByteArray header(int32_t text, int32_t bitmap) {
    QByteArray h(8, '\0');
    qToLittleEndian<int32_t>(text, h.data());
    qToLittleEndian<int32_t>(bitmap, h.data() + 4);
    return h;
}

// ---- Comma lists ----

struct DecodeCase {
    const char* name;
    std::string line;
    Items items;
};
void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeCommaList : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeCommaList, GivesItsItems) {
    EXPECT_EQ(Document::DecodeCommaList(GetParam().line), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DecodeCommaList,
    ::testing::Values(DecodeCase{"Plain", "a,b,c", {"a", "b", "c"}},
                      DecodeCase{"QuotedFaceWithSpace",
                                 sjis(QStringLiteral("\"ＭＳ ゴシック\",12")),
                                 {sjis(QStringLiteral("ＭＳ ゴシック")), "12"}},
                      DecodeCase{"DoubledQuotes", "\"a\"\"b\",c", {"a\"b", "c"}},
                      DecodeCase{"QuotedComma", "\"x,y\",z", {"x,y", "z"}},
                      DecodeCase{"TwoCommasGiveEmptyItems", "10,20,,,5", {"10", "20", "", "", "5"}},
                      DecodeCase{"TrailingCommaGivesEmptyItem", "a,", {"a", ""}},
                      DecodeCase{"BlanksAroundItemsSkipped", "  a ,\t b  ", {"a", "b"}},
                      DecodeCase{"UnquotedSpaceEndsItem", "a b,c", {"a", "b", "c"}},
                      DecodeCase{"Empty", "", {}}, DecodeCase{"OnlyBlanks", "   ", {}},
                      DecodeCase{"QuotePairIsOneEmptyItem", "\"\"", {""}},
                      DecodeCase{"UnclosedQuoteRunsToEnd", "\"abc,d", {"abc,d"}},
                      DecodeCase{"NulEndsLine", std::string("a,b\0,c", 6), {"a", "b"}},
                      DecodeCase{"QuoteInsideUnquotedItemKept", "ab\"cd,e", {"ab\"cd", "e"}}));

struct EncodeCase {
    const char* name;
    Items items;
    std::string line;
};
void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.name;
}

class EncodeCommaList : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeCommaList, WritesAndReadsBack) {
    EXPECT_EQ(Document::EncodeCommaList(GetParam().items), GetParam().line);
    EXPECT_EQ(Document::DecodeCommaList(GetParam().line), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EncodeCommaList,
    ::testing::Values(EncodeCase{"Numbers", {"1", "-2", "3"}, "1,-2,3"},
                      EncodeCase{"SpaceIsQuoted",
                                 {sjis(QStringLiteral("ＭＳ ゴシック")), "12"},
                                 sjis(QStringLiteral("\"ＭＳ ゴシック\",12"))},
                      EncodeCase{"CommaIsQuoted", {"a,b"}, "\"a,b\""},
                      EncodeCase{"QuoteIsDoubled", {"say \"hi\""}, "\"say \"\"hi\"\"\""},
                      EncodeCase{"ControlIsQuoted", {"a\tb"}, "\"a\tb\""},
                      // 表 is 0x95 0x5C: its trail byte is no separator and asks for no quotes.
                      EncodeCase{"DoubleByteTrailNotASeparator",
                                 {sjis(QStringLiteral("表示")), "x"},
                                 sjis(QStringLiteral("表示,x"))},
                      EncodeCase{"EmptyItemBetween", {"a", "", "b"}, "a,,b"},
                      EncodeCase{"OneEmptyItem", {""}, "\"\""}));

// ---- Lines ----

struct SplitCase {
    const char* name;
    std::string text;
    WorkLines lines;
};
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, EndsLinesAtEveryLineBreak) {
    EXPECT_EQ(Document::SplitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitLines,
    ::testing::Values(SplitCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"LfAlone", "a\nb\n", {"a", "b"}},
                      SplitCase{"CrAlone", "a\rb\r", {"a", "b"}},
                      SplitCase{"Mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
                      SplitCase{"LastLineWithoutBreak", "a\r\nb", {"a", "b"}},
                      SplitCase{"EmptyLinesKept", "a\r\n\r\n\nb", {"a", "", "", "b"}},
                      SplitCase{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                      SplitCase{"NulEndsText", std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
                      SplitCase{"Empty", "", {}}));

// ---- Reading the lines ----

TEST(WorkLines, DefaultFontLineIsTheQuotedFaceAndSevenItems) {
    Markers::MarkerMap none;
    const WorkLines lines = Document::MakeWorkLines(Markers::MarkerFont{}, 1, none);
    EXPECT_EQ(lines,
              (WorkLines{sjis(QStringLiteral("\"ＭＳ ゴシック\",12,-2147483640,0,0,0,0")), "1"}));
}

TEST(WorkLines, MarkersAreWrittenInAscendingKeyOrder) {
    Markers::MarkerMap map;
    map.InsertMarker(98, {-5, -2147483647 - 1, 2147483647, 7});
    map.InsertMarker(0, Markers::MakeMarker(10, 20));
    map.InsertMarker(7, {1, 2, 3, 4});
    Markers::MarkerFont font;
    font.Name = QStringLiteral("a\"b, c");
    font.Size = 9;
    font.Color = 255;
    font.Bold = font.StrikeOut = true;
    const WorkLines lines = Document::MakeWorkLines(font, 4, map);
    EXPECT_EQ(lines, (WorkLines{"\"a\"\"b, c\",9,255,1,0,0,1", "4", "10,20,42,52,0", "1,2,3,4,7",
                                "-5,-2147483648,2147483647,7,98"}));
}

struct FontCase {
    const char* name;
    std::string line;
    Markers::MarkerFont font;
};
void PrintTo(const FontCase& c, std::ostream* os) {
    *os << c.name;
}

Markers::MarkerFont fontOf(QString name, int32_t size, int32_t color, bool b, bool i, bool u,
                           bool s) {
    return {std::move(name), size, color, b, i, u, s};
}

class ReadFontLine : public ::testing::TestWithParam<FontCase> {};

TEST_P(ReadFontLine, GivesTheFont) {
    EXPECT_EQ(Document::ReadFontLine(GetParam().line), GetParam().font);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadFontLine,
    ::testing::Values(
        FontCase{"Default", sjis(QStringLiteral("\"ＭＳ ゴシック\",12,-2147483640,0,0,0,0")),
                 Markers::MarkerFont{}},
        FontCase{"AllFlags", "Arial,10,255,1,1,1,1",
                 fontOf(QStringLiteral("Arial"), 10, 255, true, true, true, true)},
        FontCase{"AnythingButZeroSetsAFlag", "Arial,10,255,x,,00,0",
                 fontOf(QStringLiteral("Arial"), 10, 255, true, true, true, false)},
        FontCase{"SizeNotANumberGives12ColourGives0", "Arial,abc,red,0,0,0,0",
                 fontOf(QStringLiteral("Arial"), 12, 0, false, false, false, false)},
        FontCase{"HexNumbers", "Arial,$10,0xFF00,0,0,0,0",
                 fontOf(QStringLiteral("Arial"), 16, 0xFF00, false, false, false, false)},
        FontCase{"ExtraItemsIgnored", "Arial,8,0,0,0,0,1,junk,more",
                 fontOf(QStringLiteral("Arial"), 8, 0, false, false, false, true)},
        FontCase{"OutOfRangeSizeIsNotAnInteger", "Arial,2147483648,0,0,0,0,0",
                 fontOf(QStringLiteral("Arial"), 12, 0, false, false, false, false)}));

struct MarkerCase {
    const char* name;
    std::string line;
    int32_t key;
    Markers::TRect rect;
};
void PrintTo(const MarkerCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadMarkerLine : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(ReadMarkerLine, GivesKeyAndRectangle) {
    const Document::MarkerLine m = Document::ReadMarkerLine(GetParam().line);
    EXPECT_EQ(m.Key, GetParam().key);
    EXPECT_EQ(m.Rect, GetParam().rect);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadMarkerLine,
    ::testing::Values(
        MarkerCase{"Plain", "10,20,42,52,5", 5, {10, 20, 42, 52}},
        MarkerCase{"EmptyFarEdgesAreOneGlyphAway", "10,20,,,5", 5, {10, 20, 42, 52}},
        MarkerCase{"NonNumbersGiveDefaults", "a,b,c,d,3", 3, {0, 0, 32, 32}},
        MarkerCase{"NegativeAndHuge",
                   "-2147483648,2147483647,-1,0,2147483647",
                   2147483647,
                   {-2147483647 - 1, 2147483647, -1, 0}},
        MarkerCase{"FarEdgeHeldAtTheLimit", "2147483640,0,,,1", 1, {2147483640, 0, 2147483647, 32}},
        MarkerCase{"KeysBeyondThePalette", "1,2,3,4,-7", -7, {1, 2, 3, 4}},
        MarkerCase{"ExtraItemsIgnored", "1,2,3,4,5,6,7", 5, {1, 2, 3, 4}},
        MarkerCase{"BlanksAround", " 1 , 2 ,3,4, 9 ", 9, {1, 2, 3, 4}},
        MarkerCase{"HexOnlyInTheWorkFilesSpelling",
                   "$0000000010,X1F,0x1F,$00000010,x9",
                   9,
                   {0, 0, 31, 16}}));

struct FailureCase {
    const char* name;
    WorkLines lines;
    QString message;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadWorkDocumentFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ReadWorkDocumentFailure, NamesTheIndexOrItem) {
    EXPECT_EQ(messageOf([] { Document::ReadWorkDocument(GetParam().lines); }), GetParam().message);
}

QString indexError(int i) {
    return QStringLiteral("リストのインデックスが範囲を超えています (%1)").arg(i);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadWorkDocumentFailure,
    ::testing::Values(
        FailureCase{"NoLines", {}, indexError(0)},
        FailureCase{"NoStyleLine", {"Arial,12,0,0,0,0,0"}, indexError(1)},
        FailureCase{"FontLineFaceOnlyAsksForTheSizeFirst", {"Arial", "1"}, indexError(1)},
        FailureCase{"FontLineSixItems", {"Arial,12,0,0,0,0", "1"}, indexError(6)},
        FailureCase{"EmptyMarkerLine", {"Arial,12,0,0,0,0,0", "1", ""}, indexError(0)},
        FailureCase{"MarkerLineWithoutKey", {"Arial,12,0,0,0,0,0", "1", "1,2,3,4"}, indexError(4)},
        FailureCase{"KeyNotAnInteger",
                    {"Arial,12,0,0,0,0,0", "1", "1,2,3,4,abc"},
                    QStringLiteral("'abc' は整数ではありません")},
        FailureCase{"EmptyKey",
                    {"Arial,12,0,0,0,0,0", "1", "1,2,3,4,"},
                    QStringLiteral("'' は整数ではありません")}));

TEST(ReadWorkDocument, StyleOutsideTheSixGivesTheButtonStyle) {
    const std::pair<const char*, int32_t> rows[] = {
        {"0", 0}, {"5", 5},  {"3", 3},  {"6", 1},  {"-1", 1},         {"abc", 1},
        {"", 1},  {" 2", 2}, {"2 ", 1}, {"$4", 4}, {"99999999999", 1}};
    for (const auto& [line, style] : rows)
        EXPECT_EQ(Document::ReadStyleLine(line), style) << line;
}

TEST(ReadWorkDocument, FirstLineOfAKeyListedTwiceWins) {
    const Document::WorkDocument doc = Document::ReadWorkDocument(
        {"Arial,12,0,0,0,0,0", "2", "50,50,,,3", "1,1,,,0", "9,9,9,9,3"});
    EXPECT_EQ(doc.BackgroundStyle, 2);
    ASSERT_EQ(doc.Markers.size(), 2u);
    EXPECT_EQ(*doc.Markers.MarkerOf(3), Markers::MakeMarker(50, 50));
    EXPECT_EQ(*doc.Markers.MarkerOf(0), Markers::MakeMarker(1, 1));
    // Saved again, the markers come in key order and the duplicate is gone.
    const WorkLines again = Document::MakeWorkLines(doc.Font, doc.BackgroundStyle, doc.Markers);
    EXPECT_EQ(again, (WorkLines{"Arial,12,0,0,0,0,0", "2", "1,1,33,33,0", "50,50,82,82,3"}));
}

// ---- Whole files ----

class WorkFileTest : public TestSupport::TempDirTest {
protected:
    // The temporary files of the codec go to a folder of the test's own, so a test can see
    // that none is left behind.
    void SetUp() override {
        m_tempFiles = std::make_unique<TestSupport::TempFilesIn>(path(QStringLiteral("tmp")));
    }
    void TearDown() override { m_tempFiles.reset(); }
    QStringList stagingLeft() const {
        return QDir(path(QStringLiteral("tmp"))).entryList(QDir::Files | QDir::Hidden);
    }
    QString writeBytes(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    QByteArray readBytes(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

private:
    std::unique_ptr<TestSupport::TempFilesIn> m_tempFiles;
};

TEST_F(WorkFileTest, LayoutIsTwoLengthsTheTextAndTheBitmap) {
    const Platform::Bitmap image = stripes(5, 3, 8);
    const WorkLines lines{sjis(QStringLiteral("\"ＭＳ ゴシック\",12,-2147483640,0,0,0,0")), "1"};
    const QString file = path(QStringLiteral("a.ptn"));
    Document::WriteWorkFile(image, lines, file);

    const QByteArray bytes = readBytes(file);
    const std::string text = lines[0] + "\r\n" + lines[1] + "\r\n";
    const QByteArray bmp = Platform::Bmp::encode(image);
    EXPECT_EQ(bytes, header(static_cast<int32_t>(text.size()), static_cast<int32_t>(bmp.size())) +
                         QByteArray::fromStdString(text) + bmp);
    EXPECT_EQ(bytes, Document::EncodeWorkFile(image, lines));
}

TEST_F(WorkFileTest, EveryFieldReadsBackInEveryPixelFormat) {
    Markers::MarkerMap map;
    map.InsertMarker(0, Markers::MakeMarker(-40, -2147483647 - 1));
    map.InsertMarker(98, {2147483647, 2147483647, -2147483647 - 1, 0});
    map.InsertMarker(50, Markers::MakeMarker(3, 4));
    Markers::MarkerFont font;
    font.Name = QStringLiteral("ＭＳ ゴシック");
    font.Size = 16;
    font.Color = Markers::ColorValue(255, 0, 0);
    font.Italic = font.Underline = true;
    for (const int bpp : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        const Platform::Bitmap image = stripes(37, 11, bpp);
        const QString file = path(QStringLiteral("round.ptn"));
        Document::WriteWorkFile(image, Document::MakeWorkLines(font, 5, map), file);

        const Document::WorkFileImage read = Document::ReadWorkFile(file);
        EXPECT_TRUE(samePixels(read.Bitmap, image));
        const Document::WorkDocument doc = Document::ReadWorkDocument(read.Lines);
        EXPECT_EQ(doc.Font, font);
        EXPECT_EQ(doc.BackgroundStyle, 5);
        ASSERT_EQ(doc.Markers.size(), map.size());
        for (const auto& [key, m] : map)
            EXPECT_EQ(*doc.Markers.MarkerOf(key), m) << key;
    }
}

TEST_F(WorkFileTest, BytesAfterTheBitmapAreIgnoredAndLineEndsMayVary) {
    const QByteArray bmp = Platform::Bmp::encode(stripes(4, 4, 24));
    const QByteArray text("Arial,12,0,0,0,0,0\n3\r5,6,,,1\r");
    const QString file = writeBytes(QStringLiteral("lf.ptn"),
                                    header(text.size(), bmp.size()) + text + bmp + "trailing");
    const Document::WorkFileImage read = Document::ReadWorkFile(file);
    EXPECT_EQ(read.Lines, (WorkLines{"Arial,12,0,0,0,0,0", "3", "5,6,,,1"}));
    EXPECT_EQ(read.Bitmap.width(), 4);
}

struct BrokenCase {
    const char* name;
    std::function<QByteArray()> bytes;
    QString message;
};
void PrintTo(const BrokenCase& c, std::ostream* os) {
    *os << c.name;
}

class BrokenWorkFile : public WorkFileTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenWorkFile, FailsWithTheStepsMessage) {
    const QByteArray bytes = GetParam().bytes();
    const QString file = writeBytes(QStringLiteral("broken.ptn"), bytes);
    EXPECT_EQ(messageOf([&] { Document::ReadWorkFile(file); }), GetParam().message);
    EXPECT_EQ(messageOf([&] { Document::DecodeWorkFile(bytes); }), GetParam().message);
}

const QByteArray kText("Arial,12,0,0,0,0,0\r\n1\r\n");
QByteArray goodBmp() {
    return Platform::Bmp::encode(stripes(3, 2, 24));
}
const QString kRead = QStringLiteral("ストリームからの読み込みエラー");
const QString kInvalid = QStringLiteral("ビットマップイメージが不正です");

INSTANTIATE_TEST_SUITE_P(
    Rows, BrokenWorkFile,
    ::testing::Values(
        BrokenCase{"Empty", [] { return QByteArray(); }, kRead},
        BrokenCase{"ShorterThanTheHeader", [] { return header(1, 1).left(5); }, kRead},
        BrokenCase{"HeaderOnly", [] { return header(24, 58); }, kRead},
        BrokenCase{"TextLengthPastTheEnd",
                   [] { return header(kText.size() + 1000, goodBmp().size()) + kText + goodBmp(); },
                   kRead},
        BrokenCase{"BitmapLengthPastTheEnd",
                   [] { return header(kText.size(), goodBmp().size() + 1) + kText + goodBmp(); },
                   kRead},
        BrokenCase{"HugeLengths", [] { return header(0x7FFFFFFF, 0x7FFFFFFF) + kText; }, kRead},
        BrokenCase{"NegativeTextLength",
                   [] { return header(-1, goodBmp().size()) + kText + goodBmp(); }, kRead},
        BrokenCase{"ZeroTextLength", [] { return header(0, goodBmp().size()) + goodBmp(); }, kRead},
        BrokenCase{"ZeroBitmapLength", [] { return header(kText.size(), 0) + kText; }, kRead},
        BrokenCase{"BitmapBlockNotABitmap",
                   [] { return header(kText.size(), 6) + kText + QByteArray("PNGxyz"); }, kInvalid},
        BrokenCase{"BitmapBlockCutShort",
                   [] {
                       const QByteArray bmp = goodBmp().left(30);
                       return header(kText.size(), bmp.size()) + kText + bmp;
                   },
                   kRead}));

TEST_F(WorkFileTest, MissingFileCannotBeOpened) {
    const QString file = path(QStringLiteral("none.ptn"));
    EXPECT_EQ(messageOf([&] { Document::ReadWorkFile(file); }),
              QStringLiteral("ファイル %1 は開けません").arg(file));
    EXPECT_EQ(messageOf([&] { Document::ReadWorkFile(dir()); }),
              QStringLiteral("ファイル %1 は開けません").arg(dir()));
}

TEST_F(WorkFileTest, FailedWriteLeavesTheExistingFileAsItWas) {
    const Platform::Bitmap image = stripes(8, 8, 24);
    const WorkLines lines{"Arial,12,0,0,0,0,0", "1"};
    const QString file = writeBytes(QStringLiteral("kept.ptn"), "old work");

    // Read-only: not replaced.
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    EXPECT_EQ(messageOf([&] { Document::WriteWorkFile(image, lines, file); }),
              QStringLiteral("ファイル %1 を作成できません").arg(file));
    EXPECT_EQ(readBytes(file), QByteArray("old work"));
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));

    // No temporary folder to stage in: the temporary file is what cannot be created.
    TestSupport::setTempFolder(path(QStringLiteral("no/such/tmp")));
    const QString message = messageOf([&] { Document::WriteWorkFile(image, lines, file); });
    EXPECT_EQ(message, QStringLiteral("ファイル  を作成できません"));
    EXPECT_EQ(readBytes(file), QByteArray("old work"));
    TestSupport::setTempFolder(path(QStringLiteral("tmp")));

    // A bitmap that cannot be encoded.
    EXPECT_NE(messageOf([&] { Document::WriteWorkFile(Platform::Bitmap(), lines, file); }),
              QStringLiteral("(no failure)"));
    EXPECT_EQ(readBytes(file), QByteArray("old work"));

    // A missing folder, and a folder in the target's place.
    const QString nowhere = path(QStringLiteral("no/such/folder/a.ptn"));
    EXPECT_EQ(messageOf([&] { Document::WriteWorkFile(image, lines, nowhere); }),
              QStringLiteral("ファイル %1 を作成できません").arg(nowhere));
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("folder.ptn"))));
    EXPECT_EQ(
        messageOf(
            [&] { Document::WriteWorkFile(image, lines, path(QStringLiteral("folder.ptn"))); }),
        QStringLiteral("ファイル %1 を作成できません").arg(path(QStringLiteral("folder.ptn"))));

    // And a good write replaces it whole.
    Document::WriteWorkFile(image, lines, file);
    EXPECT_EQ(readBytes(file), Document::EncodeWorkFile(image, lines));
}

TEST_F(WorkFileTest, ReadingStagesInTemporaryFilesAndLeavesNone) {
    // TearDown checks the folder after each of these.
    const QString good =
        writeBytes(QStringLiteral("good.ptn"),
                   Document::EncodeWorkFile(stripes(2, 2, 1), {"Arial,12,0,0,0,0,0", "1"}));
    EXPECT_EQ(Document::ReadWorkFile(good).Lines.size(), 2u);
    const QString bad =
        writeBytes(QStringLiteral("bad.ptn"), header(kText.size(), 3) + kText + "BMx");
    EXPECT_EQ(messageOf([&] { Document::ReadWorkFile(bad); }), kRead);
    EXPECT_EQ(stagingLeft(), QStringList{});

    // Without a temporary folder the work file is still opened first: a missing one says so,
    // an existing one fails where the staging file is made.
    TestSupport::setTempFolder(path(QStringLiteral("gone")));
    const QString missing = path(QStringLiteral("none.ptn"));
    EXPECT_EQ(messageOf([&] { Document::ReadWorkFile(missing); }),
              QStringLiteral("ファイル %1 は開けません").arg(missing));
    EXPECT_EQ(messageOf([&] { Document::ReadWorkFile(good); }),
              QStringLiteral("ファイル  を作成できません"));
    TestSupport::setTempFolder(path(QStringLiteral("tmp")));
}

}  // namespace
