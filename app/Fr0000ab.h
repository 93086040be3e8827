#pragma once

#include "ui_Fr0000ab.h"

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

// The About box: the program's name, version, icon and rights notice in a small fixed dialog.
class TFrmFR0000AB : public QDialog, public Ui::TFrmFR0000AB {
    Q_OBJECT
public:
    explicit TFrmFR0000AB(QWidget* owner);

    void FormCreate();

    // Where the box goes over its owner: the owner's left + ((owner width - box width) shifted
    // right by one bit), the same for top and height. The shift rounds toward minus infinity,
    // so a box wider than its owner by an odd amount lands one pixel further left.
    static QPoint PlaceOver(const QRect& owner, const QSize& box);
    // The frame of a window that has none yet, taken to be like `model`'s.
    static QSize FramedSize(const QSize& client, const QWidget* model);

    // Places the box over `owner` by PlaceOver, measured with its frame. A window manager frames
    // the box only once it is shown: until then the owner's frame stands in for the box's, and
    // the box is placed again as soon as its own frame is known (a move or the first paint).
    void PlaceOverOwner(QWidget* owner);

protected:
    bool event(QEvent* event) override;

private:
    QMargins OwnFrame() const;

    QPointer<QWidget> m_placeOver;
    bool m_placedFramed = false;
};

// The About box while it is shown (none otherwise).
// Exported by name from the program, like the main window's reference.
extern Q_DECL_EXPORT TFrmFR0000AB* FrmFR0000AB;
