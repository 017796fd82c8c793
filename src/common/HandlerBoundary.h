#pragma once

#include <concepts>
#include <functional>
#include <utility>

// The boundary of an event handler that can reach the database. An error that
// escapes the handler's body is shown through the dialog seam (its
// description, critical icon, the application title) and goes no further: it
// never unwinds through Qt's signal and event code, and the window stays as
// the handler left it.

// Runs `body` at the boundary; false when an error ended it.
bool atHandlerBoundary(const std::function<void()>& body);

// A slot that runs `handler` at the boundary, with as many of the signal's
// arguments as `handler` takes:
//     connect(cmdSave, &QPushButton::clicked, this, boundary([this] { cmdSave_Click(); }));
template <class Handler>
auto boundary(Handler handler)
{
    return [handler = std::move(handler)](auto&&... args)
               requires std::invocable<const Handler&, decltype(args)...>
    {
        atHandlerBoundary([&] { handler(std::forward<decltype(args)>(args)...); });
    };
}
