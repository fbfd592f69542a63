#include "ui/EventGuard.h"

#include "core/Exception.h"
#include "ui/ModalSeam.h"

QString WithFullStop(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

namespace {
std::function<QString(const QString&)>& ErrorReview() {
    static std::function<QString(const QString&)> review;
    return review;
}
}  // namespace

void SetErrorReview(std::function<QString(const QString& message)> review) {
    ErrorReview() = std::move(review);
}

void HandleException(const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    QString text = own ? own->Message() : QString::fromLocal8Bit(error.what());
    if (ErrorReview()) {
        // The review may fail itself (closing a broken connection); the error still shows.
        try {
            text = ErrorReview()(text);
        } catch (...) {
        }
    }
    Modal().ErrorBox(WithFullStop(text));
}

void Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        HandleException(error);
    } catch (...) {
        Modal().ErrorBox(QStringLiteral("Unknown error."));
    }
}
