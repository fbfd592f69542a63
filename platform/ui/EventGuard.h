#pragma once

#include <QString>
#include <exception>
#include <functional>

// The text the default handler shows: a full stop is added when the last character sorts
// after "." (a letter or a digit, for instance).
QString WithFullStop(const QString& message);

// The application's default handler: shows the error's text in the error box.
void HandleException(const std::exception& error);

// Runs before the default handler shows an error, wherever it came from (a button, a key in
// the grid, a repaint that read rows), and gives the text to show. The main window uses it to
// notice a connection lost under any of them. Null (the default): the error's own text.
void SetErrorReview(std::function<QString(const QString& message)> review);

// Runs one event handler; whatever it throws ends in the default handler, never in Qt.
void Guarded(const std::function<void()>& handler);

// Wraps a handler for connecting to a Qt signal.
template <typename F>
auto Guard(F handler) {
    return [handler](auto&&...) { Guarded(handler); };
}
