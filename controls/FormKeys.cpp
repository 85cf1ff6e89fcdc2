#include "controls/FormKeys.h"

#include "controls/SkinText.h"
#include "controls/TControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QShortcutEvent>
#include <QWidget>

#include <vector>

namespace {

constexpr char kWindowMark[] = "_quelm_formKeys";
constexpr char kAcceleratorId[] = "_quelm_acceleratorId";

struct Member
{
    QPointer<QWidget> widget;
    TControl* control = nullptr;
};

// The window's controls in their order (depth first, each parent before its children). Guarded
// pointers, because a handler may delete controls while the others are still being offered to.
std::vector<Member> MembersOf(QWidget* window)
{
    std::vector<Member> members;
    if (!window)
        return members;
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (auto* control = qobject_cast<TControl*>(child))
            members.push_back({child, control});
    }
    return members;
}

class FormKeysHub final : public QObject
{
public:
    explicit FormKeysHub(QObject* parent) : QObject(parent)
    {
        connect(qApp, &QApplication::focusChanged, this, &FormKeysHub::FocusChanged);
    }

    static FormKeysHub& Instance()
    {
        static QPointer<FormKeysHub> hub;
        if (!hub)
            hub = new FormKeysHub(qApp);
        return *hub;
    }

    void WatchWindowOf(QWidget* control)
    {
        QWidget* window = control->window();
        if (window->property(kWindowMark).toBool())
            return;
        window->setProperty(kWindowMark, true);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::ParentChange:
        case QEvent::Polish:
        case QEvent::Show:
            if (qobject_cast<TControl*>(widget))
                WatchWindowOf(widget);
            break;
        case QEvent::Shortcut:
            return AcceleratorShortcut(widget, static_cast<QShortcutEvent*>(event));
        case QEvent::KeyPress:
            if (widget->isWindow())
                return UntakenKey(widget, static_cast<QKeyEvent*>(event));
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool AcceleratorShortcut(QWidget* control, QShortcutEvent* event)
    {
        const QVariant id = control->property(kAcceleratorId);
        if (!id.isValid() || id.toInt() != event->shortcutId())
            return false;
        const QString text = control->property("Caption").toString();
        FormKeys::OfferDialogChar(control, SkinText::Accelerator(text));
        return true;
    }

    bool UntakenKey(QWidget* window, QKeyEvent* key)
    {
        if (FormKeys::OfferDialogKey(window, key))
            return true;
        const QString text = key->text();
        if (text.isEmpty() || text.at(0) < QLatin1Char(' ') || (key->modifiers() & Qt::ControlModifier))
            return false;
        if (!FormKeys::OfferDialogChar(window, text.at(0)))
            return false;
        key->accept();
        return true;
    }

    void FocusChanged(QWidget*, QWidget* now)
    {
        if (now && now->window()->property(kWindowMark).toBool())
            FormKeys::NotifyFocusedControlChanged(now->window());
    }
};

} // namespace

namespace FormKeys {

void Attach(QWidget* control)
{
    FormKeysHub& hub = FormKeysHub::Instance();
    control->installEventFilter(&hub);
    hub.WatchWindowOf(control);
}

void SetAccelerator(QWidget* control, const QString& caption)
{
    const QVariant old = control->property(kAcceleratorId);
    if (old.isValid())
        control->releaseShortcut(old.toInt());
    control->setProperty(kAcceleratorId, QVariant());
    const QChar accelerator = SkinText::Accelerator(caption);
    if (accelerator.isNull())
        return;
    const QKeySequence sequence(QKeyCombination(Qt::AltModifier, Qt::Key(accelerator.toUpper().unicode())));
    control->setProperty(kAcceleratorId, control->grabShortcut(sequence, Qt::WindowShortcut));
}

bool OfferDialogKey(QWidget* from, QKeyEvent* key)
{
    for (const Member& member : MembersOf(from->window())) {
        if (member.widget && member.control->DialogKey(*key)) {
            key->accept();
            return true;
        }
    }
    return false;
}

bool OfferDialogChar(QWidget* from, QChar character)
{
    if (character.isNull())
        return false;
    for (const Member& member : MembersOf(from->window())) {
        if (member.widget && member.control->DialogChar(character))
            return true;
    }
    return false;
}

void NotifyFocusedControlChanged(QWidget* window)
{
    QPointer<QWidget> sender = window->focusWidget();
    for (const Member& member : MembersOf(window)) {
        if (member.widget)
            member.control->FocusedControlChanged(sender);
    }
}

} // namespace FormKeys
