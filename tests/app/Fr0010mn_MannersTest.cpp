// The window's everyday manners wired through real events: Ctrl+C, dropped files, the recent
// files menu, the remembered look across a restart, and the recovery question's Escape.
#include "Bmp.h"
#include "RecoveryKeeper.h"
#include "RecoveryOffer.h"
#include "WindowTestSupport.h"

#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>

namespace {

class MannersTest : public Gui::DocumentWindowTest {
protected:
    QString bitmapFile(const QString& name, int width, int height) {
        const QString file = path(name);
        Platform::Bmp::writeFile(TestSupport::gradient(width, height), file);
        return file;
    }
    QString workFile(const QString& name) {
        Document::Session maker;
        maker.Create();
        EXPECT_TRUE(maker.TakeSourceBitmap(TestSupport::solid(50, 40, kSourceColourOfWork)).Ok());
        maker.Place(4, Markers::MakeMarker(3, 3));
        EXPECT_TRUE(maker.SaveWorkFile(path(name)).Ok());
        return path(name);
    }
    // What a file manager's drop delivers; true when the window took it.
    bool drop(QMimeData& data) {
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &dropped);
        flush();
        return dropped.isAccepted();
    }
    bool dropFiles(const QStringList& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& f : files)
            urls << QUrl::fromLocalFile(f);
        data.setUrls(urls);
        return drop(data);
    }
    static constexpr QRgb kSourceColourOfWork = qRgb(20, 200, 90);
};

TEST_F(MannersTest, CtrlCPutsTheExportedPictureOnTheClipboard) {
    place(0, 20, 30);
    window->Doc.Map().SelectedKey = 0;  // a decoration on the screen, none on the picture
    QGuiApplication::clipboard()->clear();
    ASSERT_TRUE(window->MnuCopy->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);

    const QString exported = path(QStringLiteral("out.bmp"));
    ASSERT_TRUE(window->Doc.ExportBitmap(exported).Ok());
    const QImage expected =
        Platform::Bmp::readFile(exported).toQImage().convertToFormat(QImage::Format_RGB32);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasImage());
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              expected);
    EXPECT_EQ(QImage::fromData(data->data(QStringLiteral("image/png")), "PNG")
                  .convertToFormat(QImage::Format_RGB32),
              expected);
    EXPECT_FALSE(window->Doc.CanUndo()) << "copying is no step";

    window->Doc.New();
    EXPECT_FALSE(window->MnuCopy->isEnabled());
}

TEST_F(MannersTest, DroppedFilesOpenOrReplaceAsTheirCommandsDo) {
    const QString work = workFile(QStringLiteral("w.ptn"));
    const QString image = bitmapFile(QStringLiteral("i.bmp"), 70, 60);
    const QString other = bitmapFile(QStringLiteral("other.bmp"), 30, 20);

    // An image while a document is open replaces the source: one undo step, markers kept.
    place(2, 5, 5);
    ASSERT_TRUE(dropFiles({image, other}));
    EXPECT_EQ(window->Doc.ImageWidth(), 70) << "the first file is taken";
    EXPECT_TRUE(window->Doc.Map().IsPlaced(2));
    window->Doc.Undo();
    EXPECT_EQ(window->Doc.ImageWidth(), 640);

    // A work file opens as 開く does, with its question.
    makeModified();
    Gui::answerMessage(QStringLiteral("はい"));
    ASSERT_TRUE(dropFiles({work}));
    EXPECT_EQ(window->Doc.WorkSaveFileName(), work);
    EXPECT_TRUE(window->Doc.Map().IsPlaced(4));

    // An image without a document opens as 元画像を開く.
    window->Doc.New();
    ASSERT_TRUE(dropFiles({other}));
    EXPECT_EQ(window->Doc.ImageWidth(), 30);
    EXPECT_FALSE(window->Doc.CanUndo());
    EXPECT_EQ(window->Recent.Items().value(0), other);

    // Something that is not a file is refused.
    QMimeData text;
    text.setText(QStringLiteral("words"));
    EXPECT_FALSE(drop(text));
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://example.com/a.png"))});
    EXPECT_FALSE(drop(remote));
}

TEST_F(MannersTest, RecentFilesMenuOpensAndDropsMissingFiles) {
    const QString image = bitmapFile(QStringLiteral("a.bmp"), 80, 50);
    const QString gone = bitmapFile(QStringLiteral("gone.bmp"), 10, 10);
    window->Doc.New();
    ASSERT_TRUE(window->OpenSourceFile(gone));
    ASSERT_TRUE(window->OpenSourceFile(image));
    ASSERT_TRUE(window->SaveWork(path(QStringLiteral("saved.ptn"))));
    EXPECT_EQ(window->Recent.Items(),
              (QStringList{path(QStringLiteral("saved.ptn")), image, gone}));
    ASSERT_EQ(window->MnuRecent->actions().size(), 5);  // three, a line, 一覧を消去
    EXPECT_TRUE(window->MnuRecent->actions().at(0)->text().startsWith(QStringLiteral("&1 ")));

    ASSERT_TRUE(QFile::remove(gone));
    QString message;
    Gui::answerMessage(QStringLiteral("OK"), &message);
    window->MnuRecent->actions().at(2)->trigger();
    EXPECT_EQ(message.trimmed(), QStringLiteral("ファイル %1 は開けません").arg(gone));
    EXPECT_EQ(window->Recent.Items().size(), 2);
    EXPECT_EQ(window->Doc.ImageWidth(), 80) << "the document stays";

    window->Doc.MarkClean();
    window->MnuRecent->actions().at(1)->trigger();  // the image, opened again
    EXPECT_EQ(window->Doc.WorkSaveFileName(), QString());
    EXPECT_EQ(window->Recent.Items().value(0), image);

    window->MnuRecentClear->trigger();
    EXPECT_TRUE(window->Recent.Items().isEmpty());
    EXPECT_TRUE(Document::Settings::Read(window->SettingsFile).RecentFiles.isEmpty());
}

TEST_F(MannersTest, TheLookAndTheWindowComeBackAfterARestart) {
    window->MnuCircle2->trigger();  // the user's choices: remembered
    ASSERT_TRUE(window->Doc.SetMarkerSize(48));
    const QString work = workFile(QStringLiteral("w.ptn"));
    window->Doc.MarkClean();
    ASSERT_TRUE(window->OpenWorkFileAt(work));  // its own look, not remembered
    EXPECT_EQ(window->Doc.BackgroundStyle(), Markers::StyleButton);
    window->resize(700, 500);
    window->close();
    ASSERT_TRUE(QFile::exists(window->SettingsFile));
    const QString settings = window->SettingsFile;
    window->Doc.MarkClean();
    window.reset();

    TFrmFR0010MN next;
    EXPECT_EQ(next.Doc.BackgroundStyle(), Markers::StyleCircle2);
    EXPECT_TRUE(next.MnuCircle2->isChecked());
    next.Doc.New();
    EXPECT_EQ(next.Doc.MarkerSize(), 48);
    EXPECT_EQ(next.size(), QSize(700, 500));
    EXPECT_EQ(next.Recent.Items().value(0), work);
    EXPECT_TRUE(next.ODFile->selectedNameFilter().startsWith(QStringLiteral("画像ファイル(")));

    // A broken file is a first start.
    QFile broken(settings);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x01\x02[Appearance]\nStyle=77\n");
    broken.close();
    TFrmFR0010MN fresh;
    EXPECT_EQ(fresh.Doc.BackgroundStyle(), Markers::StyleButton);
    EXPECT_TRUE(fresh.Recent.Items().isEmpty());
}

TEST_F(MannersTest, EscapeOnTheRecoveryQuestionKeepsTheCopy) {
    const QString state = path(QStringLiteral("state"));
    {
        Document::Session crashed;
        crashed.Create();
        ASSERT_TRUE(crashed.TakeSourceBitmap(Platform::Bitmap(20, 20, 24)).Ok());
        Document::RecoveryKeeper keeper(crashed, state);
        crashed.Place(0, Markers::MakeMarker(1, 1));
        keeper.WriteLastCopy();
    }  // ended without a normal close
    window->Doc.New();
    {
        Document::RecoveryKeeper keeper(window->Doc, state);
        Gui::whenModal<QDialog>([](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); });
        EXPECT_FALSE(OfferRecovery(*window, keeper));
        EXPECT_FALSE(window->Doc.DocumentOpen());
        keeper.Discard();
    }
    Document::Session later;
    later.Create();
    Document::RecoveryKeeper next(later, state);
    EXPECT_NE(next.FindOrphan(), QString()) << "offered again at the next start";
    next.DiscardOrphan();
    next.Discard();
}

}  // namespace
