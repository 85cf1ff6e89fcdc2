#pragma once

#include <QApplication>

// The application object of both programs. Every handler shows its own errors where it starts
// (Guarded); this is only the last guard, which logs an error that was missed instead of
// letting it through the event loop, where Qt leaves it undefined.
class GuardedApplication : public QApplication
{
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
