#pragma once

#include "ErrorBox.h"

#include <exception>
#include <type_traits>
#include <utility>

// Every handler connected to a signal, or called from an event filter, runs inside this: an
// error it throws (QuelmError or any other std::exception) is shown in the error box where the
// handler started, and never crosses a signal emission or the event loop, where Qt leaves it
// undefined.
template <typename Handler>
auto Guarded(Handler handler)
{
    return [handler = std::move(handler)](auto&&... args)
               -> std::enable_if_t<std::is_invocable_v<const Handler&, decltype(args)...>> {
        try {
            handler(std::forward<decltype(args)>(args)...);
        } catch (const std::exception& error) {
            ErrorBox::Show(QString::fromUtf8(error.what()));
        }
    };
}
