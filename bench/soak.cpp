// Soak of the real window: runs the instrument with serial output on for a
// given time and samples the resident memory, the pass rate and the process's
// CPU use (user and system time over wall time, in % of one core). Fails when
// memory keeps growing after the warm-up or the pass rate falls away.
//
//   ktr7_soak [SECONDS] [SAMPLE_SECONDS] [minimised] [quiet]   (default 600 and 30)
//
// "quiet" leaves serial output off: the main display alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/resource.h>

#include "core/state.h"
#include "window/app/frm_main.h"
#include "window/app/window_names.h"

namespace {

long resident_kib()
{
    FILE* f = fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kib = -1;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "VmRSS:", 6) == 0)
            kib = strtol(line + 6, nullptr, 10);
    fclose(f);
    return kib;
}

double cpu_seconds()
{
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

struct sample {
    double seconds;
    double passes_per_second;
    double cpu_percent;
    long rss_kib;
    int memo_lines;
};

}  // namespace

int main(int argc, char** argv)
{
    const int duration = argc > 1 ? atoi(argv[1]) : 600;
    const int every = argc > 2 ? atoi(argv[2]) : 30;
    bool minimised = false, quiet = false;
    for (int i = 3; i < argc; i++) {
        minimised = minimised || strcmp(argv[i], "minimised") == 0;
        quiet = quiet || strcmp(argv[i], "quiet") == 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(APPLICATION_NAME));
    frmMain = new TfrmMain;
    frmMain->centre_on_screen();
    if (minimised)
        frmMain->showMinimized();
    else
        frmMain->show();
    // The controls the soak works, by their names on the form.
    const auto* memo = frmMain->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    auto* asi_slider = frmMain->findChild<QScrollBar*>(QStringLiteral("ScrollBar1"));
    auto* on_button = frmMain->findChild<QPushButton*>(QStringLiteral("Button1"));
    auto* off_button = frmMain->findChild<QPushButton*>(QStringLiteral("Button2"));
    if (memo == nullptr || asi_slider == nullptr || on_button == nullptr || off_button == nullptr) {
        fprintf(stderr, "soak: the form has no Memo1, ScrollBar1, Button1 or Button2\n");
        return 1;
    }

    std::vector<sample> samples;
    double last_cpu = 0;
    QElapsedTimer clock;
    uint64_t last_passes = 0;
    double last_seconds = 0;

    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double now = clock.elapsed() / 1000.0;
        const uint64_t passes = frmMain->passes_run();
        const double cpu = cpu_seconds();
        sample s{now, double(passes - last_passes) / (now - last_seconds),
                 100.0 * (cpu - last_cpu) / (now - last_seconds), resident_kib(),
                 memo->document()->blockCount()};
        samples.push_back(s);
        printf("%7.0f s  %8.1f passes/s  %5.1f %% CPU  %7ld KiB resident  %5d lines\n", s.seconds,
               s.passes_per_second, s.cpu_percent, s.rss_kib, s.memo_lines);
        fflush(stdout);
        last_cpu = cpu;
        last_passes = passes;
        last_seconds = now;
        if (now + 1 >= duration)
            off_button->click();
    });

    // The pilot moves the airspeed slider now and then, so the instrument
    // has changing work to do; serial output is on as ALTITUDE SETUP sets it.
    QTimer pilot;
    int step = 0;
    QObject::connect(&pilot, &QTimer::timeout, [&] {
        asi_slider->setValue((step++ * 397) % 4097);
        st.serial_out = quiet ? 0 : 1;
    });

    QTimer::singleShot(0, [&] {
        clock.start();
        last_cpu = cpu_seconds();
        sampler.start(every * 1000);
        pilot.start(1000);
        on_button->click();  // runs until the sampler presses Off
        sampler.stop();
        pilot.stop();
        QApplication::quit();
    });
    QApplication::exec();
    const qint64 frmMain_interval_ns = frmMain->frame_interval_ns();
    delete frmMain;

    if (samples.size() < 3) {
        printf("soak: too short to judge\n");
        return 1;
    }
    // Judge from the second sample on: the first includes start-up and the
    // Communications box filling up to its cap.
    long rss_after_warmup = samples[1].rss_kib, rss_max = 0;
    double rate_min = 1e18, rate_max = 0, cpu_max = 0;
    for (size_t i = 1; i < samples.size(); i++) {
        cpu_max = std::max(cpu_max, samples[i].cpu_percent);
        rss_max = std::max(rss_max, samples[i].rss_kib);
        rate_min = std::min(rate_min, samples[i].passes_per_second);
        rate_max = std::max(rate_max, samples[i].passes_per_second);
    }
    const long growth = rss_max - rss_after_warmup;
    printf("soak: %d s%s%s, passes/s %.1f..%.1f (screen %.1f Hz), CPU at most %.1f %% of a core, resident %ld KiB "
           "after warm-up, at most %ld KiB (+%ld KiB)\n",
           duration, minimised ? " minimised" : "", quiet ? " quiet" : "", rate_min, rate_max, 1e9 / double(frmMain_interval_ns), cpu_max,
           rss_after_warmup, rss_max, growth);
    const bool memory_bounded = growth < 16 * 1024;
    const bool rate_holds = rate_min > 0.5 * rate_max;
    printf("soak: memory %s, pass rate %s\n", memory_bounded ? "bounded" : "GROWING",
           rate_holds ? "holds" : "FALLS AWAY");
    return memory_bounded && rate_holds ? 0 : 1;
}
