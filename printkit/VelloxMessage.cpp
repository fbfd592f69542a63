#include "VelloxMessage.h"

bool TVelloxMessageEvent::IsVelloxMessage(const QEvent& event) {
    const int type = event.type();
    return (type == WM_PAGESTART || type == WM_REGENERATE || type == WM_EXPORTSHEET) &&
           dynamic_cast<const TVelloxMessageEvent*>(&event) != nullptr;
}
