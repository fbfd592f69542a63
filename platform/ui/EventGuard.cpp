#include "ui/EventGuard.h"

#include "core/Exception.h"
#include "ui/ModalSeam.h"

QString WithFullStop(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void HandleException(const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    const QString text = own ? own->Message() : QString::fromLocal8Bit(error.what());
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
