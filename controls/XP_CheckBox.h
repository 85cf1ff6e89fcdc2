#pragma once

// The skinned check box: a 13 x 13 glyph from the strip XPCHECKBOX and the caption beside it.

#include "controls/FormKeyControl.h"
#include "controls/XP_Unit.h"

#include <QString>
#include <QWidget>

class TXP_CheckBox final : public QWidget, public FormKeyControl
{
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

public:
    explicit TXP_CheckBox(QWidget* parent = nullptr);
    ~TXP_CheckBox() override;

    bool Checked() const { return m_checked; }
    // Program code sets the state: repaints when it changes, never calls OnClick.
    void SetChecked(bool value);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    bool TabStop() const;
    void SetTabStop(bool tabStop);
    bool HasFocus() const { return m_hasFocus; }

    // Paints the control now; frame 1 is the resting look, 5 and 6 the hot ones.
    void DrawState(int frame);

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

    bool DialogChar(QChar character) override;
    void FocusedControlChanged(QWidget* sender) override;

private:
    friend class AccessibleXPCheckBox;
    // What Enter, Space, the accelerator and the accessible toggle do.
    void Toggle();
    void PointerEntered();
    QImage Compose(int frame) const;

    QString m_caption;
    TColor m_color = clWindowBackground;
    bool m_checked = false;
    bool m_hasFocus = false;
    bool m_pointerInside = false;
    int m_requestedFrame = 1;

    Q_DISABLE_COPY_MOVE(TXP_CheckBox)
};
