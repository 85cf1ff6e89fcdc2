#pragma once

// The skinned radio box: a round 13 x 13 glyph from the strip XPRADIOBOX and the caption beside
// it. Radio boxes with the same parent and GroupIndex exclude one another.

#include "controls/FormKeyControl.h"
#include "controls/XP_Unit.h"

#include <QString>
#include <QWidget>

class TXP_RadioBox final : public QWidget, public FormKeyControl
{
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)
    Q_PROPERTY(bool TabStop READ TabStop WRITE SetTabStop)

public:
    explicit TXP_RadioBox(QWidget* parent = nullptr);
    ~TXP_RadioBox() override;

    bool Checked() const { return m_checked; }
    // Checking unchecks the other radio boxes of the same parent and group. Never calls OnClick.
    void SetChecked(bool value);
    int GroupIndex() const { return m_groupIndex; }
    // A plain store: no repaint, no other radio box touched.
    void SetGroupIndex(int groupIndex) { m_groupIndex = groupIndex; }
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
    friend class AccessibleXPRadioBox;
    // What Enter, Space and the accessible action do.
    void Select();
    void PointerEntered();
    QImage Compose(int frame) const;

    QString m_caption;
    TColor m_color = clWindowBackground;
    bool m_checked = false;
    int m_groupIndex = 0;
    bool m_hasFocus = false;
    bool m_pointerInside = false;
    int m_requestedFrame = 1;

    Q_DISABLE_COPY_MOVE(TXP_RadioBox)
};
