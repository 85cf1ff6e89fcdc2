#pragma once

// The framework's custom-drawn windowed control: it takes the focus, sits in the tab order and
// paints itself whole. Each paint composes the control off-screen at the window's device pixel
// ratio and copies it in one block transfer; the background is never erased first, so nothing
// flickers. The composition has two layers: the skin, painted at the control's own size and
// enlarged by whole pixels, and the detail (captions, pictures, focus rectangle) painted over it at
// full resolution.

#include "controls/TControl.h"
#include "controls/XP_Unit.h"

#include <QImage>

class TCustomControl : public TControl
{
    Q_OBJECT
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

public:
    bool TabStop() const;
    void SetTabStop(bool tabStop);
    // True between the control's gaining and losing the keyboard focus.
    bool HasFocus() const { return m_hasFocus; }

    // Paints the control now in the requested look (a frame number of its strip); the control's
    // state may turn it into another. A paint for any other reason asks for look 1.
    void DrawState(int look);

    void FocusedControlChanged(QWidget* sender) override;

protected:
    explicit TCustomControl(QWidget* parent);

    // After Qt's own handling and HasFocus set; both repaint.
    virtual void FocusGained() { repaint(); }
    virtual void FocusLost() { repaint(); }

    // skin: the control's size at ratio 1, to be covered completely.
    virtual void PaintSkin(QImage& skin, int look) const = 0;
    // canvas: the enlarged skin, carrying the device pixel ratio; paint in the control's coordinates.
    virtual void PaintDetail(QImage& canvas, int look) const = 0;

    // The background colour; published by the controls that have one.
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    void paintEvent(QPaintEvent* event) override;
    // Enter and Space activate the control; Enter goes to the form first, for a default button.
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Marks the pointer inside: a left press captures the mouse.
    void mousePressEvent(QMouseEvent* event) override;
    // Qt holds back enter and leave while a button is down; the look follows the pointer anyway.
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TColor m_color = clBtnFace;
    bool m_hasFocus = false;
    int m_requestedLook = 1;

    Q_DISABLE_COPY_MOVE(TCustomControl)
};
