#pragma once

#include <QString>

#include <stdexcept>

// The browser control refused a call; what() is a UTF-8 message for the error box.
class BrowserControlError final : public std::runtime_error
{
public:
    explicit BrowserControlError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
