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

// The check box's drawing, which the radio box shares: a glyph of the strip at the left edge,
// vertically centred, and the caption 4 pixels right of it.
namespace GlyphBox {

// The strip frame for the state: disabled 3 or 4; checked 2, or 6 when 6 is requested; unchecked
// the request (1 or 5).
int Frame(bool enabled, bool checked, int requested);
// skin in color, and the glyph over it.
void PaintGlyph(QImage& skin, TColor color, const QImage& glyph);
// The caption, grey when disabled, and while focused the focus rectangle around it.
void PaintCaption(QImage& canvas, const TCustomControl& box);
QSize SizeHint(const TCustomControl& box);

} // namespace GlyphBox
