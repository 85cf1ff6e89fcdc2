#pragma once

#include <functional>

class QObject;
class QWidget;

// Runs work once, right after the shown window's first frame: it is queued from the window's
// first expose, while which the frame is painted, so the frame waits for none of it. Nothing
// runs if context is gone by then.
void AfterFirstFrame(QWidget& window, QObject* context, std::function<void()> work);
