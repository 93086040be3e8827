// The message dialogs: five front ends of one modal dialog.
#include "Common.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <memory>

namespace Common {
namespace {

enum MsgKind { Warning, Error, Information, Confirmation };

// Result codes of the message functions.
constexpr int NoAnswer = 0;
constexpr int AnswerYesOk = 1;
constexpr int AnswerNo = 2;
constexpr int AnswerOther = 3;

QMessageBox::Icon iconOf(MsgKind kind) {
    switch (kind) {
        case Warning:
            return QMessageBox::Warning;
        case Error:
            return QMessageBox::Critical;
        case Information:
            return QMessageBox::Information;
        case Confirmation:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The standard dialog, placed over its owner once it knows its own size.
class MsgDialog : public QMessageBox {
public:
    MsgDialog(QWidget* owner, MsgKind kind, const QString& text, StandardButtons buttons)
        : QMessageBox(iconOf(kind), QString(), text, buttons, owner), m_owner(owner) {
        connect(this, &QMessageBox::buttonClicked, this,
                [this](QAbstractButton* b) { m_answered = standardButton(b); });
    }

    // The button that was pressed (by mouse, Enter or Escape); NoButton when the dialog was
    // closed from its title bar.
    StandardButton answered() const { return m_answered; }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // settles the dialog's size
        placeOverOwner();
    }

    // A window manager frames the dialog only once it is shown, and moves it without telling;
    // by the first paint the frame is known, and the dialog is centred again by its framed size.
    bool event(QEvent* event) override {
        if (!m_framed && isVisible() &&
            (event->type() == QEvent::Paint || event->type() == QEvent::Move) &&
            !ownFrame().isNull()) {
            m_framed = true;
            QMetaObject::invokeMethod(this, &MsgDialog::placeOverOwner, Qt::QueuedConnection);
        }
        return QMessageBox::event(event);
    }

private:
    QMargins ownFrame() const {
        return windowHandle() ? windowHandle()->frameMargins() : QMargins();
    }

    void placeOverOwner() {
        QRect area;
        QMargins frame = ownFrame();
        m_framed = !frame.isNull();
        if (m_owner) {
            const QWidget* owner = m_owner->window();
            area = owner->frameGeometry();
            // Until its own frame is known, the dialog's is taken to be like its owner's.
            if (!m_framed)
                frame = QMargins(owner->geometry().left() - area.left(),
                                 owner->geometry().top() - area.top(),
                                 area.right() - owner->geometry().right(),
                                 area.bottom() - owner->geometry().bottom());
        } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            area = screen->geometry();
        } else {
            return;
        }
        const QSize size = this->size().grownBy(frame);
        // Integer division truncating toward zero; not clamped to the screen.
        move(area.x() + (area.width() - size.width()) / 2,
             area.y() + (area.height() - size.height()) / 2);
    }

    QWidget* m_owner;
    StandardButton m_answered = NoButton;
    bool m_framed = false;
};

QString captionOf(QMessageBox::StandardButton b) {
    switch (b) {
        case QMessageBox::Yes:
            return QStringLiteral("はい(&Y)");
        case QMessageBox::No:
            return QStringLiteral("いいえ(&N)");
        case QMessageBox::Ok:
            return QStringLiteral("OK");
        case QMessageBox::Cancel:
            return QStringLiteral("キャンセル");
        default:
            return {};
    }
}

QString nameOf(QMessageBox::StandardButton b) {
    switch (b) {
        case QMessageBox::Yes:
            return QStringLiteral("Yes");
        case QMessageBox::No:
            return QStringLiteral("No");
        case QMessageBox::Ok:
            return QStringLiteral("OK");
        case QMessageBox::Cancel:
            return QStringLiteral("Cancel");
        default:
            return {};
    }
}

int ShowMsgDlg(QWidget* owner, const QString& text, MsgKind kind, int defaultButton,
               QMessageBox::StandardButtons buttons) {
    // A command that set a busy cursor gets the normal arrow back before its message.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();

    int result = NoAnswer;
    try {
        // The message always starts on the second line, below one empty line.
        auto dialog =
            std::make_unique<MsgDialog>(owner, kind, QStringLiteral("\n") + text, buttons);
        dialog->setTextFormat(Qt::PlainText);
        dialog->setWindowTitle(QCoreApplication::applicationName());

        // The standard buttons carry the standard captions and are named Yes, No, OK, Cancel.
        QList<QPushButton*> inOrder;
        for (QMessageBox::StandardButton b :
             {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel}) {
            if (auto* button = qobject_cast<QPushButton*>(dialog->button(b))) {
                button->setText(captionOf(b));
                button->setObjectName(nameOf(b));
                inOrder.append(button);
            }
        }
        const auto named = [&](const QString& name) -> QPushButton* {
            for (QPushButton* b : inOrder) {
                if (b->objectName().compare(name, Qt::CaseInsensitive) == 0)
                    return b;
            }
            return nullptr;
        };

        // Escape presses Cancel when offered, otherwise No, otherwise OK.
        for (QMessageBox::StandardButton b :
             {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok}) {
            if (auto* escape = qobject_cast<QPushButton*>(dialog->button(b))) {
                dialog->setEscapeButton(escape);
                break;
            }
        }

        // The focus: the first button unless the code and the button set move it.
        QPushButton* focus = inOrder.isEmpty() ? nullptr : inOrder.first();
        if (defaultButton != 0 && !(buttons & QMessageBox::Ok)) {
            focus = named(QStringLiteral("YES"));
            if (defaultButton == 2)
                focus = named(QStringLiteral("NO"));
            else if ((buttons & QMessageBox::Cancel) && defaultButton == 3)
                focus = named(QStringLiteral("CANCEL"));
        }
        if (focus)
            dialog->setDefaultButton(focus);

        const QPointer<MsgDialog> alive(dialog.get());
        dialog->exec();
        if (!alive) {
            // The owner went away during the answer and took its dialog with it.
            (void)dialog.release();
            return AnswerOther;
        }
        switch (dialog->answered()) {
            case QMessageBox::Ok:
            case QMessageBox::Yes:
                result = AnswerYesOk;
                break;
            case QMessageBox::No:
                result = AnswerNo;
                break;
            default:
                result = AnswerOther;
                break;
        }
    } catch (...) {
        // No answer; the dialog, if made, was destroyed on the way out.
    }
    return result;
}

}  // namespace

int InfoMsg(QWidget* owner, const QString& text) {
    return ShowMsgDlg(owner, text, Information, 0, QMessageBox::Ok);
}

int ErrMsg(QWidget* owner, const QString& text) {
    return ShowMsgDlg(owner, text, Warning, 0, QMessageBox::Ok);
}

int StopMsg(QWidget* owner, const QString& text) {
    return ShowMsgDlg(owner, text, Error, 0, QMessageBox::Ok);
}

int QryMsg(QWidget* owner, const QString& text, int defaultButton) {
    return ShowMsgDlg(owner, text, Confirmation, defaultButton, QMessageBox::Yes | QMessageBox::No);
}

int QryMsgEx(QWidget* owner, const QString& text, int defaultButton) {
    return ShowMsgDlg(owner, text, Confirmation, defaultButton,
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

}  // namespace Common
