#pragma once

#include <QString>

#include <stdexcept>

// The external browser could not be started; what() is a UTF-8 message for the error box.
class BrowserStartError final : public std::runtime_error
{
public:
    explicit BrowserStartError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
