#pragma once

// The framework's control, which the skinned controls build on: a caption with its accelerator,
// and the notifications they react to as virtual hooks. Qt's enter, leave and change events arrive
// here; the form-level ones (dialog key, dialog character, focused control changed), which Qt does
// not have, are delivered by FormKeys.

#include <QString>
#include <QWidget>

class QKeyEvent;

class TControl : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    QString Caption() const { return m_caption; }
    // Also renews the accelerator and the name assistive technology reads; CaptionChanged follows.
    void SetCaption(const QString& caption);

    // A key the focused control did not take (Enter, Escape, ...); true when this control takes it.
    virtual bool DialogKey(const QKeyEvent& key);
    // A typed character offered as a possible accelerator; true when this control claims it.
    virtual bool DialogChar(QChar character);
    // The form's focused control is now sender (null when the form has none).
    virtual void FocusedControlChanged(QWidget* sender);

signals:
    void OnClick(QObject* sender);

protected:
    explicit TControl(QWidget* parent);

    // After Qt's own handling. Entering draws nothing by default; the others repaint.
    virtual void MouseEnter() {}
    virtual void MouseLeave() { repaint(); }
    virtual void EnabledChanged() { repaint(); }
    virtual void FontChanged() { repaint(); }
    virtual void CaptionChanged() { repaint(); }
    // What a user's press of the control does: by Enter or Space on a windowed control, and through
    // assistive technology.
    virtual void Activate() = 0;

    // Whether character is the caption's accelerator and the control, enabled and shown, may act on it.
    bool AcceleratorTyped(QChar character) const;
    bool PointerInside() const { return m_pointerInside; }
    void SetPointerInside(bool inside) { m_pointerInside = inside; }
    // A guarded property write: stores and repaints only when the value differs.
    template <class T>
    void Change(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        repaint();
    }

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The second press of a double click is no press.
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    friend class AccessibleSkinnedControl;

    QString m_caption;
    bool m_pointerInside = false;

    Q_DISABLE_COPY_MOVE(TControl)
};
