#pragma once

// Accessibility for the skinned controls: without it a screen reader sees only blank widgets.
// Each control gets an interface with its role (push button, check box, radio button, link), its
// caption as the name and, where it has one, its checked state; its press or toggle action does
// what a click does.

class QWidget;

namespace SkinnedAccessible {

// Registers the factory; the controls call it themselves, more calls do nothing.
void Install();

// Announcements to assistive technology after a change of the control.
void CheckedChanged(QWidget* control);
void StateChanged(QWidget* control);
void NameChanged(QWidget* control);

} // namespace SkinnedAccessible
