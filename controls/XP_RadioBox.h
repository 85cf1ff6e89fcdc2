#pragma once

// The skinned radio box: a round 13 x 13 glyph from the strip XPRADIOBOX and the caption beside
// it, laid out and drawn as the check box is. Radio boxes with the same parent and GroupIndex
// exclude one another.

#include "controls/TCustomControl.h"

class TXP_RadioBox final : public TCustomControl
{
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)

public:
    explicit TXP_RadioBox(QWidget* parent = nullptr);

    bool Checked() const { return m_checked; }
    // Checking unchecks the other radio boxes of the same parent and group. Never calls OnClick.
    void SetChecked(bool value);
    int GroupIndex() const { return m_groupIndex; }
    // A plain store: no repaint, no other radio box touched.
    void SetGroupIndex(int groupIndex) { m_groupIndex = groupIndex; }
    using TCustomControl::Color;
    using TCustomControl::SetColor;

    QSize sizeHint() const override;

protected:
    void PaintSkin(QImage& skin, int frame) const override;
    void PaintDetail(QImage& canvas, int frame) const override;
    void MouseEnter() override { DrawState(m_checked ? 6 : 5); }
    // A user action checks; it never unchecks.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void Activate() override;
    bool DialogChar(QChar character) override;

private:
    int m_groupIndex = 0;
    bool m_checked = false;

    Q_DISABLE_COPY_MOVE(TXP_RadioBox)
};
