#pragma once

#include <QByteArray>
#include <QFile>

// One memory figure of this process from /proc/self/status ("VmHWM:", the peak resident
// memory, or "VmRSS:", the current one), in kB; -1 when it cannot be read.
inline long ProcessStatusKb(const char* name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qsizetype(qstrlen(name))).trimmed().split(' ').first().toLong();
    return -1;
}
