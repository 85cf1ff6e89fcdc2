#pragma once

// The skinned check box: a 13 x 13 glyph from the strip XPCHECKBOX and the caption beside it.

#include "controls/TCustomControl.h"

class TXP_CheckBox final : public TCustomControl
{
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)

public:
    explicit TXP_CheckBox(QWidget* parent = nullptr);

    bool Checked() const { return m_checked; }
    // Program code sets the state: repaints when it changes, never calls OnClick.
    void SetChecked(bool value);
    using TCustomControl::Color;
    using TCustomControl::SetColor;

    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void MouseEnter() override { DrawState(m_checked ? 6 : 5); }
    // Toggles: Enter, Space and assistive technology.
    void Activate() override;
    bool DialogChar(QChar character) override;
    void PaintSkin(QImage& skin, int frame) const override;
    void PaintDetail(QImage& canvas, int frame) const override;

private:
    bool m_checked = false;

    Q_DISABLE_COPY_MOVE(TXP_CheckBox)
};
