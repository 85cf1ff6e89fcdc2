#include "controls/TControl.h"

#include "controls/FormKeys.h"
#include "controls/SkinText.h"
#include "controls/SkinnedAccessible.h"

#include <QEvent>

TControl::TControl(QWidget* parent) : QWidget(parent)
{
    SkinnedAccessible::Install();
    FormKeys::Attach(this);
}

void TControl::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    FormKeys::SetAccelerator(this, caption);
    SkinnedAccessible::NameChanged(this);
    CaptionChanged();
}

bool TControl::DialogKey(const QKeyEvent&)
{
    return false;
}

bool TControl::DialogChar(QChar)
{
    return false;
}

void TControl::FocusedControlChanged(QWidget*) {}

bool TControl::AcceleratorTyped(QChar character) const
{
    return SkinText::IsAccelerator(character, m_caption) && isEnabled() && isVisible();
}

void TControl::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    m_pointerInside = true;
    MouseEnter();
}

void TControl::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_pointerInside = false;
    MouseLeave();
}

void TControl::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        EnabledChanged();
    else if (event->type() == QEvent::FontChange)
        FontChanged();
}
