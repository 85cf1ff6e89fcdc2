#include "controls/SkinnedAccessible.h"

#include "controls/SkinText.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"
#include "controls/XP_Url.h"

#include <QAccessible>
#include <QAccessibleWidget>

// The interfaces are friends of their controls, so they live outside the anonymous namespace.
class AccessibleXPCheckBox final : public QAccessibleWidget
{
public:
    explicit AccessibleXPCheckBox(TXP_CheckBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return SkinText::DisplayText(Box()->Caption());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Box()->Checked();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == toggleAction() || action == pressAction()) {
            if (Box()->isEnabled())
                Box()->Toggle();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    TXP_CheckBox* Box() const { return static_cast<TXP_CheckBox*>(widget()); }
};

class AccessibleXPRadioBox final : public QAccessibleWidget
{
public:
    explicit AccessibleXPRadioBox(TXP_RadioBox* box) : QAccessibleWidget(box, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return SkinText::DisplayText(Box()->Caption());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Box()->Checked();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction() || action == toggleAction()) {
            if (Box()->isEnabled())
                Box()->Select();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    TXP_RadioBox* Box() const { return static_cast<TXP_RadioBox*>(widget()); }
};

class AccessibleXPButton final : public QAccessibleWidget
{
public:
    explicit AccessibleXPButton(TXP_Button* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return SkinText::DisplayText(Button()->Caption());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.defaultButton = Button()->Default();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction()) {
            if (Button()->isEnabled())
                Button()->Click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    TXP_Button* Button() const { return static_cast<TXP_Button*>(widget()); }
};

class AccessibleXPUrl final : public QAccessibleWidget
{
public:
    explicit AccessibleXPUrl(TXP_Url* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return SkinText::DisplayText(Link()->Caption());
        if (t == QAccessible::Value)
            return Link()->Url();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        s.traversed = Link()->Visited();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    // As a left click: the link opens, then OnClick.
    void doAction(const QString& action) override
    {
        if (action == pressAction()) {
            if (Link()->isEnabled()) {
                Link()->OpenLink();
                emit Link()->OnClick(Link());
            }
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    TXP_Url* Link() const { return static_cast<TXP_Url*>(widget()); }
};

namespace {

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    if (auto* box = qobject_cast<TXP_CheckBox*>(object))
        return new AccessibleXPCheckBox(box);
    if (auto* box = qobject_cast<TXP_RadioBox*>(object))
        return new AccessibleXPRadioBox(box);
    if (auto* button = qobject_cast<TXP_Button*>(object))
        return new AccessibleXPButton(button);
    if (auto* link = qobject_cast<TXP_Url*>(object))
        return new AccessibleXPUrl(link);
    return nullptr;
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
