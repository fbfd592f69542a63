#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QObject>
#include <ostream>
#include <stdexcept>

#include "support/ScriptedSeamFixture.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

// A named component of a form; a missing one fails the test instead of crashing it.
template <typename T>
T* Child(const QObject& form, const char* name) {
    T* found = form.findChild<T*>(QLatin1String(name));
    if (!found)
        throw std::runtime_error(std::string("no component named ") + name);
    return found;
}

// Clicks a button of a form shown by the scripted seam and answers with the form's result.
inline ScriptedModalSeam::FormScript ClickThen(const char* button) {
    return [button](QDialog& form) {
        Child<QAbstractButton>(form, button)->click();
        return form.result();
    };
}
