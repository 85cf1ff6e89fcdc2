#pragma once

// Form-level keys for the skinned controls. Qt has no "dialog key", "dialog character" or
// "focused control changed" notification, so this one mechanism stands in for them: a control
// attaches itself once, and from then on its top-level window offers every key press that came
// back untaken from the focused widget to the window's TControls, Alt plus a caption's
// accelerator reaches them through a window shortcut, and every focus change inside the window
// is announced to them. Windows need no call of their own.

class QChar;
class QKeyEvent;
class QString;
class QWidget;

namespace FormKeys {

// Called by TControl's constructor; follows the control into whatever window it is moved to.
void Attach(QWidget* control);

// Keeps control's Alt+accelerator shortcut in step with its caption.
void SetAccelerator(QWidget* control, const QString& caption);

// Offers key to the controls of from's window in their order until one takes it.
bool OfferDialogKey(QWidget* from, QKeyEvent* key);

// Offers character to the controls of from's window in their order until one claims it.
bool OfferDialogChar(QWidget* from, QChar character);

// Tells every control of window which control now holds its focus (window's focus widget).
void NotifyFocusedControlChanged(QWidget* window);

} // namespace FormKeys
