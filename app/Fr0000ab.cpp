#include "Fr0000ab.h"

#include "Common.h"
#include "Cp932.h"
#include "WindowImages.h"

#include <QEvent>
#include <QWindow>

Q_DECL_EXPORT TFrmFR0000AB* FrmFR0000AB = nullptr;

TFrmFR0000AB::TFrmFR0000AB(QWidget* owner) : QDialog(owner) {
    setupUi(this);
    // A fixed dialog frame: no resizing, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(257, 93);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    QFont small = font;
    small.setPixelSize(11);
    LblCopyright->setFont(small);
    LblComments->setFont(small);
    ImgProgramIcon->setPixmap(WindowImages::KeyedPixmap(QStringLiteral("ABOUTLOGO")));
    Image1->setPixmap(WindowImages::KeyedPixmap(QStringLiteral("MAINICON")));
    connect(BtnOKButton, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

void TFrmFR0000AB::FormCreate() {
    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" Ver ") +
                   Platform::Cp932::toUnicode(Common::GetFileVersion(Common::fvFileVersion)));
}

QPoint TFrmFR0000AB::PlaceOver(const QRect& owner, const QSize& box) {
    return QPoint(owner.left() + ((owner.width() - box.width()) >> 1),
                  owner.top() + ((owner.height() - box.height()) >> 1));
}

QSize TFrmFR0000AB::FramedSize(const QSize& client, const QWidget* model) {
    const QRect outer = model->frameGeometry();
    const QRect inner = model->geometry();
    return client.grownBy(QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                                   outer.right() - inner.right(), outer.bottom() - inner.bottom()));
}

QMargins TFrmFR0000AB::OwnFrame() const {
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void TFrmFR0000AB::PlaceOverOwner(QWidget* owner) {
    m_placeOver = owner;
    m_placedFramed = !OwnFrame().isNull();
    const QSize box = m_placedFramed ? size().grownBy(OwnFrame()) : FramedSize(size(), owner);
    move(PlaceOver(owner->frameGeometry(), box));
}

bool TFrmFR0000AB::event(QEvent* event) {
    // A window manager frames the box once it is shown, and may move it without telling; by the
    // first paint (or move) the frame is known, and the box is placed again by its framed size.
    const bool news = event->type() == QEvent::Move || event->type() == QEvent::Paint;
    if (news && m_placeOver && !m_placedFramed && isVisible() && !OwnFrame().isNull()) {
        m_placedFramed = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_placeOver)
                    move(PlaceOver(m_placeOver->frameGeometry(), size().grownBy(OwnFrame())));
            },
            Qt::QueuedConnection);
    }
    return QDialog::event(event);
}
