// SPDX-License-Identifier: MIT
// Times selection capture on the real desktop: from the moment the shortcut fires to the
// moment the captured text is in hand, through AT-SPI or through the copy command, over
// many runs against whatever window is in front (run-capture-benchmark.sh puts Mousepad
// there with its text selected). Prints every run and then the median and the 95th
// percentile, and fails when a run captures nothing or captures by the other method.
//
//   capture_benchmark --method ax|clipboard [--runs N] [--expect TEXT]
#include "app/null/NullSecureInput.h"
#include "capture/SelectionCapture.h"
#include "core/Log.h"
#include "core/SystemClock.h"
#include "platform/atspi/AtspiFocusedTextReader.h"
#include "platform/x11/EwmhFrontmostWindows.h"
#include "platform/x11/XTestKeystrokeSender.h"
#include "platform/x11/XcbPasteboard.h"
#include "settings/Preferences.h"
#include "settings/UserDefaults.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <qcoro/qcorotimer.h>
#include <vector>

namespace {

// The capture's log lines would only interleave with the figures.
class SilentLogSink final : public LogSink {
public:
    void write(LogLevel, LogCategory, const QString&) override {}
};

// The nearest-rank percentile: the smallest sample with at least p % of them at or below.
double percentile(std::vector<double> samples, double p)
{
    std::sort(samples.begin(), samples.end());
    const auto rank = std::size_t(std::ceil(p / 100.0 * double(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

struct Options {
    CaptureMethod method = CaptureMethod::ax;
    int runs = 30;
    std::optional<QString> expected;
};

QCoro::Task<int> measure(Options options)
{
    SystemClock clock;
    EwmhFrontmostWindows windows(clock);
    AtspiFocusedTextReader accessibility;
    NullSecureInput secureInput;
    OwnKeyboardGrab ownGrab;
    XTestKeystrokeSender keys(secureInput, ownGrab, clock);
    XcbPasteboard pasteboard(clock);
    const Preferences preferences{UserDefaults::standard()};
    SelectionCapture capture(windows, accessibility, secureInput, keys, pasteboard, clock,
                             preferences);

    std::vector<double> milliseconds;
    for (int run = 1; run <= options.runs; ++run) {
        QElapsedTimer elapsed;
        elapsed.start();
        const std::optional<CapturedSelection> captured = co_await capture.capture();
        const double ms = double(elapsed.nsecsElapsed()) / 1e6;
        if (!captured || captured->method != options.method ||
            (options.expected && captured->text != *options.expected)) {
            std::fprintf(stderr, "run %d: captured %s\n", run,
                         captured ? qPrintable(rawValue(captured->method) + u' ' + captured->text)
                                  : "nothing");
            co_return 1;
        }
        milliseconds.push_back(ms);
        std::printf("run %d: %.2f ms\n", run, ms);
        // A pause between runs, as between two presses of the shortcut.
        co_await QCoro::sleepFor(std::chrono::milliseconds(100));
    }
    std::printf("%s: %d runs, median %.2f ms, p95 %.2f ms\n", qPrintable(rawValue(options.method)),
                options.runs, median(milliseconds), percentile(milliseconds, 95));
    co_return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    SilentLogSink silent;
    Log::setSink(&silent);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("method"), QStringLiteral("ax or clipboard."),
                      QStringLiteral("method"), QStringLiteral("ax")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("How many captures to time."),
                      QStringLiteral("count"), QStringLiteral("30")});
    parser.addOption({QStringLiteral("expect"), QStringLiteral("The text each run must capture."),
                      QStringLiteral("text")});
    parser.process(app);

    Options options;
    const std::optional<CaptureMethod> method =
        fromRawValue<CaptureMethod>(parser.value(QStringLiteral("method")));
    options.runs = parser.value(QStringLiteral("runs")).toInt();
    if (!method || options.runs < 1) {
        std::fprintf(stderr, "capture_benchmark: --method ax|clipboard, --runs at least 1\n");
        return 2;
    }
    options.method = *method;
    if (parser.isSet(QStringLiteral("expect")))
        options.expected = parser.value(QStringLiteral("expect"));
    // The copy command is timed by skipping the accessibility query, as the user default
    // does; the benchmark runs with a private configuration home.
    if (!UserDefaults::standard().set(QString::fromLatin1(DefaultsKey::forceClipboardCapture),
                                      options.method == CaptureMethod::clipboard)) {
        std::fprintf(stderr, "capture_benchmark: cannot write %s\n",
                     qPrintable(UserDefaults::standardPath()));
        return 2;
    }
    return QCoro::waitFor(measure(options));
}
