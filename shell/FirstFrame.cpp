#include "FirstFrame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

class ExposeWatch final : public QObject
{
public:
    ExposeWatch(QObject* context, std::function<void()> work) : QObject(context), m_work(std::move(work)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, parent(), std::move(m_work));
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_work;
};

} // namespace

void AfterFirstFrame(QWidget& window, QObject* context, std::function<void()> work)
{
    QWindow* handle = window.windowHandle();
    if (!handle || handle->isExposed())
        QTimer::singleShot(0, context, std::move(work));
    else
        handle->installEventFilter(new ExposeWatch(context, std::move(work)));
}
