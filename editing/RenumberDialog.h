#pragma once

#include <QDialog>

#include <cstdint>
#include <vector>

class QListWidget;
class QSpinBox;

// The dialog that gives the selected marker another number: a number field (1 to 99) with the
// marker's own number selected, so typing replaces it, beside the list of the numbers 1 to 99
// with the taken ones marked. Choosing a listed number puts it in the field. Enter confirms,
// Escape cancels.
class RenumberDialog : public QDialog {
    Q_OBJECT
public:
    explicit RenumberDialog(QWidget* parent = nullptr);

    // `number` (1 .. 99) in the field, selected; `taken` the numbers that have a marker.
    void SetNumbers(int number, const std::vector<int>& taken);
    int Number() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSpinBox* m_number = nullptr;
    QListWidget* m_list = nullptr;
};
