#pragma once

#include <QObject>

// Gives a component its name, which is also how tests and callers find it.
template <typename T>
T* Named(T* component, const char* name) {
    component->setObjectName(QLatin1String(name));
    return component;
}
