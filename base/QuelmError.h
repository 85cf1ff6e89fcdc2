#pragma once

#include <QString>

#include <stdexcept>

// A failure the user must be told about: a setting that cannot be read or written, a browser
// that cannot be started, a browser helper or control that refused. what() is UTF-8 text for
// the error box.
class QuelmError final : public std::runtime_error
{
public:
    explicit QuelmError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
