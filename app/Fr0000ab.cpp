#include "Fr0000ab.h"

#include "Common.h"
#include "Cp932.h"
#include "WindowImages.h"

TFrmFR0000AB* FrmFR0000AB = nullptr;

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
