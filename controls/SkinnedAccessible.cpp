#include "controls/SkinnedAccessible.h"

#include "controls/SkinText.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"
#include "controls/XP_Url.h"

#include <QAccessible>
#include <QAccessibleWidget>

// One interface for all of them: they differ only in role. The state comes from the properties a
// control has (Checked, Default, Visited, Url); the press does what the control's own press does.
// A friend of TControl, so it lives outside the anonymous namespace.
class AccessibleSkinnedControl final : public QAccessibleWidget
{
public:
    AccessibleSkinnedControl(TControl* control, QAccessible::Role role) : QAccessibleWidget(control, role) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return SkinText::DisplayText(Control()->Caption());
        if (t == QAccessible::Value && role() == QAccessible::Link)
            return Control()->property("Url").toString();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const QVariant checked = Control()->property("Checked");
        s.checkable = checked.isValid();
        s.checked = checked.toBool();
        s.defaultButton = Control()->property("Default").toBool();
        s.linked = role() == QAccessible::Link;
        s.traversed = Control()->property("Visited").toBool();
        return s;
    }
    QStringList actionNames() const override
    {
        const QString first = role() == QAccessible::CheckBox ? toggleAction() : pressAction();
        return QStringList{first} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        const bool checkable = role() == QAccessible::CheckBox || role() == QAccessible::RadioButton;
        if (action == pressAction() || (action == toggleAction() && checkable)) {
            if (Control()->isEnabled())
                Control()->Activate();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    TControl* Control() const { return static_cast<TControl*>(widget()); }
};

namespace {

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    QAccessible::Role role = QAccessible::Link;
    if (qobject_cast<TXP_CheckBox*>(object))
        role = QAccessible::CheckBox;
    else if (qobject_cast<TXP_RadioBox*>(object))
        role = QAccessible::RadioButton;
    else if (qobject_cast<TXP_Button*>(object))
        role = QAccessible::Button;
    else if (!qobject_cast<TXP_Url*>(object))
        return nullptr;
    return new AccessibleSkinnedControl(static_cast<TControl*>(object), role);
}

} // namespace

namespace SkinnedAccessible {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

void CheckedChanged(QWidget* control)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}

void StateChanged(QWidget* control)
{
    QAccessible::State changed;
    changed.traversed = true;
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}

void NameChanged(QWidget* control)
{
    QAccessibleEvent event(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace SkinnedAccessible
