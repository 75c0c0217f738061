#pragma once

// What the benchmark tables share: timing, memory figures, and the table
// of rows each beside its floor, printed in Markdown.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double CpuMsSince(std::clock_t start) {
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

inline double MedianMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(MsSince(start));
    }
    return Median(times);
}

// A memory figure of this process from /proc/self/status ("VmHWM:", the peak
// resident memory so far; "VmRSS:", the resident memory now), in megabytes.
inline double StatusMb(const QByteArray& key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

inline double PeakMb() { return StatusMb("VmHWM:"); }
inline double ResidentMb() { return StatusMb("VmRSS:"); }

struct Row {
    std::string measure;
    double ours;
    double floor;
    const char* unit;
    // The most the ratio may be; 0: the row has no goal (it is there to
    // compare, or its floor leaves out work the program must do).
    double goal = 0;
};

// Goals, as ratios to the row's floor.
constexpr double kWithinHalfAgain = 1.5;
constexpr double kWithinTwice = 2;
constexpr double kNoMore = 1;

inline void Print(const std::vector<Row>& rows) {
    int width = 7;
    for (const Row& row : rows) width = std::max(width, static_cast<int>(row.measure.size()));
    std::printf("| %-*s | %12s | %12s | %6s | %8s | %4s |\n", width, "Measure", "Kalvor", "Floor", "Ratio", "Goal",
                "Met");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(static_cast<std::size_t>(width) + 2, '-').c_str(),
                std::string(14, '-').c_str(), std::string(14, '-').c_str(), std::string(8, '-').c_str(),
                std::string(10, '-').c_str(), std::string(6, '-').c_str());
    for (const Row& row : rows) {
        const auto text = [&](double v) {
            return QString::number(v, 'f', v < 10 ? 2 : 0).toStdString() + " " + row.unit;
        };
        const double ratio = row.floor > 0 ? row.ours / row.floor : 0.0;
        const std::string goal =
            row.goal > 0 ? "<= " + QString::number(row.goal).toStdString() + " x" : std::string("-");
        const char* met = row.goal <= 0 ? "-" : (row.floor > 0 && ratio <= row.goal ? "yes" : "NO");
        std::printf("| %-*s | %12s | %12s | %6.2f | %8s | %4s |\n", width, row.measure.c_str(), text(row.ours).c_str(),
                    text(row.floor).c_str(), ratio, goal.c_str(), met);
    }
}
