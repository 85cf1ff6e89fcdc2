#pragma once

// What a skinned control can be told by its form: the keys and characters nobody else took,
// and which control of the form now holds the focus. FormKeys delivers these.

#include <QtGlobal>

class QChar;
class QKeyEvent;
class QWidget;

class FormKeyControl
{
public:
    // A key the focused control did not take (Enter, Escape, ...); true when this control takes it.
    virtual bool DialogKey(const QKeyEvent& key);
    // A typed character offered as a possible accelerator; true when this control claims it.
    virtual bool DialogChar(QChar character);
    // The form's focused control is now sender (null when the form has none).
    virtual void FocusedControlChanged(QWidget* sender);

protected:
    FormKeyControl() = default;
    ~FormKeyControl() = default;
    Q_DISABLE_COPY_MOVE(FormKeyControl)
};
