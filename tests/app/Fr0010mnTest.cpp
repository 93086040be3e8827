#include "DrawGrid.h"
#include "Fr0000ab.h"
#include "HintTiming.h"
#include "PaintBox.h"
#include "StatusPanel.h"
#include "WindowTestSupport.h"

#include <QBitmap>
#include <QFontInfo>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>

using Gui::WindowTest;

namespace {

struct Command {
    const char* name;
    bool enabledWithoutDocument;
};

// Every command the document state switches, and those it never touches.
const Command kCommands[] = {
    {"MnuNew", true},         {"MnuWorkOpen", true},  {"SpbWorkOpen", true},
    {"MnuOpen", true},        {"SpbOpen", true},      {"MnuClip", true},
    {"SpbPaste", true},       {"MnuExit", true},      {"MnuAbout", true},
    {"MnuWorkSave", false},   {"SpbWorkSave", false}, {"MnuWorkSaveAs", false},
    {"SpbWorkSaveAs", false}, {"MnuSave", false},     {"SpbSave", false},
    {"MnuSaveAs", false},     {"SpbSaveAs", false},   {"MnuFont", false},
    {"SpbFont", false},       {"SpbNone", false},     {"SpbButton", false},
    {"SpbBox1", false},       {"SpbBox2", false},     {"SpbCircle1", false},
    {"SpbCircle2", false},    {"MnuNone", false},     {"MnuButton", false},
    {"MnuBox1", false},       {"MnuBox2", false},     {"MnuCircle1", false},
    {"MnuCircle2", false},    {"DGMain", false},
};

bool isEnabled(QObject* window, const char* name) {
    QObject* o = window->findChild<QObject*>(QString::fromLatin1(name));
    if (auto* w = qobject_cast<QWidget*>(o))
        return w->isEnabled();
    if (auto* a = qobject_cast<QAction*>(o))
        return a->isEnabled();
    ADD_FAILURE() << "no component " << name;
    return false;
}

}  // namespace

TEST_F(WindowTest, StartsWithoutADocument) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Pictanote Ver 1.0.3.0"));
    EXPECT_FALSE(window->Doc.DocumentOpen());
    EXPECT_FALSE(window->Doc.Modified());
    for (const Command& c : kCommands)
        EXPECT_EQ(isEnabled(window.get(), c.name), c.enabledWithoutDocument) << c.name;
    EXPECT_FALSE(window->MnuBack->menuAction()->isEnabled());
    EXPECT_TRUE(window->SpbButton->isChecked());
    EXPECT_TRUE(window->MnuButton->isChecked());
    EXPECT_EQ(window->Doc.Compositor().BackgroundStyle(), Markers::StyleButton);
    for (int i = 0; i < TFrmFR0010MN::PanelCount; ++i)
        EXPECT_EQ(window->StatusText(i), QString()) << i;
    EXPECT_EQ(window->PBMain->size(), QSize(41, 41));
    EXPECT_TRUE(window->Doc.WorkSaveFileName().isEmpty());
    EXPECT_TRUE(window->Doc.ExportFileName().isEmpty());
}

TEST_F(WindowTest, DocumentStateSwitchesEveryCommandAndBack) {
    window->SetDocumentState(true);
    for (const Command& c : kCommands) {
        const bool alwaysOn = c.enabledWithoutDocument && std::string_view(c.name) != "MnuOpen" &&
                              std::string_view(c.name) != "SpbOpen" &&
                              std::string_view(c.name) != "MnuClip" &&
                              std::string_view(c.name) != "SpbPaste";
        EXPECT_EQ(isEnabled(window.get(), c.name), alwaysOn || !c.enabledWithoutDocument) << c.name;
    }
    EXPECT_TRUE(window->MnuBack->menuAction()->isEnabled());
    window->SetDocumentState(false);
    for (const Command& c : kCommands)
        EXPECT_EQ(isEnabled(window.get(), c.name), c.enabledWithoutDocument) << c.name;
}

TEST_F(WindowTest, ToolBarButtonsStandWhereTheLayoutSays) {
    const struct {
        const char* name;
        int left;
        const char* hint;
    } buttons[] = {
        {"SpbWorkOpen", 8, "開く"},
        {"SpbWorkSave", 32, "保存"},
        {"SpbWorkSaveAs", 56, "名前を付けて保存"},
        {"SpbOpen", 80, "元画像を開く"},
        {"SpbPaste", 104, "クリップボードから取り込み"},
        {"SpbSave", 136, "ビットマップ出力"},
        {"SpbSaveAs", 160, "名前を付けてビットマップ出力"},
        {"SpbFont", 192, "フォント"},
        {"SpbNone", 224, "背景：なし"},
        {"SpbButton", 248, "背景：ボタン"},
        {"SpbBox1", 272, "背景：四角"},
        {"SpbBox2", 296, "背景：塗りつぶし四角"},
        {"SpbCircle1", 320, "背景：円"},
        {"SpbCircle2", 344, "背景：塗りつぶし円"},
    };
    for (const auto& b : buttons) {
        auto* button = window->PnlTop->findChild<QToolButton*>(QString::fromLatin1(b.name));
        ASSERT_TRUE(button) << b.name;
        EXPECT_EQ(button->geometry(), QRect(b.left, 8, 25, 25)) << b.name;
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.hint)) << b.name;
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << b.name;
        // Every button but SpbNone shows an image; the file commands and the font have a
        // disabled one of their own.
        EXPECT_EQ(button->icon().isNull(), std::string_view(b.name) == "SpbNone") << b.name;
    }
    EXPECT_EQ(window->Bevel1->x(), 131);
    EXPECT_EQ(window->Bevel3->x(), 187);
    EXPECT_EQ(window->Bevel4->x(), 219);
    EXPECT_EQ(window->PnlTop->height(), 41);
    EXPECT_EQ(window->PnlMiddle->height(), 56);
    EXPECT_EQ(window->BvlTop->width(), window->PnlTop->width());

    // One exclusive group: pressing another style releases SpbButton, pressing it again keeps
    // it down.
    window->SetDocumentState(true);
    QTest::mouseClick(window->SpbBox2, Qt::LeftButton);
    EXPECT_TRUE(window->SpbBox2->isChecked());
    EXPECT_FALSE(window->SpbButton->isChecked());
    QTest::mouseClick(window->SpbBox2, Qt::LeftButton);
    EXPECT_TRUE(window->SpbBox2->isChecked());
}

TEST_F(WindowTest, MenuHoldsEveryItemWithCaptionAndShortcut) {
    const auto describe = [](QMenu* menu) {
        QStringList items;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                items << QStringLiteral("-") + a->objectName();
            else
                items << a->text() + QLatin1Char('|') + a->shortcut().toString();
        }
        return items.join(QLatin1Char('\n'));
    };
    EXPECT_EQ(window->MnuFile->title(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(describe(window->MnuFile), QStringLiteral("新規作成(&N)|Ctrl+N\n"
                                                        "開く(&R)|Ctrl+R\n"
                                                        "保存(&S)|Ctrl+S\n"
                                                        "名前を付けて保存(&W)|Ctrl+A\n"
                                                        "-N3\n"
                                                        "元画像を開く(&O)|Ctrl+O\n"
                                                        "元画像の差し替え(&P)...|\n"
                                                        "クリップボードから取り込む(&V)|Ctrl+V\n"
                                                        "-N1\n"
                                                        "ビットマップ出力(&S)|Ctrl+W\n"
                                                        "名前を付けてビットマップ出力(&A)|Ctrl+E\n"
                                                        "-\n"
                                                        "最近使ったファイル(&F)|\n"
                                                        "-N2\n"
                                                        "終了(&X)|"));
    EXPECT_EQ(window->MnuOption->title(), QStringLiteral("オプション(&O)"));
    EXPECT_EQ(describe(window->MnuOption),
              QStringLiteral("フォント(&F)|\nマーカーの大きさ(&Z)...|\n-N4\n背景(&B)|"));
    EXPECT_EQ(describe(window->MnuBack), QStringLiteral("なし(&N)|\nボタン(&A)|\n四角-1(&B)|\n"
                                                        "四角-2(&C)|\n円-1(&D)|\n円-2(&E)|"));
    EXPECT_EQ(describe(window->MnuHelp), QStringLiteral("バージョン情報(&A)|"));
    EXPECT_EQ(window->MnuEdit->title(), QStringLiteral("編集(&E)"));
    EXPECT_EQ(describe(window->MnuEdit),
              QStringLiteral("元に戻す(&U)|Ctrl+Z\nやり直し(&R)|Ctrl+Y\n画像をコピー(&C)|Ctrl+C\n"
                             "-N5\n番号の変更(&N)...|F2\n"
                             "番号を詰める(&C)|\n-N6\n整列(&A)|"));
    EXPECT_EQ(
        describe(window->MnuAlign),
        QStringLiteral("左揃え(&L)|\n左右中央揃え(&C)|\n右揃え(&R)|\n上揃え(&T)|\n"
                       "上下中央揃え(&M)|\n下揃え(&B)|\n左右に均等配置(&H)|\n上下に均等配置(&V)|"));
    EXPECT_EQ(window->MnuView->title(), QStringLiteral("表示(&V)"));
    EXPECT_EQ(describe(window->MnuView),
              QStringLiteral("拡大(&I)|Ctrl++\n縮小(&O)|Ctrl+-\n実際のサイズ(&A)|Ctrl+0\n"
                             "ウィンドウに合わせる(&F)|Ctrl+9"));
    EXPECT_EQ(window->MnuMain->actions().size(), 5);
    EXPECT_EQ(window->MnuMain->actions().at(1), window->MnuEdit->menuAction());
    EXPECT_EQ(window->MnuMain->actions().at(2), window->MnuView->menuAction());

    // The six background items are one radio group, tagged 0 to 5.
    const QList<QAction*> styles = window->MnuBack->actions();
    for (int i = 0; i < styles.size(); ++i) {
        EXPECT_EQ(styles[i]->property("tag").toInt(), i);
        EXPECT_EQ(styles[i]->actionGroup(), window->GrpBack);
    }
    EXPECT_TRUE(window->GrpBack->isExclusive());
}

TEST_F(WindowTest, StatusBarHasFivePanelsThatTakeTextAfterOneBlank) {
    // Side by side at their own widths, even where the window is too narrow for all of them.
    const int widths[] = {50, 150, 150, 150, 150};
    int left = 0;
    for (int i = 0; i < TFrmFR0010MN::PanelCount; ++i) {
        EXPECT_EQ(window->StbPanels[i]->width(), widths[i]) << i;
        EXPECT_EQ(window->StbPanels[i]->x(), left) << i;
        EXPECT_GT(window->StbPanels[i]->height(), 10) << i;
        left += widths[i];
    }
    EXPECT_EQ(window->StbInfo->height(), 19);
    window->SetStatusText(0, QStringLiteral("変更"));
    window->SetStatusText(4, QStringLiteral("L : -3 T : 7"));
    window->SetStatusText(2, QString());
    EXPECT_EQ(window->StatusText(0), QStringLiteral(" 変更"));
    EXPECT_EQ(window->StatusText(4), QStringLiteral(" L : -3 T : 7"));
    EXPECT_EQ(window->StatusText(2), QStringLiteral(" "));
    window->SetStatusText(5, QStringLiteral("nowhere"));
    window->ClearStatusTexts();
    for (int i = 0; i < TFrmFR0010MN::PanelCount; ++i)
        EXPECT_EQ(window->StatusText(i), QString()) << i;
}

TEST_F(WindowTest, WindowFontIsTheJapaneseGothicAtTwelvePixels) {
    EXPECT_EQ(window->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(window->font().pixelSize(), 12);
    EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(window->size(), QSize(640, 480));
}

TEST_F(WindowTest, HintsComeAfterFiftyMillisecondsAndStay) {
    QStyle* style = window->SpbWorkOpen->style();
    EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, window->SpbWorkOpen), 50);

    // The hint is up well before the toolkit's usual 700 ms.
    window->activateWindow();
    QTest::mouseMove(window->SpbWorkOpen, QPoint(5, 5));
    QTest::mouseMove(window->SpbWorkOpen, QPoint(6, 6));
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 400);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("開く"));
    QToolTip::hideText();
}

TEST_F(WindowTest, DragCursorIsAnInvertingFrameAroundACheckerboard) {
    const QCursor& cursor = window->DragCursor;
    EXPECT_EQ(cursor.hotSpot(), QPoint(15, 15));
    const QImage bitmap = cursor.bitmap().toImage();
    const QImage mask = cursor.mask().toImage();
    ASSERT_EQ(bitmap.size(), QSize(32, 32));
    // Qt's cursor bits: bitmap black + mask clear inverts, bitmap white + mask black is white,
    // both clear is see-through.
    const auto kind = [&](int x, int y) {
        const bool b = qGray(bitmap.pixel(x, y)) < 128;
        const bool m = qGray(mask.pixel(x, y)) < 128;
        return b && !m ? 'i' : !b && m ? 'w' : !b && !m ? 't' : 'k';
    };
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(kind(i, 0), 'i') << i;
        EXPECT_EQ(kind(i, 31), 'i') << i;
        EXPECT_EQ(kind(0, i), 'i') << i;
        EXPECT_EQ(kind(31, i), 'i') << i;
    }
    EXPECT_EQ(kind(1, 1), 'w');
    EXPECT_EQ(kind(2, 1), 't');
    EXPECT_EQ(kind(15, 15), 'w');
    EXPECT_EQ(kind(16, 15), 't');
    EXPECT_EQ(kind(30, 30), 'w');
}

TEST_F(WindowTest, EmptyImageAreaIsButtonShadow) {
    const QImage shot = window->PBMain->grab().toImage();
    const QRgb shadow = window->palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(shot.pixel(0, 0), shadow);
    EXPECT_EQ(shot.pixel(40, 40), shadow);
    EXPECT_EQ(window->ScbMain->viewport()->backgroundRole(), QPalette::Dark);
}

TEST_F(WindowTest, PaletteCellsShowFreeNumbersAndSilverWhenPlaced) {
    window->Doc.Map().InsertMarker(1, Markers::MakeMarker(0, 0));
    const QImage grid = window->DGMain->viewport()->grab().toImage();
    // Cell 0 (number 1) carries the raised button glyph: white highlight at its top left.
    EXPECT_EQ(grid.pixelColor(0, 0), QColor(Qt::white));
    // Cell 1 (number 2) is placed: plain silver.
    for (const QPoint p : {QPoint(32, 0), QPoint(48, 16), QPoint(63, 31)})
        EXPECT_EQ(grid.pixelColor(p), QColor(192, 192, 192)) << p.x() << "," << p.y();
    // Below the row the grid fills its own colour.
    if (grid.height() > 33) {
        EXPECT_EQ(grid.pixelColor(5, 33), QColor(192, 192, 192));
    }
}

// The palette is never erased before it paints: what a cell showed stays until the owner draws
// over it. A grid that lets the background be erased first loses it.
TEST_F(WindowTest, PaletteRepaintDoesNotEraseTheCellsFirst) {
    const auto shownAt = [&](QPoint p) {
        QWidget* top = window->window();
        const QImage shot = top->screen()->grabWindow(top->winId()).toImage();
        return shot.pixelColor(window->DGMain->viewport()->mapTo(top, p));
    };
    QObject::disconnect(window->DGMain, &DrawGrid::drawCell, nullptr, nullptr);
    bool drawRed = true;
    QObject::connect(window->DGMain, &DrawGrid::drawCell,
                     [&](QPainter* canvas, int, int, const QRect& rect) {
                         if (drawRed)
                             canvas->fillRect(rect, Qt::red);
                     });
    window->DGMain->viewport()->repaint();
    ASSERT_EQ(shownAt(QPoint(10, 10)), QColor(Qt::red));

    drawRed = false;
    window->DGMain->viewport()->repaint();
    EXPECT_EQ(shownAt(QPoint(10, 10)), QColor(Qt::red));

    // Contrast: with the erase step back, the cell no longer keeps its pixels.
    window->DGMain->SetOpaquePaint(false);
    window->DGMain->viewport()->repaint();
    EXPECT_NE(shownAt(QPoint(10, 10)), QColor(Qt::red));
}

TEST_F(WindowTest, CloseAsksOnlyWithUnsavedWorkAndOnlyYesCloses) {
    EXPECT_TRUE(window->close());

    window->show();
    makeModified();
    QString question;
    Gui::answerMessage(QStringLiteral("いいえ"), &question);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(question.contains(QStringLiteral("作業は保存されていません。")));

    // Closed from the title bar: the work stays.
    Gui::whenModal<QDialog>([](QDialog* d) { d->close(); });
    EXPECT_FALSE(window->close());

    Gui::answerMessage(QStringLiteral("はい"));
    EXPECT_TRUE(window->close());
}

TEST_F(WindowTest, ExitCommandClosesThroughTheGuard) {
    makeModified();
    Gui::answerMessage(QStringLiteral("いいえ"));
    window->MnuExit->trigger();
    EXPECT_TRUE(window->isVisible());
    window->Doc.MarkClean();
    window->MnuExit->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowTest, AboutBoxShowsNameVersionAndFields) {
    bool seen = false;
    Gui::whenModal<TFrmFR0000AB>([&](TFrmFR0000AB* box) {
        seen = true;
        EXPECT_EQ(FrmFR0000AB, box);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Pictanote Ver 1.0.3.0"));
        EXPECT_EQ(box->size(), QSize(257, 93));
        EXPECT_EQ(box->minimumSize(), box->maximumSize());
        EXPECT_EQ(box->BtnOKButton->geometry(), QRect(192, 64, 57, 25));
        EXPECT_TRUE(box->BtnOKButton->isDefault());
        EXPECT_EQ(box->ImgProgramIcon->geometry(), QRect(96, 8, 124, 36));
        EXPECT_EQ(box->ImgProgramIcon->pixmap().size(), QSize(124, 36));
        EXPECT_EQ(box->LblCopyright->geometry(), QRect(16, 56, 157, 11));
        EXPECT_EQ(box->LblComments->geometry(), QRect(16, 72, 86, 11));
        EXPECT_EQ(box->Image1->geometry(), QRect(40, 10, 32, 32));
        EXPECT_EQ(box->Image1->pixmap().size(), QSize(32, 32));
        QTest::keyClick(box, Qt::Key_Return);
    });
    window->MnuAbout->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(FrmFR0000AB, nullptr);
}

// The box is centred by halving with an arithmetic shift: a negative odd difference lands one
// pixel further left than a truncating division would.
TEST_F(WindowTest, AboutBoxIsPlacedOverTheWindowByArithmeticShift) {
    // Outer sizes: both windows carry the same frame on the test screen.
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    const QSize box = QSize(257, 93).grownBy(margins);
    const struct {
        const char* name;
        QRect main;  // outer rectangle
        QPoint expected;
    } rows[] = {
        // A 640 x 480 window at (100, 50) over a 263 x 120 box: the same differences, 377, 360.
        {"wider window", QRect(QPoint(100, 50), box + QSize(377, 360)), QPoint(288, 230)},
        // A window narrower than the box by 51: 26 pixels to the left, not 25.
        {"narrower window", QRect(QPoint(100, 50), box + QSize(-51, 360)), QPoint(74, 230)},
    };
    window->setMinimumSize(0, 0);
    for (const auto& row : rows) {
        EXPECT_EQ(TFrmFR0000AB::PlaceOver(row.main, box), row.expected) << row.name;
        window->setGeometry(row.main.marginsRemoved(margins));
        ASSERT_EQ(window->frameGeometry(), row.main) << row.name;
        QRect placed;
        Gui::whenModal<TFrmFR0000AB>([&](TFrmFR0000AB* b) {
            placed = b->frameGeometry();
            b->accept();
        });
        window->MnuAbout->trigger();
        EXPECT_EQ(placed, QRect(row.expected, box)) << row.name;
    }
}

// Repaints that change nothing (scrolling, exposing) copy the image composed last; the next
// change composes it anew. A pixel written into the canvas behind the compositor's back shows
// which of the two a paint did.
TEST_F(WindowTest, PaintsComposeOnlyAfterAChange) {
    Platform::Bitmap source(64, 48, 24);
    window->Doc.TakeSourceBitmap(std::move(source));
    window->Doc.Repaint();
    window->PBMain->repaint();
    Platform::Bitmap* canvas = window->Doc.Compositor().CanvasBitmap();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->pixel(5, 5), qRgb(0, 0, 0));

    uint8_t* pixel = canvas->scanLine(5) + 5 * 3;
    pixel[0] = pixel[1] = pixel[2] = 0xFF;
    window->PBMain->repaint();
    EXPECT_EQ(window->PBMain->grab().toImage().pixel(5, 5), qRgb(255, 255, 255));

    window->Doc.Repaint();
    window->PBMain->repaint();
    EXPECT_EQ(canvas->pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(window->PBMain->grab().toImage().pixel(5, 5), qRgb(0, 0, 0));
}
