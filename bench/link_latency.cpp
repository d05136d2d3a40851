// The link's latency in the real run loop: a sender on 127.0.0.1 streams
// lines whose altitude alternates, 20 a second at uneven moments, and each is
// timed from its sending to the end of the first pass that used it (the
// altitude input changed before the pass). Prints the median, the 95th
// percentile and the worst, and the time between passes for comparison.
//
//   ktr7_link_latency [SECONDS]   (default 20)
#include <QApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "window/app/run_loop.h"
#include "window/connections/flight_sim_link.h"
#include "window/connections/link_driver.h"
#include "window/panel/sensor_panel.h"

namespace {

constexpr int DEFAULT_SECONDS = 20;
constexpr int LINE_MS = 50;
constexpr double NS_PER_MS = 1e6;

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[size_t(p * double(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : DEFAULT_SECONDS;
    QWidget window;
    auto* sensors = new SensorPanel(&window);
    auto* loop = new RunLoop(&window);
    sensors->follow(loop->shared_session());
    auto* driver = new LinkDriver(sensors, loop, &window);
    if (!driver->listen(QStringLiteral("127.0.0.1"), 0))
        return 1;
    loop->Timer1->start();

    QUdpSocket sender;
    QElapsedTimer clock;
    clock.start();
    qint64 sent_at = -1;
    int32_t before = 0;
    int lines = 0;
    double elapsed = 1.0;
    std::vector<double> latency_ms, pass_ms;
    qint64 last_pass = -1;
    QTimer stream;
    QObject::connect(&stream, &QTimer::timeout, loop, [&] {
        // Uneven moments: the interval wanders between 50 and 66 ms.
        stream.setInterval(LINE_MS + (lines * 7) % 17);
        if (sent_at >= 0)
            return;
        before = loop->session().input(sensor_input::altitude);
        const double altitude = lines % 2 == 0 ? 1500.0 : 1000.0;
        const QByteArray line = QByteArray::number(altitude, 'f', 1) + ",0,0," + QByteArray::number(elapsed += 0.05) + "\n";
        sent_at = clock.nsecsElapsed();
        sender.writeDatagram(line, QHostAddress::LocalHost, driver->link()->port());
        lines++;
    });
    QObject::connect(loop, &RunLoop::pass_done, loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last_pass >= 0)
            pass_ms.push_back(double(now - last_pass) / NS_PER_MS);
        last_pass = now;
        if (sent_at >= 0 && loop->session().input(sensor_input::altitude) != before) {
            latency_ms.push_back(double(now - sent_at) / NS_PER_MS);
            sent_at = -1;
        }
    });
    stream.start(LINE_MS);
    QTimer::singleShot(seconds * 1000, loop, [loop] { loop->Button2Click(); });
    loop->Button1Click();
    std::printf("lines %zu timed of %d sent\n", latency_ms.size(), lines);
    std::printf("latency ms: median %.1f, 95th %.1f, worst %.1f\n", percentile(latency_ms, 0.5),
                percentile(latency_ms, 0.95), percentile(latency_ms, 1.0));
    std::printf("between passes ms: median %.1f, worst %.1f\n", percentile(pass_ms, 0.5), percentile(pass_ms, 1.0));
    return latency_ms.empty() ? 1 : 0;
}
