#pragma once

// Small helpers shared by the benchmark programs: a monotonic clock, medians, /proc readings and
// the one-line "key=value" output the driver reads.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace Bench {

inline qint64 NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A field of /proc/<pid>/status in kB ("VmHWM", "VmRSS"); -1 when it cannot be read.
inline long StatusKb(long pid, const char* field)
{
    QFile file(pid > 0 ? QStringLiteral("/proc/%1/status").arg(pid) : QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// One result line: "name key=value key=value ...".
inline void Report(const QString& name, const QList<QPair<QString, double>>& values)
{
    QByteArray line = name.toUtf8();
    for (const auto& [key, value] : values)
        line += ' ' + key.toUtf8() + '=' + QByteArray::number(value, 'f', 3);
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

} // namespace Bench
