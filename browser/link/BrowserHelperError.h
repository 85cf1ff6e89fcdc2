#pragma once

#include <QString>

#include <stdexcept>

// The browser helper could not be found or started, or stopped listening;
// what() is a UTF-8 message for the error box.
class BrowserHelperError final : public std::runtime_error
{
public:
    explicit BrowserHelperError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
