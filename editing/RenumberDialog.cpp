#include "RenumberDialog.h"

#include "DialogButtons.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kHighestNumber = 99;

}  // namespace

RenumberDialog::RenumberDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("番号の変更"));

    m_number = new QSpinBox(this);
    m_number->setObjectName(QStringLiteral("SpnNumber"));
    m_number->setRange(1, kHighestNumber);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("LstNumbers"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setMinimumHeight(200);
    for (int n = 1; n <= kHighestNumber; ++n)
        m_list->addItem(QString::number(n));
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            m_number->setValue(row + 1);
    });

    auto* buttons = MakeOkCancelButtons(this);

    auto* label = new QLabel(QStringLiteral("番号(&N):"), this);
    label->setBuddy(m_number);
    auto* field = new QVBoxLayout;
    field->addWidget(label);
    field->addWidget(m_number);
    field->addWidget(new QLabel(QStringLiteral("● 使用中の番号\n(入れ替わります)"), this));
    field->addStretch();
    auto* row = new QHBoxLayout;
    row->addLayout(field);
    row->addWidget(m_list);
    auto* all = new QVBoxLayout(this);
    all->addLayout(row);
    all->addWidget(buttons);
}

void RenumberDialog::SetNumbers(int number, const std::vector<int>& taken) {
    for (int n = 1; n <= kHighestNumber; ++n) {
        const bool used = std::find(taken.begin(), taken.end(), n) != taken.end();
        m_list->item(n - 1)->setText(used ? QStringLiteral("%1 ●").arg(n) : QString::number(n));
    }
    m_number->setValue(std::clamp(number, 1, kHighestNumber));
}

int RenumberDialog::Number() const {
    return m_number->value();
}

// The field has the focus with its number selected, so the first digit typed replaces it.
void RenumberDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_list->scrollToItem(m_list->item(m_number->value() - 1));
    m_number->setFocus(Qt::OtherFocusReason);
    m_number->selectAll();
}
