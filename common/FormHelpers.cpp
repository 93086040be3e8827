// Window placement, the edit-box input filter, list boxes and transparent text.
#include "Common.h"
#include "Cp932.h"
#include "PathRules.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QWindow>

namespace Common {
namespace {

// The last text CheckEdit accepted: one for the whole library, not one per edit box.
QString& lastAcceptedText() {
    static QString text;
    return text;
}

// Moves and sizes a window by its outer frame, as the window system places it.
void setFrameGeometry(QWidget* form, const QRect& frame) {
    const QSize decoration = form->frameGeometry().size() - form->geometry().size();
    form->move(frame.topLeft());
    form->resize(frame.size() - decoration);
}

// Items of one fixed height, like a fixed-height owner-drawn list.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    FixedHeightDelegate(QObject* parent, int height)
        : QStyledItemDelegate(parent), m_height(height) {}
    void setHeight(int height) { m_height = height; }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), m_height};
    }

private:
    int m_height;
};

}  // namespace

void SetFormSizeMax(QWidget* form) {
    if (!form)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Sized to the work area; the window state (maximised or not) is left as it is.
    setFrameGeometry(form, screen->availableGeometry());
}

void SetCaption(QWidget* form) {
    if (form)
        form->setWindowTitle(QCoreApplication::applicationName());
}

void SetFormCenter(QWidget* reference, QWidget* form) {
    if (!form)
        return;
    QRect area;
    if (reference) {
        area = reference->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = QRect(QPoint(0, 0), screen->geometry().size());
    } else {
        return;
    }
    const QSize size = form->frameGeometry().size();
    // Integer division truncating toward zero; nothing is clamped.
    form->move(area.x() + (area.width() - size.width()) / 2,
               area.y() + (area.height() - size.height()) / 2);
}

void CaptionClicked(QWidget* form) {
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (!form)
        return;
    if (QWindow* window = form->window()->windowHandle())
        window->startSystemMove();  // false where the window system cannot; nothing to do then
}

void SetCheck(QLineEdit* edit) {
    if (edit)
        lastAcceptedText() = edit->text();
}

void CheckEdit(QLineEdit* edit, const std::string& chars, bool allow) {
    if (!edit)
        return;
    const QString text = edit->text();
    const std::string bytes = Platform::Cp932::fromUnicode(text);
    const std::vector<bool> trail = Detail::trailBytes(bytes);
    const std::vector<bool> lead = Detail::leadBytes(bytes);
    int characters = 0;  // characters before position i, for the caret
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        // The second byte of a double-byte character is never in the list.
        const bool listed = !trail[i] && chars.find(bytes[i]) != std::string::npos;
        if (allow != listed) {
            // Restoring raises the change notification again; that nested call sees the
            // restored text and accepts it.
            const QString restore = lastAcceptedText();
            edit->setText(restore);
            edit->setCursorPosition(std::min(characters, static_cast<int>(restore.size())));
            return;
        }
        if (!lead[i])
            ++characters;
    }
    lastAcceptedText() = text;
}

void SetItemHeight(QListWidget* listBox, int height) {
    // An owner-drawn list's items are 1 to 255 pixels high; other heights are refused.
    if (!listBox || height < 1 || height > 255)
        return;
    if (auto* d = dynamic_cast<FixedHeightDelegate*>(listBox->itemDelegate()))
        d->setHeight(height);
    else
        listBox->setItemDelegate(new FixedHeightDelegate(listBox, height));
    listBox->doItemsLayout();
}

void SelectItem(QListWidget* listBox, bool select) {
    if (!listBox)
        return;
    const auto mode = listBox->selectionMode();
    if (mode != QAbstractItemView::MultiSelection && mode != QAbstractItemView::ExtendedSelection)
        return;  // only a multiple-selection list selects every item
    if (select)
        listBox->selectAll();
    else
        listBox->clearSelection();
}

void TransTextOut(QPainter* canvas, const QString& text, int x, int y) {
    if (!canvas || !canvas->isActive())
        return;
    const Qt::BGMode oldMode = canvas->backgroundMode();
    canvas->setBackgroundMode(Qt::TransparentMode);
    canvas->drawText(QPoint(x, y + canvas->fontMetrics().ascent()), text);
    canvas->setBackgroundMode(oldMode);
}

}  // namespace Common
