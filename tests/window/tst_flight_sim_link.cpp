// The flight simulator link in the window: a test sender streams lines to the
// link on 127.0.0.1 while the run loop runs, and the instrument's altitude,
// airspeed and VSI follow; silence holds the last values and says so; a hand
// on a slider takes its input from the link; a flood of good and hostile
// datagrams is counted without stalling the loop or leaving an input's range.
#include <QHostAddress>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <QWidget>

#include <cstring>

#include "core/state.h"
#include "flight/sensor_mapping.h"
#include "window/app/command_line.h"
#include "window/connections/flight_sim_link.h"
#include "window/connections/link_driver.h"
#include "window/app/run_loop.h"
#include "window/panel/sensor_panel.h"

class TestFlightSimLink : public QObject {
    Q_OBJECT

    QWidget* window = nullptr;
    RunLoop* loop = nullptr;
    SensorPanel* sensors = nullptr;
    FlightSimLink* link = nullptr;
    QUdpSocket sender;

    void send(const QByteArray& line) { sender.writeDatagram(line, QHostAddress::LocalHost, link->port()); }
    // Runs the loop (On) for ms, then Off.
    void run_for(int ms)
    {
        QTimer::singleShot(ms, loop, [this] { loop->Button2Click(); });
        loop->Button1Click();
    }

private slots:
    void init()
    {
        window = new QWidget;
        window->resize(300, 200);
        sensors = new SensorPanel(window);
        loop = new RunLoop(window);
        sensors->follow(loop->shared_session());
        connect(loop, &RunLoop::inputs_moved, sensors, &SensorPanel::show_session_inputs);
        link = (new LinkDriver(sensors, loop, window))->link();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        loop->Timer1->start();
        QString why;
        // Port 0: the system picks a free one.
        QVERIFY2(link->listen(QHostAddress::LocalHost, 0, &why), qPrintable(why));
        QVERIFY(link->port() != 0);
    }
    void cleanup()
    {
        delete window;
    }

    void theInstrumentFollowsTheSimulator()
    {
        // 3250 ft pressure altitude climbing at 10 ft/s, 100 kt, 20 lines a second.
        QTimer stream;
        double elapsed = 100.0;
        connect(&stream, &QTimer::timeout, this, [&] {
            send(QByteArray("3250.0,10.0,100.0,") + QByteArray::number(elapsed += 0.05) + "\n");
        });
        stream.start(50);
        run_for(3000);
        QCOMPARE(sensors->slider(sensor_input::altitude)->value(), altitude_input_for(3250.0));
        QCOMPARE(st.altitude, altitude_input_for(3250.0));
        QCOMPARE(st.encoder_altitude, 3250);
        QCOMPARE(st.vertical_speed, int16_t(600));
        QVERIFY2(qAbs(int(st.airspeed) - 115) <= 1, qPrintable(QString::number(st.airspeed)));  // 100 kt in mph
        QVERIFY2(link->status_text().startsWith(QStringLiteral("Link UDP %1: ").arg(link->port())),
                 qPrintable(link->status_text()));
        QVERIFY2(link->status_text().contains(QLatin1String("lines/s")), qPrintable(link->status_text()));
        QCOMPARE(link->counts().refused, 0u);

        // Silence: the last values are held, and the status bar says so.
        stream.stop();
        run_for(3300);
        QCOMPARE(st.encoder_altitude, 3250);
        QVERIFY2(link->status_text().contains(QLatin1String("no data for 3 s")), qPrintable(link->status_text()));
    }

    void aHandOnASliderTakesItsInputFromTheLink()
    {
        send("5000,0,80,1\n");
        QTRY_VERIFY(link->has_values());
        loop->Timer1Timer();
        QCOMPARE(sensors->ScrollBar29->value(), altitude_input_for(5000.0));
        sensors->ScrollBar29->triggerAction(QAbstractSlider::SliderPageStepAdd);
        const int by_hand = sensors->ScrollBar29->value();
        QVERIFY(!link->controls(sensor_input::altitude));
        QVERIFY(link->status_text().contains(QLatin1String("altitude by hand")));
        send("6000,0,90,2\n");
        QTRY_COMPARE(link->latest().pressure_altitude_ft, 6000.0);
        loop->Timer1Timer();
        QCOMPARE(sensors->ScrollBar29->value(), by_hand);
        QCOMPARE(sensors->ScrollBar1->value(), asi_input_for(90 * 1.852));
        link->give_back(sensor_input::altitude);
        loop->Timer1Timer();
        QCOMPARE(sensors->ScrollBar29->value(), altitude_input_for(6000.0));
    }

    void aFloodIsCountedWithoutStallingTheLoop()
    {
        // 10,000 datagrams in about a second, hostile ones among them, while
        // the loop runs.
        const QByteArray hostile[] = {"nan,0,0,1\n", "1e308,1,1,1\n", "1,2,3\n", QByteArray(60000, 'x'),
                                      QByteArray("\x00\xff\x10\x80", 4), "99999999,0,0,2\n", "0,0,0,-5\n"};
        // One of each first, each counted under its reason: the 60,000 bytes
        // are cut to the 1024 read, one line of x, too long.
        for (const QByteArray& datagram : hostile)
            send(datagram);
        QTRY_COMPARE(link->counts().lines, uint64_t(std::size(hostile)));
        const link_counts& n = link->counts();
        QCOMPARE(n.refused, uint64_t(std::size(hostile)));
        QCOMPARE(n.by_fault[size_t(link_fault::not_finite)], 1u);
        QCOMPARE(n.by_fault[size_t(link_fault::out_of_range)], 3u);
        QCOMPARE(n.by_fault[size_t(link_fault::field_count)], 1u);
        QCOMPARE(n.by_fault[size_t(link_fault::too_long)], 1u);
        QCOMPARE(n.by_fault[size_t(link_fault::not_text)], 1u);
        QVERIFY(!link->has_values());
        int sent = 0;
        QTimer flood;
        connect(&flood, &QTimer::timeout, this, [&] {
            for (int i = 0; i < 100 && sent < 10000; i++, sent++)
                send(sent % 10 == 0 ? hostile[(sent / 10) % std::size(hostile)]
                                    : QByteArray("90000,50,300,") + QByteArray::number(10 + sent * 0.0001) + "\n");
        });
        flood.start(10);
        const uint64_t passes_before = loop->passes_run();
        run_for(1500);
        flood.stop();
        QCOMPARE(sent, 10000);
        // About 60 passes a second under Xvfb; far fewer would mean the
        // flood held the loop up.
        QVERIFY2(loop->passes_run() - passes_before >= 45, qPrintable(QString::number(loop->passes_run() - passes_before)));
        // UDP may drop some of the flood: every line read is taken or refused
        // for one reason, and each hostile kind was met again.
        QVERIFY(n.accepted > 0);
        QCOMPARE(n.accepted + n.refused, n.lines);
        uint64_t by_reason = 0;
        for (uint64_t count : n.by_fault)
            by_reason += count;
        QCOMPARE(by_reason, n.refused);
        for (link_fault fault : {link_fault::not_finite, link_fault::out_of_range, link_fault::field_count,
                                 link_fault::too_long, link_fault::not_text})
            QVERIFY2(n.by_fault[size_t(fault)] > 1, link_fault_name(fault));
        QVERIFY(link->status_text().contains(QLatin1String("refused")));
        for (const sensor_input_info& input : sensor_inputs()) {
            const int value = sensors->slider(input.input)->value();
            QVERIFY(value >= input.minimum && value <= input.maximum);
        }
        QCOMPARE(sensors->ScrollBar29->value(), 65535);  // 90,000 ft is beyond the altitude input: held at its end
    }

    void theCommandLinesLinkListensOnThisComputerOnly()
    {
        // --link PORT without --link-address: 127.0.0.1, where a line sent to
        // another of this computer's loopback addresses does not arrive.
        sim_options options;
        const QStringList arguments = {QStringLiteral("ktr7-sim"), QStringLiteral("--link"), QStringLiteral("5505")};
        QVERIFY(parse_sim_command_line(arguments, options) == command_line_result::run);
        QCOMPARE(options.link_port, quint16(5505));
        QCOMPARE(options.link_address, QStringLiteral("127.0.0.1"));
        QString why;
        QVERIFY2(link->listen(QHostAddress(options.link_address), 0, &why), qPrintable(why));
        sender.writeDatagram("100,0,0,1\n", QHostAddress(QStringLiteral("127.0.0.2")), link->port());
        QTest::qWait(300);
        QCOMPARE(link->counts().lines, 0u);
        send("200,0,0,2\n");
        QTRY_COMPARE(link->counts().lines, 1u);
        QCOMPARE(link->latest().pressure_altitude_ft, 200.0);
    }
};

QTEST_MAIN(TestFlightSimLink)
#include "tst_flight_sim_link.moc"
