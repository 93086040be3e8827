#include "MarkerSizeDialog.h"

#include "DialogButtons.h"

#include "Marker.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

// The sizes offered in the list: the glyphs' own 32, and steps of about a third either way.
constexpr std::array<int32_t, 9> kListedSizes{16, 24, 32, 40, 48, 64, 80, 96, 128};

}  // namespace

MarkerSizeDialog::MarkerSizeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("マーカーの大きさ"));

    m_size = new QSpinBox(this);
    m_size->setObjectName(QStringLiteral("SpnMarkerSize"));
    m_size->setRange(Markers::MinMarkerSize, Markers::MaxMarkerSize);
    m_size->setSuffix(QStringLiteral(" ピクセル"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("LstMarkerSizes"));
    m_list->setFocusPolicy(Qt::NoFocus);
    for (const int32_t size : kListedSizes)
        m_list->addItem(QString::number(size));
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < static_cast<int>(kListedSizes.size()))
            m_size->setValue(kListedSizes[static_cast<std::size_t>(row)]);
    });
    connect(m_size, &QSpinBox::valueChanged, this, [this](int value) {
        const auto it = std::find(kListedSizes.begin(), kListedSizes.end(), value);
        const QSignalBlocker block(m_list);
        m_list->setCurrentRow(
            it == kListedSizes.end() ? -1 : static_cast<int>(it - kListedSizes.begin()));
    });

    auto* buttons = MakeOkCancelButtons(this);

    auto* label = new QLabel(QStringLiteral("大きさ(&S):"), this);
    label->setBuddy(m_size);
    auto* field = new QVBoxLayout;
    field->addWidget(label);
    field->addWidget(m_size);
    field->addStretch();
    auto* row = new QHBoxLayout;
    row->addLayout(field);
    row->addWidget(m_list);
    auto* all = new QVBoxLayout(this);
    all->addLayout(row);
    all->addWidget(buttons);
}

void MarkerSizeDialog::SetMarkerSize(int32_t size) {
    m_size->setValue(std::clamp(size, Markers::MinMarkerSize, Markers::MaxMarkerSize));
}

int32_t MarkerSizeDialog::MarkerSize() const {
    return m_size->value();
}

// The field has the focus with its size selected, so the first digit typed replaces it.
void MarkerSizeDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_size->setFocus(Qt::OtherFocusReason);
    m_size->selectAll();
}
