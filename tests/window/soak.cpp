// Soak of the real window: runs the instrument with serial output on for a
// given time and samples the resident memory and the pass rate. Fails when
// memory keeps growing after the warm-up or the pass rate falls away.
//
//   ktr7_soak [SECONDS] [SAMPLE_SECONDS]      (default 600 and 30)
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/state.h"
#include "host/frm_main.h"

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

struct sample {
    double seconds;
    double passes_per_second;
    long rss_kib;
    int memo_lines;
};

}  // namespace

int main(int argc, char** argv)
{
    const int duration = argc > 1 ? atoi(argv[1]) : 600;
    const int every = argc > 2 ? atoi(argv[2]) : 30;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Malvex"));
    frmMain = new TfrmMain;
    frmMain->centre_on_screen();
    frmMain->show();

    std::vector<sample> samples;
    QElapsedTimer clock;
    uint64_t last_passes = 0;
    double last_seconds = 0;

    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double now = clock.elapsed() / 1000.0;
        const uint64_t passes = frmMain->passes_run;
        sample s{now, double(passes - last_passes) / (now - last_seconds), resident_kib(),
                 frmMain->Memo1->document()->blockCount()};
        samples.push_back(s);
        printf("%7.0f s  %8.0f passes/s  %7ld KiB resident  %5d lines\n", s.seconds, s.passes_per_second,
               s.rss_kib, s.memo_lines);
        fflush(stdout);
        last_passes = passes;
        last_seconds = now;
        if (now + 1 >= duration)
            frmMain->Button2Click();
    });

    // The pilot moves the airspeed slider now and then, so the instrument
    // has changing work to do; serial output is on as ALTITUDE SETUP sets it.
    QTimer pilot;
    int step = 0;
    QObject::connect(&pilot, &QTimer::timeout, [&] {
        frmMain->ScrollBar1->setValue((step++ * 397) % 4097);
        st.serial_out = 1;
    });

    QTimer::singleShot(0, [&] {
        clock.start();
        sampler.start(every * 1000);
        pilot.start(1000);
        frmMain->Button1Click();  // runs until the sampler presses Off
        sampler.stop();
        pilot.stop();
        QApplication::quit();
    });
    QApplication::exec();
    delete frmMain;

    if (samples.size() < 3) {
        printf("soak: too short to judge\n");
        return 1;
    }
    // Judge from the second sample on: the first includes start-up and the
    // Communications box filling up to its cap.
    long rss_after_warmup = samples[1].rss_kib, rss_max = 0;
    double rate_min = 1e18, rate_max = 0;
    for (size_t i = 1; i < samples.size(); i++) {
        rss_max = std::max(rss_max, samples[i].rss_kib);
        rate_min = std::min(rate_min, samples[i].passes_per_second);
        rate_max = std::max(rate_max, samples[i].passes_per_second);
    }
    const long growth = rss_max - rss_after_warmup;
    printf("soak: %d s, passes/s %.0f..%.0f, resident %ld KiB after warm-up, at most %ld KiB (+%ld KiB)\n",
           duration, rate_min, rate_max, rss_after_warmup, rss_max, growth);
    const bool memory_bounded = growth < 16 * 1024;
    const bool rate_holds = rate_min > 0.5 * rate_max;
    printf("soak: memory %s, pass rate %s\n", memory_bounded ? "bounded" : "GROWING",
           rate_holds ? "holds" : "FALLS AWAY");
    return memory_bounded && rate_holds ? 0 : 1;
}
