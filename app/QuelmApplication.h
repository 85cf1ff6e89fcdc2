#pragma once

#include <QApplication>

// The application object. Its one job beyond QApplication is to be the single
// place where an error thrown by an event handler ends that handler and is
// shown in the standard error box; the program then carries on.
class QuelmApplication final : public QApplication
{
    Q_OBJECT
public:
    QuelmApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
