#pragma once

#include <QApplication>

// The application object. Every handler shows its own errors where it starts (Guarded); this
// is only the last guard, which logs an error that was missed instead of letting it through
// the event loop.
class QuelmApplication final : public QApplication
{
    Q_OBJECT
public:
    QuelmApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
