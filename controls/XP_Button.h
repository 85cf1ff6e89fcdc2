#pragma once

// The skinned push button: one frame of the strip XPBUTTON stretched to the button's size, the
// caption centred on it, optionally with a picture above or left of the caption.

#include "controls/TCustomControl.h"

#include <QImage>

class TXP_Button final : public TCustomControl
{
    Q_OBJECT
    Q_PROPERTY(QImage Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(TPicPos PicPos READ PicPos WRITE SetPicPos)
    Q_PROPERTY(bool PicTrans READ PicTrans WRITE SetPicTrans)
    Q_PROPERTY(quint32 PicTransColor READ PicTransColor WRITE SetPicTransColor)
    Q_PROPERTY(int PicOffSet READ PicOffSet WRITE SetPicOffSet)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)

public:
    enum TPicPos { pLeft = 0, pTop = 1 };
    Q_ENUM(TPicPos)
    // Looks, numbered as the frames of XPBUTTON. DrawState is asked for blNormal, blPressed or
    // blHot; the button's state turns them into blDisabled or blFocused.
    enum TButtonLook { blNormal = 1, blPressed = 2, blDisabled = 3, blHot = 4, blFocused = 5 };

    explicit TXP_Button(QWidget* parent = nullptr);

    QImage Picture() const { return m_picture; }
    void SetPicture(const QImage& picture)
    {
        m_picture = picture;
        repaint();
    }
    TPicPos PicPos() const { return m_picPos; }
    void SetPicPos(TPicPos picPos) { Change(m_picPos, picPos); }
    bool PicTrans() const { return m_picTrans; }
    void SetPicTrans(bool picTrans) { Change(m_picTrans, picTrans); }
    TColor PicTransColor() const { return m_picTransColor; }
    void SetPicTransColor(TColor color) { Change(m_picTransColor, color); }
    int PicOffSet() const { return m_picOffSet; }
    void SetPicOffSet(int offset) { Change(m_picOffSet, offset); }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int modalResult) { m_modalResult = modalResult; }
    bool Default() const { return m_default; }
    // Also makes every button of the form work out anew whether it answers Enter.
    void SetDefault(bool value);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value) { m_cancel = value; }

    // Whether Enter typed on the form clicks this button: it has the focus, or it is the default
    // button and the focus is on a control that is not a TXP_Button.
    bool AnswersEnter() const { return m_answersEnter; }

    // Hands ModalResult to the button's dialog, then calls OnClick. A non-zero result ends a
    // modally shown dialog once OnClick has returned.
    void Click();

    QSize sizeHint() const override { return {75, 24}; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void MouseEnter() override { DrawState(blHot); }
    void Activate() override { Click(); }
    bool DialogKey(const QKeyEvent& key) override;
    bool DialogChar(QChar character) override;
    void FocusedControlChanged(QWidget* sender) override;
    void PaintSkin(QImage& skin, int look) const override;
    void PaintDetail(QImage& canvas, int look) const override;

private:
    QImage m_picture;
    TPicPos m_picPos = pTop;
    bool m_picTrans = false;
    TColor m_picTransColor = clBlack;
    int m_picOffSet = 2;
    int m_modalResult = 0;
    bool m_default = false;
    bool m_cancel = false;
    bool m_answersEnter = false;
    bool m_clickStarted = false;

    Q_DISABLE_COPY_MOVE(TXP_Button)
};
