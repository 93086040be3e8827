#pragma once

// Driving the real main window and its modal dialogs from tests: each dialog is answered from
// a timer once it is up, and a watchdog closes a dialog nobody answered so a test fails
// instead of hanging.

#include "Fr0010mn.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUndoCommand>

#include <sys/resource.h>
#include <unistd.h>

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
        edit->setText(path);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

// While it lives, the process may take only `headroom` bytes of address space beyond what it
// uses now, so a large allocation fails as it would on a machine short of memory.
class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t headroom) {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly) || getrlimit(RLIMIT_AS, &m_old) != 0) {
            ADD_FAILURE() << "cannot read the address space in use";
            return;
        }
        const rlim_t used = statm.readAll().split(' ').at(0).toULongLong() *
                            static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
        rlimit narrow = m_old;
        narrow.rlim_cur = used + headroom;
        m_set = setrlimit(RLIMIT_AS, &narrow) == 0;
        EXPECT_TRUE(m_set);
    }
    ~AddressSpaceLimit() {
        if (m_set)
            setrlimit(RLIMIT_AS, &m_old);
    }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit m_old{};
    bool m_set = false;
};

// A fresh, shown main window per test, with a temporary folder; a dialog left unanswered for
// five seconds is closed and fails the test.
class WindowTest : public TestSupport::TempDirTest {
protected:
    void SetUp() override {
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

}  // namespace Gui
