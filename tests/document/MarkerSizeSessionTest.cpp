// The document's marker size: resizing as one step, placing at the size, the size a work file's
// markers give, and files of 32-pixel markers written exactly as before.
#include "MarkerDescription.h"
#include "SessionTestSupport.h"

using Markers::MakeMarker;

namespace {

class MarkerSizeTest : public TestSupport::SessionTest {
protected:
    std::vector<std::pair<int32_t, Markers::Marker>> markers() const {
        return {doc.Map().begin(), doc.Map().end()};
    }
};

}  // namespace

TEST_F(MarkerSizeTest, ResizeIsOneStepAboutEachCentreWithTheFont) {
    open();
    ASSERT_TRUE(doc.Place(0, MakeMarker(100, 100)));
    ASSERT_TRUE(doc.Place(5, MakeMarker(300, 40)));
    const auto before = markers();
    const Markers::MarkerFont fontBefore = doc.Font();  // 12 points
    const int steps = doc.History().count();

    EXPECT_FALSE(doc.SetMarkerSize(15));
    EXPECT_FALSE(doc.SetMarkerSize(129));
    EXPECT_EQ(doc.History().count(), steps);

    ASSERT_TRUE(doc.SetMarkerSize(48));
    EXPECT_EQ(doc.History().count(), steps + 1);
    EXPECT_EQ(doc.History().undoText(), QStringLiteral("大きさ"));
    const decltype(before) resized{{0, {92, 92, 140, 140}}, {5, {292, 32, 340, 80}}};
    EXPECT_EQ(markers(), resized);
    EXPECT_EQ(doc.MarkerSize(), 48);
    EXPECT_EQ(doc.Font().Size, 18);
    EXPECT_TRUE(announced() & Document::Change::Appearance);

    // Markers placed afterwards have the size, by drop point and by typed number alike.
    doc.PlaceOrSelect(7);
    EXPECT_EQ(*doc.Map().MarkerOf(7), (Markers::Marker{296, 216, 344, 264}));
    doc.Undo();

    doc.Undo();
    EXPECT_EQ(markers(), before);
    EXPECT_EQ(doc.MarkerSize(), 32);
    EXPECT_EQ(doc.Font(), fontBefore);
    doc.Redo();
    EXPECT_EQ(markers(), resized);
    EXPECT_EQ(doc.MarkerSize(), 48);
    EXPECT_EQ(doc.Font().Size, 18);
}

TEST_F(MarkerSizeTest, WorkFilesKeepTheSizeInTheirMarkers) {
    open();
    ASSERT_TRUE(doc.Place(0, MakeMarker(10, 10)));
    ASSERT_TRUE(doc.Place(1, MakeMarker(200, 100)));
    const QString classic = path(QStringLiteral("classic.ptn"));
    ASSERT_TRUE(doc.SaveWorkFile(classic).Ok());
    const QByteArray classicBytes = TestSupport::bytesOf(classic);

    // There and back again: the same markers and font, so the same bytes.
    ASSERT_TRUE(doc.OpenWorkFile(classic).Ok());
    EXPECT_EQ(doc.MarkerSize(), 32);
    ASSERT_TRUE(doc.SetMarkerSize(48));
    ASSERT_TRUE(doc.SetMarkerSize(32));
    const QString again = path(QStringLiteral("again.ptn"));
    ASSERT_TRUE(doc.SaveWorkFile(again).Ok());
    EXPECT_EQ(TestSupport::bytesOf(again), classicBytes);

    // A file of 48-pixel markers reopens at 48 with the same rectangles.
    ASSERT_TRUE(doc.SetMarkerSize(48));
    const auto resized = markers();
    const QString large = path(QStringLiteral("large.ptn"));
    ASSERT_TRUE(doc.SaveWorkFile(large).Ok());
    doc.New();
    EXPECT_EQ(doc.MarkerSize(), 32);
    ASSERT_TRUE(doc.OpenWorkFile(large).Ok());
    EXPECT_EQ(doc.MarkerSize(), 48);
    EXPECT_EQ(markers(), resized);
    EXPECT_FALSE(doc.Modified());
}

TEST(MarkerDescriptionSize, SizesTheMarkersThatGiveNoFarEdges) {
    const struct {
        const char* json;
        Markers::Marker expected;  // of key 0
        const char* error;
    } rows[] = {
        {R"({"markers": [{"key": 0, "left": 5, "top": 6}]})", {5, 6, 37, 38}, ""},
        {R"({"size": 64, "markers": [{"key": 0, "left": 5, "top": 6}]})", {5, 6, 69, 70}, ""},
        {R"({"size": 64, "markers": [{"key": 0, "left": 5, "top": 6, "right": 10}]})",
         {5, 6, 10, 70},
         ""},
        {R"({"size": 15, "markers": []})", {}, "size: not from 16 to 128"},
    };
    for (const auto& row : rows) {
        const Document::DescriptionRead read = Document::ReadDescription(row.json, {});
        EXPECT_EQ(read.Error, QString::fromUtf8(row.error)) << row.json;
        if (read.Value && !read.Value->Markers.empty()) {
            EXPECT_EQ(*read.Value->Markers.MarkerOf(0), row.expected) << row.json;
        }
    }
}
