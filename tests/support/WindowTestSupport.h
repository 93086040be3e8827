#pragma once

// Driving the real main window and its modal dialogs from tests: each dialog is answered from
// a timer once it is up, and a watchdog closes a dialog nobody answered so a test fails
// instead of hanging.

#include "AddressSpaceLimit.h"
#include "DrawGrid.h"
#include "Fr0010mn.h"
#include "PaintBox.h"
#include "ReferenceRender.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "UserFolders.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUndoCommand>

#include <functional>
#include <memory>

namespace Gui {

// The caption without its access-key marker: "はい(&Y)" -> "はい(Y)".
inline QString plainCaption(QString text) {
    return text.remove(QLatin1Char('&'));
}

// All the text a dialog shows in its labels (a message box's text included).
inline QString dialogText(QWidget* dialog) {
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
        return box->text();
    QString all;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        all += label->text();
    return all;
}

// Presses the dialog's button whose caption starts with `caption` (access key ignored).
inline bool clickButton(QWidget* dialog, const QString& caption) {
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
        if (b->isVisible() && plainCaption(b->text()).startsWith(caption)) {
            b->click();
            return true;
        }
    }
    return false;
}

// The owner of the answers not yet given.
inline QObject& pendingAnswers() {
    static QObject owner;
    return owner;
}

// Runs `answer` on the next modal dialog of type T, once it is visible. Answers are taken in
// the order they were asked for.
template <class T = QDialog>
void whenModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer(&pendingAnswers());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        // Timers of one interval may fire out of turn on a busy machine: only the oldest
        // answer still waiting may take a dialog.
        if (pendingAnswers().children().constFirst() != timer)
            return;
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->setParent(nullptr);
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

// A message dialog: records its text into *text and presses the button `caption`.
inline void answerMessage(const QString& caption, QString* text = nullptr) {
    whenModal<QDialog>([caption, text](QDialog* d) {
        if (qobject_cast<QFileDialog*>(d)) {
            ADD_FAILURE() << "a file dialog came where a message was expected";
            d->reject();
            return;
        }
        if (text)
            *text = dialogText(d);
        if (!clickButton(d, caption)) {
            ADD_FAILURE() << "no button " << caption.toStdString();
            d->reject();
        }
    });
}

// A file dialog: records the name it offers into *offered, then accepts `path` typed into its
// name field (an empty path cancels it).
inline void answerFileDialog(const QString& path, QString* offered = nullptr) {
    whenModal<QFileDialog>([path, offered](QFileDialog* d) {
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (offered && edit)
            *offered = edit->text();
        if (path.isEmpty() || !edit) {
            d->reject();
            return;
        }
        // Typing into the focused name box drops the selection in the list (the name offered);
        // where the test's window is not active the box has no focus, so it is dropped here.
        if (auto* list = d->findChild<QAbstractItemView*>(QStringLiteral("listView")))
            list->clearSelection();
        edit->setText(path);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

// A fresh, shown main window per test, with a temporary folder; a dialog left unanswered for
// five seconds is closed and fails the test.
class WindowTest : public TestSupport::TempDirTest {
protected:
    void SetUp() override {
        // Every window starts as a first start does, whatever an earlier test remembered.
        QFile::remove(Platform::UserFolders::SettingsFile());
        window = std::make_unique<TFrmFR0010MN>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        m_watchdog.setInterval(5000);
        QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal == m_lastModal) {
                ADD_FAILURE() << "unanswered dialog: " << dialogText(modal).toStdString();
                modal->close();
            }
            m_lastModal = modal;
        });
        m_watchdog.start();
    }
    void TearDown() override {
        m_watchdog.stop();
        const auto unused = pendingAnswers().findChildren<QTimer*>();
        EXPECT_TRUE(unused.isEmpty()) << unused.size() << " expected dialog(s) never came";
        qDeleteAll(unused);
        if (window) {
            window->Doc.MarkClean();  // no question while the fixture closes the window
            window.reset();
        }
    }

    // What an editing command does to the document: a step in the history, the unsaved mark.
    void makeModified() {
        window->Doc.History().push(new QUndoCommand(QStringLiteral("edit")));
        window->SetStatusText(0, QStringLiteral("変更"));
    }

    std::unique_ptr<TFrmFR0010MN> window;

private:
    QTimer m_watchdog;
    QPointer<QWidget> m_lastModal;
};

inline constexpr QRgb kSourceColour = qRgb(100, 150, 200);
inline constexpr QRgb kSilver = qRgb(192, 192, 192);

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The main window at 800 x 600 with a plain 640 x 480 image open, and the mouse gestures of
// editing: the events go where the window system sends them, so a pointer that left the
// pressed widget with the button held still reports to that widget.
class DocumentWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        window->resize(800, 600);
        openImage(640, 480);
    }

    void openImage(int width, int height) {
        window->Doc.TakeSourceBitmap(TestSupport::solid(width, height, kSourceColour));
        window->Doc.Repaint();
        flush();
    }

    // Lets every pending repaint happen.
    static void flush() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // A marker put straight into the map, then shown as every command that changes the markers
    // shows it.
    Markers::Marker* place(int32_t key, int32_t left, int32_t top) {
        EXPECT_TRUE(window->Doc.Map().InsertMarker(key, Markers::MakeMarker(left, top)));
        window->Doc.Repaint();
        flush();
        return window->Doc.Map().MarkerOf(key);
    }

    QWidget* palette() const { return window->DGMain->viewport(); }
    QWidget* image() const { return window->PBMain; }
    QPoint cell(int column) const { return window->DGMain->CellRect(column, 0).center(); }
    QString panel(int i) const { return window->StatusText(i); }
    const Markers::Marker* markerOf(int32_t key) const { return window->Doc.Map().MarkerOf(key); }

    // What the screen shows, and what a Compositor of the test's own draws for the document.
    QImage shownCanvas() {
        return window->PBMain->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QImage expectedCanvas() { return TestSupport::referenceCanvas(window->Doc); }
    QImage shownCell(int column) {
        return palette()
            ->grab(window->DGMain->CellRect(column, 0))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    QImage expectedCell(int column) { return TestSupport::referenceCell(window->Doc, column); }

    // (x, y) of `over`, in the coordinates of the widget holding the mouse.
    static QPoint at(QWidget* holder, QWidget* over, QPoint p) {
        return holder->mapFromGlobal(over->mapToGlobal(p));
    }
    static void press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(w, b, {}, p);
    }
    static void moveHeld(QWidget* holder, QWidget* over, QPoint p) {
        QTest::mouseMove(holder, at(holder, over, p));
    }
    static void releaseHeld(QWidget* holder, QWidget* over, QPoint p,
                            Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(holder, b, {}, at(holder, over, p));
    }
    // Press, release, double-click and its release, as the window system reports them.
    static void doubleClick(QWidget* w, QPoint p) {
        QTest::mouseClick(w, Qt::LeftButton, {}, p);
        QTest::mouseDClick(w, Qt::LeftButton, {}, p);
        QTest::mouseRelease(w, Qt::LeftButton, {}, p);
    }

    // A number dragged from its palette cell and released at p of `over`.
    void dragFromPalette(int column, QWidget* over, QPoint p) {
        press(palette(), cell(column));
        QTest::mouseMove(palette(), cell(column) + QPoint(0, 6));
        moveHeld(palette(), over, p);
        releaseHeld(palette(), over, p);
    }
    // A marker (or anything) pressed at `from` on the image and released at p of `over`.
    void dragOnImage(QPoint from, QWidget* over, QPoint p) {
        press(image(), from);
        QTest::mouseMove(image(), from + QPoint(6, 6));
        moveHeld(image(), over, p);
        releaseHeld(image(), over, p);
    }

    // Every pixel of a palette cell as shown on the screen is silver (the number is placed).
    bool cellIsEmpty(int column) {
        const QImage shown = palette()->grab(window->DGMain->CellRect(column, 0)).toImage();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if ((shown.pixel(x, y) & 0xFFFFFF) != (kSilver & 0xFFFFFF))
                    return false;
        return true;
    }
};

}  // namespace Gui
