#pragma once

#include <QDialog>

#include <cstdint>

class QListWidget;
class QSpinBox;

// The dialog for the document's marker size: a field (16 to 128 pixels) with the size in effect
// selected, so typing replaces it, beside a list of the usual sizes. Choosing a listed size puts
// it in the field; a typed size that is listed is marked in the list. Enter confirms, Escape
// cancels.
class MarkerSizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit MarkerSizeDialog(QWidget* parent = nullptr);

    // `size` in the field (held to 16 .. 128), selected.
    void SetMarkerSize(int32_t size);
    int32_t MarkerSize() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSpinBox* m_size = nullptr;
    QListWidget* m_list = nullptr;
};
