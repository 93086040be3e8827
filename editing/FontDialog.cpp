#include "FontDialog.h"

#include "DialogButtons.h"

#include "FontChoice.h"
#include "MarkerColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <array>

namespace {

// The names of the sixteen marker colours, in the order of their table.
const std::array<QString, Markers::kMarkerColors.size()> kColorNames = {
    QStringLiteral("黒"),       QStringLiteral("栗色"),   QStringLiteral("緑"),
    QStringLiteral("オリーブ"), QStringLiteral("濃紺"),   QStringLiteral("紫"),
    QStringLiteral("青緑"),     QStringLiteral("灰色"),   QStringLiteral("銀色"),
    QStringLiteral("赤"),       QStringLiteral("ライム"), QStringLiteral("黄"),
    QStringLiteral("青"),       QStringLiteral("赤紫"),   QStringLiteral("水色"),
    QStringLiteral("白"),
};

// Style list rows: regular, italic, bold, bold italic (bit 0 italic, bit 1 bold).
constexpr int kItalicBit = 1;
constexpr int kBoldBit = 2;

QString colorName(int32_t color) {
    for (std::size_t i = 0; i < Markers::kMarkerColors.size(); ++i) {
        if (Markers::kMarkerColors[i].color.value() == color)
            return kColorNames[i];
    }
    return color == Markers::clWindowText ? QStringLiteral("既定の色") : QStringLiteral("現在の色");
}

QPixmap swatch(int32_t color) {
    QPixmap pixmap(24, 12);
    pixmap.fill(Markers::ColorToQColor(color));
    return pixmap;
}

}  // namespace

FontDialog::FontDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("フォント"));

    m_family = new QComboBox(this);
    m_family->setObjectName(QStringLiteral("FamilyBox"));
    m_family->setMinimumContentsLength(20);
    m_style = new QComboBox(this);
    m_style->setObjectName(QStringLiteral("StyleBox"));
    m_style->addItems({QStringLiteral("標準"), QStringLiteral("斜体"), QStringLiteral("太字"),
                       QStringLiteral("太字 斜体")});
    m_size = new QSpinBox(this);
    m_size->setObjectName(QStringLiteral("SizeBox"));
    m_size->setRange(Markers::MinDialogFontSize, Markers::MaxDialogFontSize);

    auto* fontForm = new QFormLayout;
    fontForm->addRow(QStringLiteral("フォント名(&F):"), m_family);
    fontForm->addRow(QStringLiteral("スタイル(&Y):"), m_style);
    fontForm->addRow(QStringLiteral("サイズ(&S):"), m_size);

    m_strikeOut = new QCheckBox(QStringLiteral("取り消し線(&K)"), this);
    m_strikeOut->setObjectName(QStringLiteral("StrikeOutBox"));
    m_underline = new QCheckBox(QStringLiteral("下線(&U)"), this);
    m_underline->setObjectName(QStringLiteral("UnderlineBox"));
    m_color = new QComboBox(this);
    m_color->setObjectName(QStringLiteral("ColorBox"));
    auto* effects = new QGroupBox(QStringLiteral("文字飾り"), this);
    auto* effectsForm = new QFormLayout(effects);
    effectsForm->addRow(m_strikeOut);
    effectsForm->addRow(m_underline);
    effectsForm->addRow(QStringLiteral("色(&C):"), m_color);

    m_sample = new QLabel(QStringLiteral("Aa あア亜 123"), this);
    m_sample->setObjectName(QStringLiteral("SampleLabel"));
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setMinimumSize(160, 48);
    m_sample->setAutoFillBackground(true);
    auto* sample = new QGroupBox(QStringLiteral("サンプル"), this);
    (new QVBoxLayout(sample))->addWidget(m_sample);

    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sample, 1);

    m_buttons = MakeOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fontForm);
    layout->addLayout(lower);
    layout->addWidget(m_buttons);

    connect(m_family, &QComboBox::currentIndexChanged, this, &FontDialog::UpdateSample);
    connect(m_style, &QComboBox::currentIndexChanged, this, &FontDialog::UpdateSample);
    connect(m_size, &QSpinBox::valueChanged, this, &FontDialog::UpdateSample);
    connect(m_strikeOut, &QCheckBox::toggled, this, &FontDialog::UpdateSample);
    connect(m_underline, &QCheckBox::toggled, this, &FontDialog::UpdateSample);
    connect(m_color, &QComboBox::currentIndexChanged, this, &FontDialog::UpdateSample);

    SetMarkerFont(Markers::MarkerFont{});
}

void FontDialog::SetMarkerFont(const Markers::MarkerFont& font, int32_t markerSize) {
    const QSignalBlocker blockFamily(m_family);
    const QSignalBlocker blockColor(m_color);
    m_family->clear();
    m_family->addItems(Markers::OfferedFontFamilies(font.Name));
    m_family->setCurrentIndex(m_family->findText(font.Name));
    m_style->setCurrentIndex((font.Italic ? kItalicBit : 0) | (font.Bold ? kBoldBit : 0));
    m_size->setRange(Markers::MinFontSizeFor(markerSize), Markers::MaxFontSizeFor(markerSize));
    m_size->setValue(Markers::DialogFontSize(font.Size, markerSize));
    m_strikeOut->setChecked(font.StrikeOut);
    m_underline->setChecked(font.Underline);
    m_color->clear();
    for (const int32_t color : Markers::OfferedFontColors(font.Color))
        m_color->addItem(swatch(color), colorName(color), color);
    m_color->setCurrentIndex(m_color->findData(font.Color));
    UpdateSample();
}

Markers::MarkerFont FontDialog::SelectedFont() const {
    Markers::MarkerFont font;
    font.Name = m_family->currentText();
    font.Size = m_size->value();
    font.Color = m_color->currentData().toInt();
    font.Italic = (m_style->currentIndex() & kItalicBit) != 0;
    font.Bold = (m_style->currentIndex() & kBoldBit) != 0;
    font.Underline = m_underline->isChecked();
    font.StrikeOut = m_strikeOut->isChecked();
    return font;
}

void FontDialog::UpdateSample() {
    const Markers::MarkerFont font = SelectedFont();
    m_sample->setFont(font.ToQFont());
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, font.TextColor());
    // Silver, as behind the numbers of the palette strip, so a white sample stays readable.
    palette.setColor(QPalette::Window, QColor(192, 192, 192));
    m_sample->setPalette(palette);
    // Only a listed face can be confirmed.
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_family->currentIndex() >= 0);
}
