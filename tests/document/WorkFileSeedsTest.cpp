// The starting corpus of fuzz-workfile (tests/fuzz/seeds/workfile) is made here: run this test
// with PICTANOTE_WRITE_SEEDS=1 to write it again. Without it, the test checks that every
// committed seed is still the file described below and still reads as it should.
#include "Bmp.h"
#include "Cp932.h"
#include "TestSupport.h"
#include "ToolkitError.h"
#include "WorkFile.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <functional>

namespace {

Platform::Bitmap small(int bpp) {
    Platform::Bitmap b(7, 5, bpp);
    if (bpp <= 8) {
        std::vector<QRgb> table;
        for (int i = 0; i < (1 << bpp); ++i)
            table.push_back(qRgb(i * 40 & 0xFF, i * 90 & 0xFF, 255 - (i & 0xFF)));
        b.setColorTable(table);
    }
    for (int y = 0; y < 5; ++y)
        for (int64_t i = 0; i < b.stride(); ++i)
            b.scanLine(y)[i] = static_cast<uint8_t>(i * 17 + y);
    return b;
}

QByteArray file(int bpp, const Document::WorkLines& lines) {
    return Document::EncodeWorkFile(small(bpp), lines);
}

const std::string kFont =
    Platform::Cp932::fromUnicode(QStringLiteral("\"ＭＳ ゴシック\",12,-2147483640,0,0,0,0"));

struct Seed {
    const char* name;
    std::function<QByteArray()> bytes;
    // The markers the document holds, or the message its reading fails with.
    int markers;
    QString failure;
};

const Seed kSeeds[] = {
    {"empty-document",
     [] {
         return file(24, {kFont, "1"});
     },
     0,
     {}},
    {"markers-cp932-font",
     [] {
         return file(
             8, {Platform::Cp932::fromUnicode(QStringLiteral("\"ＭＳ Ｐゴシック\",16,255,1,0,1,0")),
                 "5", "10,20,42,52,0", "-2147483648,2147483647,-1,0,41", "70,50,102,82,98"});
     },
     3,
     {}},
    {"defaults-and-duplicates",
     [] {
         return file(4, {"\"a \"\"b\"\", c\",abc,$FF,x,,0,1", "17", "10,20,,,5", "1,1,,,5",
                         "abc,,,,3", "1,2,3,4,5,6,7"});
     },
     2,
     {}},
    {"lf-line-ends-and-trailing-bytes",
     [] {
         QByteArray bytes = Document::EncodeWorkFile(small(1), {kFont, "3", "1,2,,,7"});
         const int32_t text = qFromLittleEndian<int32_t>(bytes.constData());
         QByteArray block = bytes.mid(8, text);
         block.replace("\r\n", "\n");
         QByteArray out(8, '\0');
         qToLittleEndian<int32_t>(static_cast<int32_t>(block.size()), out.data());
         qToLittleEndian<int32_t>(qFromLittleEndian<int32_t>(bytes.constData() + 4),
                                  out.data() + 4);
         return out + block + bytes.mid(8 + text) + "after the bitmap";
     },
     1,
     {}},
    {"bad-key",
     [] {
         return file(16, {kFont, "0", "1,2,3,4,abc"});
     },
     0, QStringLiteral("'abc' は整数ではありません")},
    {"short-font-line",
     [] {
         return file(32, {"Arial,12", "1"});
     },
     0, QStringLiteral("リストのインデックスが範囲を超えています (2)")},
};

QString seedPath(const char* name) {
    return QDir(QStringLiteral(PICTANOTE_WORKFILE_SEEDS)).filePath(QString::fromLatin1(name));
}

}  // namespace

TEST(WorkFileSeeds, CommittedSeedsAreTheDescribedFiles) {
    const bool write = qEnvironmentVariableIsSet("PICTANOTE_WRITE_SEEDS");
    for (const Seed& seed : kSeeds) {
        SCOPED_TRACE(seed.name);
        const QByteArray bytes = seed.bytes();
        QFile f(seedPath(seed.name));
        if (write) {
            ASSERT_TRUE(QDir().mkpath(QStringLiteral(PICTANOTE_WORKFILE_SEEDS)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
        }
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "run with PICTANOTE_WRITE_SEEDS=1";
        EXPECT_EQ(f.readAll(), bytes);

        const Document::WorkFileImage image = Document::DecodeWorkFile(bytes);
        EXPECT_EQ(image.Bitmap.width(), 7);
        try {
            const Document::WorkDocument doc = Document::ReadWorkDocument(image.Lines);
            EXPECT_EQ(doc.Markers.size(), static_cast<std::size_t>(seed.markers));
            EXPECT_TRUE(seed.failure.isEmpty());
        } catch (const Platform::ToolkitError& e) {
            EXPECT_EQ(e.message(), seed.failure);
        }
    }
}
