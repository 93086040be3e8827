// The shell of the main window: start-up, shut-down, command states, status bar, painting of
// the image and the palette, the About box command.
#include "Fr0010mn.h"

#include "CanvasView.h"
#include "Common.h"
#include "Cp932.h"
#include "Fr0000ab.h"
#include "HintTiming.h"
#include "ImageFile.h"
#include "StatusPanel.h"
#include "ToolkitError.h"
#include "WindowImages.h"
#include "WindowMessages.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QPainter>

Q_DECL_EXPORT TFrmFR0010MN* FrmFR0010MN = nullptr;

namespace {

constexpr int kPaletteColumns = 99;
constexpr std::array<int, TFrmFR0010MN::PanelCount> kPanelWidths = {50, 150, 150, 150, 150};

QFont windowFont() {
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

}  // namespace

TFrmFR0010MN::TFrmFR0010MN(QWidget* parent) : QMainWindow(parent) {
    FrmFR0010MN = this;
    Markers::InstallFontSubstitutions();
    setupUi(this);
    SetUpComponents();
    ConnectCommands();
    FormCreate();
}

TFrmFR0010MN::~TFrmFR0010MN() {
    FormDestroy();
    if (FrmFR0010MN == this)
        FrmFR0010MN = nullptr;
}

// What the layout file cannot say: pixel-sized fonts, images, the status panels, the grid's
// geometry and the file dialogs.
void TFrmFR0010MN::SetUpComponents() {
    setFont(windowFont());
    setWindowIcon(WindowImages::MainIcon());

    const std::pair<QToolButton*, const char*> glyphs[] = {
        {SpbWorkOpen, "WORKOPEN"}, {SpbWorkSave, "WORKSAVE"}, {SpbWorkSaveAs, "WORKSAVEAS"},
        {SpbOpen, "OPEN"},         {SpbPaste, "PASTE"},       {SpbSave, "SAVE"},
        {SpbSaveAs, "SAVEAS"},     {SpbFont, "FONT"},         {SpbButton, "BUTTON"},
        {SpbBox1, "BOX1"},         {SpbBox2, "BOX2"},         {SpbCircle1, "CIRCLE1"},
        {SpbCircle2, "CIRCLE2"},
    };
    for (const auto& [button, name] : glyphs)
        button->setIcon(WindowImages::ButtonIcon(QString::fromLatin1(name)));

    // The line along the top of the tool bar follows the bar's width.
    PnlTop->installEventFilter(this);

    LblDummy->setFont(Doc.Font().ToQFont());

    DGMain->SetGridSize(kPaletteColumns, 1);
    DGMain->SetCellSize(Markers::GlyphSize, Markers::GlyphSize);
    DGMain->SetColor(QColor(192, 192, 192));

    ScbMain->viewport()->setBackgroundRole(QPalette::Dark);
    ScbMain->viewport()->setAutoFillBackground(true);

    // The panels stand in a strip of their own, so their widths hold whatever the window's.
    StbInfo->setSizeGripEnabled(true);
    m_panelStrip = new QWidget(StbInfo);
    m_panelStrip->setObjectName(QStringLiteral("StbPanels"));
    StbInfo->addWidget(m_panelStrip, 1);
    int left = 0;
    for (int i = 0; i < PanelCount; ++i) {
        StbPanels[i] = new StatusPanel(m_panelStrip);
        StbPanels[i]->setObjectName(QStringLiteral("StbPanel%1").arg(i));
        StbPanels[i]->setGeometry(left, 0, kPanelWidths[i], m_panelStrip->height());
        left += kPanelWidths[i];
    }
    m_panelStrip->installEventFilter(this);

    ODFile = new QFileDialog(this);
    ODFile->setObjectName(QStringLiteral("ODFile"));
    ODFile->setAcceptMode(QFileDialog::AcceptOpen);
    ODFile->setFileMode(QFileDialog::ExistingFile);
    ODFile->setWindowTitle(QStringLiteral("開く"));
    // Bitmaps first, as always; then every image format the toolkit reads here.
    ODFile->setNameFilters({QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)"), Platform::readableImageFilter()});

    SDFile = new QFileDialog(this);
    SDFile->setObjectName(QStringLiteral("SDFile"));
    SDFile->setAcceptMode(QFileDialog::AcceptSave);
    SDFile->setFileMode(QFileDialog::AnyFile);
    SDFile->setWindowTitle(QStringLiteral("名前を付けてビットマップ出力"));
    SDFile->setDefaultSuffix(QStringLiteral("bmp"));
    SDFile->setNameFilters({QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)"), QStringLiteral("PNGﾌｧｲﾙ(*.png)")});
    // A name typed without a suffix takes the chosen filter's; the suffix chooses the format.
    // The dialog announces no change of filter while it is open, so its type list is watched.
    if (auto* types = SDFile->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        connect(types, &QComboBox::currentIndexChanged, SDFile, [this] {
            const bool png = SDFile->selectedNameFilter().contains(QStringLiteral("*.png"));
            SDFile->setDefaultSuffix(png ? QStringLiteral("png") : QStringLiteral("bmp"));
        });
    }
}

// Commands whose behaviour exists are wired here; a tool button raises its menu item's handler.
void TFrmFR0010MN::ConnectCommands() {
    connect(MnuNew, &QAction::triggered, this, &TFrmFR0010MN::MnuNewClick);
    connect(MnuOpen, &QAction::triggered, this, &TFrmFR0010MN::MnuOpenClick);
    connect(SpbOpen, &QToolButton::clicked, this, &TFrmFR0010MN::MnuOpenClick);
    connect(MnuClip, &QAction::triggered, this, &TFrmFR0010MN::MnuClipClick);
    connect(SpbPaste, &QToolButton::clicked, this, &TFrmFR0010MN::MnuClipClick);
    connect(MnuSave, &QAction::triggered, this, &TFrmFR0010MN::MnuSaveClick);
    connect(SpbSave, &QToolButton::clicked, this, &TFrmFR0010MN::MnuSaveClick);
    connect(MnuSaveAs, &QAction::triggered, this, &TFrmFR0010MN::MnuSaveAsClick);
    connect(SpbSaveAs, &QToolButton::clicked, this, &TFrmFR0010MN::MnuSaveAsClick);
    connect(MnuExit, &QAction::triggered, this, &TFrmFR0010MN::MnuExitClick);
    connect(MnuAbout, &QAction::triggered, this, &TFrmFR0010MN::MnuAboutClick);
    connect(PBMain, &PaintBox::paint, this, &TFrmFR0010MN::PBMainPaint);
    connect(DGMain, &DrawGrid::drawCell, this, &TFrmFR0010MN::DGMainDrawCell);
    connect(&Doc, &Document::Session::changed, this, &TFrmFR0010MN::DocumentChanged);
    ConnectView();
    ConnectWorkFile();
    ConnectEdit();
    ConnectAppearance();
    ConnectMouse();
    ConnectManners();
    ConnectMarkerSize();
}

void TFrmFR0010MN::FormCreate() {
    m_hints = new HintTiming(this);
    for (QToolButton* button : PnlTop->findChildren<QToolButton*>())
        m_hints->Attach(button);

    DGMainWndProc();
    DGMain->setFont(LblDummy->font());

    ClearStatusTexts();
    RubberBand.Active = false;
    DragFromCanvas = false;
    SetDocumentState(false);

    setWindowTitle(QCoreApplication::applicationName() + QStringLiteral(" Ver ") +
                   Platform::Cp932::toUnicode(Common::GetFileVersion(Common::fvFileVersion)));

    DragCursor = WindowImages::DragCursor();

    // Without its glyphs and bitmaps the window cannot draw a document: the program then ends
    // as soon as its event loop starts, after the message.
    try {
        Doc.Create(DGMain->DefaultColWidth(), DGMain->DefaultRowHeight());
        m_created = true;
        TakeRememberedAppearance();
    } catch (const Platform::ToolkitError& e) {
        Common::ErrMsg(this, e.message());
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
}

void TFrmFR0010MN::FormDestroy() {
    Doc.Destroy();
}

void TFrmFR0010MN::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TFrmFR0010MN::FormCloseQuery(bool& CanClose) {
    if (!Doc.Modified())
        return;
    CanClose = Common::QryMsg(this, App::Texts::discardQuestion(), 2) == 1;
}

// Only Yes lets the work go. A failed dialog (0) or one closed any other way keeps it, as at
// closing.
bool TFrmFR0010MN::ConfirmDiscard() {
    if (!Doc.Modified())
        return true;
    return Common::QryMsg(this, App::Texts::discardQuestion(), 2) == 1;
}

void TFrmFR0010MN::SetDocumentState(bool open) {
    SpbOpen->setEnabled(!open);
    SpbPaste->setEnabled(!open);
    for (QToolButton* b : {SpbWorkSave, SpbWorkSaveAs, SpbSave, SpbSaveAs, SpbFont})
        b->setEnabled(open);
    for (QToolButton* b : {SpbNone, SpbButton, SpbBox1, SpbBox2, SpbCircle1, SpbCircle2})
        b->setEnabled(open);
    DGMain->setEnabled(open);
    MnuOpen->setEnabled(!open);
    MnuClip->setEnabled(!open);
    for (QAction* a : {MnuWorkSave, MnuWorkSaveAs, MnuSave, MnuSaveAs})
        a->setEnabled(open);
    MnuFont->setEnabled(open);
    MnuBack->menuAction()->setEnabled(open);
    for (QAction* a : {MnuNone, MnuButton, MnuBox1, MnuBox2, MnuCircle1, MnuCircle2})
        a->setEnabled(open);
}

void TFrmFR0010MN::SetStatusText(int panel, const QString& text) {
    if (panel < 0 || panel >= PanelCount)
        return;
    StbPanels[panel]->setText(QStringLiteral(" ") + text);
}

void TFrmFR0010MN::ClearStatusTexts() {
    for (StatusPanel* panel : StbPanels)
        panel->clear();
}

QString TFrmFR0010MN::StatusText(int panel) const {
    if (panel < 0 || panel >= PanelCount)
        return {};
    return StbPanels[panel]->text();
}

void TFrmFR0010MN::DGMainWndProc() {
    DGMain->SetOpaquePaint(true);
}

void TFrmFR0010MN::DGMainDrawCell(QPainter* canvas, int column, int, const QRect& rect) {
    Markers::Compositor& compositor = Doc.Compositor();
    Platform::Bitmap* cell = compositor.CellBitmap();
    if (!cell)
        return;
    const QRect r = compositor.DrawPaletteCell(Doc.Map(), column, rect.width(), rect.height());
    if (r.isEmpty())
        return;
    canvas->drawImage(rect.topLeft(), cell->view(), r);
}

// The screen image is composed once after however many changes came before the paint (only
// the changed part when an edit named it), and only the part to repaint is drawn on the
// screen, at the view's zoom; the rubber band is drawn over it.
void TFrmFR0010MN::PBMainPaint(QPainter* canvas, const QRect& clip) {
    if (Doc.DocumentOpen()) {
        if (Platform::Bitmap* image = Doc.ScreenImage(); image && !image->isNull()) {
            View->Paint(*canvas, clip, image->view());
            PaintViewDecorations(canvas, clip);
            PaintRubberBand(canvas, clip);
            return;
        }
    }
    canvas->fillRect(clip.intersected(PBMain->rect()), palette().color(QPalette::Dark));
}

void TFrmFR0010MN::DocumentChanged(Document::Changes what) {
    using Document::Change;
    if (what & Change::Reset) {
        ClearStatusTexts();
        TypedNumber.clear();
        DGMain->SetLeftCol(0);
    }
    if (what & Change::ImageSize) {
        ViewImageSizeChanged(what);
        ShowImageSize();
        // A replaced image may have taken the selection rectangle with it.
        if (!(what & Change::Reset) && !Doc.Map().HasSelectionRect()) {
            SetStatusText(PanelBandCorners, QString());
            SetStatusText(PanelBandSize, QString());
        }
    }
    if (what & Change::OpenState)
        SetDocumentState(Doc.DocumentOpen());
    if (what & Change::Appearance) {
        const QFont drawn = Doc.Font().ToQFont();
        LblDummy->setFont(drawn);
        DGMain->setFont(drawn);
        ShowBackgroundStyle(Doc.BackgroundStyle());
    }
    if (what & Change::Modified)
        SetStatusText(PanelModified, Doc.Modified() ? QStringLiteral("変更") : QString());
    if (what & Change::MarkerPosition) {
        if (const Markers::Marker* m = Doc.Map().MarkerOf(Doc.Map().SelectedKey))
            ShowMarkerPosition(m->Left, m->Top);
        else
            SetStatusText(PanelMarkerPosition, QString());
    }
    if (what & Change::Canvas)
        ViewCanvasChanged();
    if (what & (Change::Palette | Change::Appearance))
        DGMain->viewport()->update();
    UpdateEditMenu();
    ShowZoom();
}

bool TFrmFR0010MN::ReportFailure(const Document::Result& result) {
    for (const QString& message : result.Errors)
        Common::ErrMsg(this, message);
    return result.Ok();
}

void TFrmFR0010MN::MnuExitClick() {
    close();
}

void TFrmFR0010MN::MnuAboutClick() {
    FrmFR0000AB = nullptr;
    try {
        FrmFR0000AB = new TFrmFR0000AB(this);
        FrmFR0000AB->PlaceOverOwner(this);
        FrmFR0000AB->exec();
        // Destroyed once control is back in the event loop; the reference does not outlive it.
        FrmFR0000AB->deleteLater();
        FrmFR0000AB = nullptr;
    } catch (const Platform::ToolkitError& e) {
        delete FrmFR0000AB;
        FrmFR0000AB = nullptr;
        Common::ErrMsg(this, e.message());
    }
}

bool TFrmFR0010MN::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PnlTop && event->type() == QEvent::Resize)
        BvlTop->resize(PnlTop->width(), BvlTop->height());
    if (watched == m_panelStrip && event->type() == QEvent::Resize) {
        for (StatusPanel* panel : StbPanels)
            panel->resize(panel->width(), m_panelStrip->height());
    }
    return QMainWindow::eventFilter(watched, event);
}
