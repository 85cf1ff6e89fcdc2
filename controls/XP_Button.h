#pragma once

// The skinned push button: one frame of the strip XPBUTTON stretched to the button's size, the
// caption centred on it, optionally with a picture above or left of the caption.

#include "controls/FormKeyControl.h"
#include "controls/XP_Unit.h"

#include <QImage>
#include <QString>
#include <QWidget>

class TXP_Button final : public QWidget, public FormKeyControl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)
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
    // Looks, numbered as the frames of XPBUTTON.
    enum TButtonLook { blNormal = 1, blPressed = 2, blDisabled = 3, blHot = 4, blFocused = 5 };

    explicit TXP_Button(QWidget* parent = nullptr);
    ~TXP_Button() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool TabStop() const;
    void SetTabStop(bool tabStop);
    QImage Picture() const { return m_picture; }
    void SetPicture(const QImage& picture);
    TPicPos PicPos() const { return m_picPos; }
    void SetPicPos(TPicPos picPos);
    bool PicTrans() const { return m_picTrans; }
    void SetPicTrans(bool picTrans);
    TColor PicTransColor() const { return m_picTransColor; }
    void SetPicTransColor(TColor color);
    int PicOffSet() const { return m_picOffSet; }
    void SetPicOffSet(int offset);
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
    bool HasFocus() const { return m_hasFocus; }

    // Hands ModalResult to the button's dialog, then calls OnClick. A non-zero result ends a
    // modally shown dialog once OnClick has returned.
    void Click();
    // Paints the button now. Callers ask for blNormal, blPressed or blHot; the button's state
    // turns them into blDisabled or blFocused.
    void DrawState(int look);

    QSize sizeHint() const override;

signals:
    void OnClick(QObject* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    bool DialogKey(const QKeyEvent& key) override;
    bool DialogChar(QChar character) override;
    void FocusedControlChanged(QWidget* sender) override;

private:
    QImage Compose(int look) const;
    void DrawPicture(QImage& canvas, int x, int y) const;

    QString m_caption;
    QImage m_picture;
    TPicPos m_picPos = pTop;
    bool m_picTrans = false;
    TColor m_picTransColor = clBlack;
    int m_picOffSet = 2;
    int m_modalResult = 0;
    bool m_default = false;
    bool m_cancel = false;
    bool m_answersEnter = false;
    bool m_hasFocus = false;
    bool m_clickStarted = false;
    bool m_pointerInside = false;
    int m_requestedLook = blNormal;

    Q_DISABLE_COPY_MOVE(TXP_Button)
};
