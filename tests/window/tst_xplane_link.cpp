// The link both ways, against test peers on 127.0.0.1: a fake X-Plane that
// answers RREF subscriptions with replies (to each subscriber at the port it
// asked from) and records DREF writes, and a fake FlightGear input socket
// that records the QNH lines. Two links fly from one fake X-Plane; the QNH
// goes back in inHg and in hPa at the knob's steps in both units and at the
// QNH's ends; bad replies are refused by reason; closing cancels; what the
// link took is recorded in the line form.
#include <QComboBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include <QTimer>
#include <QWidget>

#include "core/state.h"
#include "screens/framework.h"
#include "window/app/command_line.h"
#include "window/app/run_loop.h"
#include "window/connections/flight_sim_link.h"
#include "window/connections/flight_sim_link_dialog.h"
#include "window/connections/link_driver.h"
#include "window/panel/sensor_panel.h"

namespace {

int32_t int32_at(const QByteArray& bytes, int at)
{
    int32_t value = 0;
    memcpy(&value, bytes.constData() + at, sizeof value);  // little-endian, as this machine
    return value;
}

float float_at(const QByteArray& bytes, int at)
{
    float value = 0;
    memcpy(&value, bytes.constData() + at, sizeof value);
    return value;
}

QByteArray reply(const std::vector<std::pair<int32_t, float>>& items, const char* header = "RREF")
{
    QByteArray bytes(header, 5);
    for (const auto& [index, value] : items) {
        bytes.append(reinterpret_cast<const char*>(&index), 4);
        bytes.append(reinterpret_cast<const char*>(&value), 4);
    }
    return bytes;
}

// X-Plane as its UDP interface behaves, as far as the link uses it.
struct FakeXPlane {
    QUdpSocket socket;
    // Per subscriber port: frequency asked for, by client index.
    std::map<quint16, std::map<int32_t, int32_t>> subscriptions;
    std::map<quint16, std::map<int32_t, QByteArray>> names;
    std::vector<float> barometer_writes;
    int cancellations = 0;
    int requests = 0;  // subscriptions asked for (frequency above 0)

    bool start() { return socket.bind(QHostAddress::LocalHost, 0); }
    quint16 port() const { return socket.localPort(); }
    void take_all()
    {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket.receiveDatagram();
            const QByteArray bytes = datagram.data();
            const auto from = quint16(datagram.senderPort());
            if (bytes.size() == 413 && bytes.startsWith(QByteArray("RREF\0", 5))) {
                const int32_t frequency = int32_at(bytes, 5), index = int32_at(bytes, 9);
                subscriptions[from][index] = frequency;
                names[from][index] = QByteArray(bytes.constData() + 13);
                if (frequency == 0)
                    cancellations++;
                else
                    requests++;
            } else if (bytes.size() == 509 && bytes.startsWith(QByteArray("DREF\0", 5)) &&
                       QByteArray(bytes.constData() + 9) == "sim/cockpit2/gauges/actuators/barometer_setting_in_hg_pilot") {
                barometer_writes.push_back(float_at(bytes, 5));
            }
        }
    }
    // The four values to every subscriber.
    void send_to_all(const QByteArray& bytes)
    {
        for (const auto& [port, asked] : subscriptions)
            if (asked.size() == 4 && asked.begin()->second > 0)
                socket.writeDatagram(bytes, QHostAddress::LocalHost, port);
    }
};

// Each value once, in order: the QNH is sent again every second.
template <typename T>
std::vector<T> changes(const std::vector<T>& sent)
{
    std::vector<T> out;
    for (const T& value : sent)
        if (out.empty() || out.back() != value)
            out.push_back(value);
    return out;
}

// 3,250 ft, 600 ft/min (10 ft/s), 95 kt, 12.5 s.
const QByteArray CLIMB = reply({{0, 3250.0f}, {1, 600.0f}, {2, 95.0f}, {3, 12.5f}});

}  // namespace

class TestXPlaneLink : public QObject {
    Q_OBJECT

private slots:
    void twoLinksFlyFromOneXPlane()
    {
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        FlightSimLink first, second;
        QString why;
        QVERIFY2(first.subscribe(QHostAddress::LocalHost, xplane.port(), &why), qPrintable(why));
        QVERIFY2(second.subscribe(QHostAddress::LocalHost, xplane.port(), &why), qPrintable(why));
        QVERIFY(first.port() != second.port());
        QTRY_COMPARE(((void)xplane.take_all(), xplane.subscriptions.size()), size_t(2));
        for (auto& [port, asked] : xplane.subscriptions) {
            QCOMPARE(asked.size(), size_t(4));
            for (const auto& entry : asked)
                QCOMPARE(entry.second, 20);
            QCOMPARE(xplane.names[port][0], QByteArray("sim/flightmodel2/position/pressure_altitude"));
            QCOMPARE(xplane.names[port][1], QByteArray("sim/flightmodel/position/vh_ind_fpm"));
            QCOMPARE(xplane.names[port][2], QByteArray("sim/flightmodel/position/indicated_airspeed"));
            QCOMPARE(xplane.names[port][3], QByteArray("sim/time/total_running_time_sec"));
        }
        xplane.send_to_all(CLIMB);
        for (FlightSimLink* link : {&first, &second}) {
            QTRY_VERIFY(link->has_values());
            QCOMPARE(link->latest().pressure_altitude_ft, 3250.0);
            QCOMPARE(link->latest().vertical_speed_fps, 10.0);
            QCOMPARE(link->latest().airspeed_kt, 95.0);
            QCOMPARE(link->latest().elapsed_s, 12.5);
            QVERIFY2(link->status_text().startsWith(
                         QStringLiteral("Link UDP %1: X-Plane 127.0.0.1:%2, ").arg(link->port()).arg(xplane.port())),
                     qPrintable(link->status_text()));
        }
        // Closing (and the end of the program) cancels: frequency 0.
        first.close();
        QTRY_COMPARE(((void)xplane.take_all(), xplane.cancellations), 4);
    }

    void theDialogChoosesXPlaneAndARecording()
    {
        QTemporaryDir dir;
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        FlightSimLink link;
        FlightSimLinkDialog dialog(&link, nullptr);
        QCOMPARE(dialog.PortBox->value(), 5505);
        dialog.SimulatorBox->setCurrentIndex(1);
        QCOMPARE(dialog.PortBox->value(), 49000);
        QVERIFY(!dialog.QnhEdit->isEnabled());  // X-Plane takes the QNH on its own port
        dialog.PortBox->setValue(xplane.port());
        dialog.RecordEdit->setText(dir.filePath(QStringLiteral("dialog.link")));
        dialog.ListenClick();
        QVERIFY2(link.listening(), qPrintable(dialog.StateLabel->text()));
        QCOMPARE(link.simulator(), link_simulator::xplane);
        QCOMPARE(link.recording(), dir.filePath(QStringLiteral("dialog.link")));
        QVERIFY(!dialog.SimulatorBox->isEnabled());
        QTRY_COMPARE(((void)xplane.take_all(), xplane.requests), 4);
        link.close();
        // Back to FlightGear: a QNH socket that is no address and port is refused.
        dialog.SimulatorBox->setCurrentIndex(0);
        dialog.QnhEdit->setText(QStringLiteral("127.0.0.1"));
        dialog.ListenClick();
        QVERIFY(!link.listening());
        QCOMPARE(dialog.StateLabel->text(), QStringLiteral("\"127.0.0.1\" is not an address and port such as 127.0.0.1:5506."));
    }

    void silenceRenewsTheSubscriptions()
    {
        // One reply, then X-Plane says nothing (restarted without its
        // subscribers): after 3 s of silence the link asks again, once.
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        FlightSimLink link;
        QVERIFY(link.subscribe(QHostAddress::LocalHost, xplane.port(), nullptr));
        QTRY_COMPARE(((void)xplane.take_all(), xplane.requests), 4);
        xplane.send_to_all(CLIMB);
        QTRY_VERIFY(link.has_values());
        QTest::qWait(2500);
        xplane.take_all();
        QCOMPARE(xplane.requests, 4);
        QTRY_COMPARE_WITH_TIMEOUT(((void)xplane.take_all(), xplane.requests), 8, 3000);
        QTest::qWait(500);
        xplane.take_all();
        QCOMPARE(xplane.requests, 8);
        QCOMPARE(xplane.cancellations, 0);
    }

    void theQnhGoesBackInInHgAndHpa_data()
    {
        QTest::addColumn<uint>("qnh");
        QTest::addColumn<double>("inhg");
        QTest::addColumn<QByteArray>("line");
        // Factory, then three knob steps up in mb (1 mb each) and in inHg
        // (338 each), one down, and the two ends the knob reaches.
        QTest::newRow("factory") << 1013250u << 29.92 << QByteArray("1013.25\n");
        QTest::newRow("mb +1") << 1014250u << 29.95 << QByteArray("1014.25\n");
        QTest::newRow("mb +2") << 1015250u << 29.98 << QByteArray("1015.25\n");
        QTest::newRow("mb +3") << 1016250u << 30.01 << QByteArray("1016.25\n");
        QTest::newRow("inHg +1") << 1013588u << 29.93 << QByteArray("1013.59\n");
        QTest::newRow("inHg +2") << 1013926u << 29.94 << QByteArray("1013.93\n");
        QTest::newRow("inHg +3") << 1014264u << 29.95 << QByteArray("1014.26\n");
        QTest::newRow("inHg -1") << 1012912u << 29.91 << QByteArray("1012.91\n");
        QTest::newRow("top") << 1079250u << 31.87 << QByteArray("1079.25\n");
        QTest::newRow("bottom") << 941250u << 27.80 << QByteArray("941.25\n");
    }
    void theQnhGoesBackInInHgAndHpa()
    {
        QFETCH(uint, qnh);
        QFETCH(double, inhg);
        QFETCH(QByteArray, line);
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        FlightSimLink to_xplane;
        QVERIFY(to_xplane.subscribe(QHostAddress::LocalHost, xplane.port(), nullptr));
        to_xplane.send_qnh(qnh, 0.0);
        QTRY_COMPARE(((void)xplane.take_all(), xplane.barometer_writes.size()), size_t(1));
        QVERIFY2(std::fabs(xplane.barometer_writes[0] - inhg) < 0.005, qPrintable(QString::number(xplane.barometer_writes[0])));

        QUdpSocket flightgear_input;
        QVERIFY(flightgear_input.bind(QHostAddress::LocalHost, 0));
        FlightSimLink to_flightgear;
        to_flightgear.set_qnh_target(QHostAddress::LocalHost, flightgear_input.localPort());
        QVERIFY(to_flightgear.listen(QHostAddress::LocalHost, 0, nullptr));
        to_flightgear.send_qnh(qnh, 0.0);
        QTRY_VERIFY(flightgear_input.hasPendingDatagrams());
        QCOMPARE(flightgear_input.receiveDatagram().data(), line);
        QVERIFY2(to_flightgear.status_text().endsWith(QStringLiteral(", QNH %1 sent").arg(QString::fromLatin1(line.trimmed()) + QStringLiteral(" hPa"))),
                 qPrintable(to_flightgear.status_text()));
    }

    void theKnobSetsBothSimulatorsAltimeters_data()
    {
        QTest::addColumn<int>("unit");  // the main display's pressure unit: 0 mb, 1 inHg
        QTest::addColumn<uint>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<std::vector<float>>("inhg");     // what X-Plane receives, each once
        QTest::addColumn<QList<QByteArray>>("hpa");        // what FlightGear receives, each once
        QTest::newRow("mb, three steps up") << 0 << 1013250u << int(KEY_CW)
                                           << std::vector<float>{29.92f, 29.95f, 29.98f, 30.01f}
                                           << QList<QByteArray>{"1013.25\n", "1014.25\n", "1015.25\n", "1016.25\n"};
        QTest::newRow("inHg, three steps up") << 1 << 1013250u << int(KEY_CW)
                                             << std::vector<float>{29.92f, 29.93f, 29.94f, 29.95f}
                                             << QList<QByteArray>{"1013.25\n", "1013.59\n", "1013.93\n", "1014.26\n"};
        QTest::newRow("inHg, three steps down") << 1 << 1013250u << int(KEY_CCW)
                                               << std::vector<float>{29.92f, 29.91f, 29.90f, 29.89f}
                                               << QList<QByteArray>{"1013.25\n", "1012.91\n", "1012.57\n", "1012.24\n"};
        // At the ends the knob goes one step and stops; nothing more is sent.
        QTest::newRow("mb, at the top") << 0 << 1078250u << int(KEY_CW) << std::vector<float>{31.84f, 31.87f}
                                       << QList<QByteArray>{"1078.25\n", "1079.25\n"};
        QTest::newRow("inHg, at the bottom") << 1 << 940900u << int(KEY_CCW) << std::vector<float>{27.78f, 27.77f}
                                            << QList<QByteArray>{"940.90\n", "940.56\n"};
    }
    void theKnobSetsBothSimulatorsAltimeters()
    {
        QFETCH(int, unit);
        QFETCH(uint, start);
        QFETCH(int, key);
        QFETCH(std::vector<float>, inhg);
        QFETCH(QList<QByteArray>, hpa);
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        QUdpSocket flightgear_input;
        QVERIFY(flightgear_input.bind(QHostAddress::LocalHost, 0));

        QWidget window;
        auto* sensors = new SensorPanel(&window);
        auto* loop = new RunLoop(&window);
        sensors->follow(loop->shared_session());
        auto* to_xplane = new LinkDriver(sensors, loop, &window);
        auto* to_flightgear = new LinkDriver(sensors, loop, &window);
        QVERIFY(to_xplane->subscribe(QStringLiteral("127.0.0.1"), xplane.port()));
        to_flightgear->link()->set_qnh_target(QHostAddress::LocalHost, flightgear_input.localPort());
        QVERIFY(to_flightgear->listen(QStringLiteral("127.0.0.1"), 0));
        loop->Timer1->start();

        // Switched on, the QNH and unit set, then the knob turned three times.
        int turns = 0;
        QTimer knob;
        connect(&knob, &QTimer::timeout, loop, [&] {
            if (turns == 0) {
                loop->session().qnh_setting();  // the window's session is the instrument's state now
                st.qnh = start, st.pressure_unit = uint8_t(unit);
            } else if (turns <= 3) {
                loop->session().post_key(uint8_t(key));
            } else {
                loop->Button2Click();
            }
            turns++;
        });
        knob.start(400);
        loop->Button1Click();

        xplane.take_all();
        std::vector<float> received;
        for (float value : xplane.barometer_writes)
            received.push_back(std::round(value * 100.0f) / 100.0f);
        // What was sent before the QNH was set (the factory 1013.25) goes first.
        received = changes(received);
        if (start != 1013250 && !received.empty() && received.front() == 29.92f)
            received.erase(received.begin());
        QCOMPARE(received, inhg);
        std::vector<QByteArray> lines;
        while (flightgear_input.hasPendingDatagrams())
            lines.push_back(flightgear_input.receiveDatagram().data());
        lines = changes(lines);
        if (start != 1013250 && !lines.empty() && lines.front() == "1013.25\n")
            lines.erase(lines.begin());
        QCOMPARE(QList<QByteArray>(lines.begin(), lines.end()), hpa);
        QVERIFY2(to_xplane->link()->status_text().contains(QStringLiteral(", QNH %1 inHg sent").arg(inhg.back(), 0, 'f', 2)),
                 qPrintable(to_xplane->link()->status_text()));
    }

    void nothingGoesToTheAltimeterWhileTheInstrumentIsOff()
    {
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        QWidget window;
        auto* sensors = new SensorPanel(&window);
        auto* loop = new RunLoop(&window);
        sensors->follow(loop->shared_session());
        auto* to_xplane = new LinkDriver(sensors, loop, &window);
        QVERIFY(to_xplane->subscribe(QStringLiteral("127.0.0.1"), xplane.port()));
        loop->Timer1->start();
        QTest::qWait(600);
        xplane.take_all();
        QCOMPARE(xplane.barometer_writes.size(), size_t(0));
    }

    void theQnhIsSentOnChangeAndOnceASecond()
    {
        QUdpSocket flightgear_input;
        QVERIFY(flightgear_input.bind(QHostAddress::LocalHost, 0));
        FlightSimLink link;
        link.set_qnh_target(QHostAddress::LocalHost, flightgear_input.localPort());
        QVERIFY(link.listen(QHostAddress::LocalHost, 0, nullptr));
        // Ticks of 0.1 s: sent at 0, held until 1.0, sent on the change at 1.2.
        const struct {
            double at;
            uint32_t qnh;
            quint64 sent;
        } ticks[] = {{0.0, 1013250, 1}, {0.1, 1013250, 1}, {0.9, 1013250, 1},
                     {1.0, 1013250, 2}, {1.1, 1013250, 2}, {1.2, 1014250, 3}};
        for (const auto& tick : ticks) {
            link.send_qnh(tick.qnh, tick.at);
            QCOMPARE(link.qnh_sent(), tick.sent);
        }
    }

    void badRepliesAreRefusedByReason_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("fault");
        QTest::newRow("short") << QByteArray("RREF\0\0\0", 7) << int(link_fault::wrong_length);
        QTest::newRow("one byte over") << reply({{0, 1.0f}}) + QByteArray(1, '\0') << int(link_fault::wrong_length);
        QTest::newRow("other header") << reply({{0, 1.0f}}, "DATA") << int(link_fault::wrong_header);
        QTest::newRow("index 4") << reply({{4, 1.0f}}) << int(link_fault::unknown_index);
        QTest::newRow("index -1") << reply({{-1, 1.0f}}) << int(link_fault::unknown_index);
        QTest::newRow("NaN") << reply({{0, std::nanf("")}}) << int(link_fault::not_finite);
        QTest::newRow("infinity") << reply({{2, INFINITY}}) << int(link_fault::not_finite);
        QTest::newRow("airspeed 10,000 kt")
            << reply({{0, 3250.0f}, {1, 600.0f}, {2, 10000.0f}, {3, 12.5f}}) << int(link_fault::out_of_range);
    }
    void badRepliesAreRefusedByReason()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, fault);
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        FlightSimLink link;
        QVERIFY(link.subscribe(QHostAddress::LocalHost, xplane.port(), nullptr));
        QTRY_COMPARE(((void)xplane.take_all(), xplane.subscriptions.size()), size_t(1));
        xplane.send_to_all(bytes);
        xplane.send_to_all(CLIMB);
        QTRY_VERIFY(link.has_values());
        QCOMPARE(link.counts().refused, 1u);
        QCOMPARE(link.counts().by_fault[fault], 1u);
        QCOMPARE(link.counts().accepted, 1u);
        QCOMPARE(link.latest().airspeed_kt, 95.0);
    }

    void whatTheLinkTookIsRecordedAsLines()
    {
        QTemporaryDir dir;
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        FlightSimLink link;
        QVERIFY(link.subscribe(QHostAddress::LocalHost, xplane.port(), nullptr));
        QString why;
        QVERIFY2(link.record_to(dir.filePath(QStringLiteral("xplane.link")), &why), qPrintable(why));
        QTRY_COMPARE(((void)xplane.take_all(), xplane.subscriptions.size()), size_t(1));
        xplane.send_to_all(CLIMB);
        xplane.send_to_all(reply({{0, std::nanf("")}}));
        // A reply of one value changes only it.
        xplane.send_to_all(reply({{3, 12.75f}}));
        QTRY_COMPARE(link.counts().lines, 3u);
        link.close();
        QFile file(dir.filePath(QStringLiteral("xplane.link")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("3250.0,10.00,95.0,12.50\n3250.0,10.00,95.0,12.75\n"));
    }

    void aRecordedXPlaneSessionReplaysAsItWasSent()
    {
        // Two minutes of a climb at 20 replies a second, all sent at once:
        // the recording is what was sent, so ktr7-replay prints the same
        // summary for it as for the stream written here.
        QTemporaryDir dir;
        FakeXPlane xplane;
        QVERIFY(xplane.start());
        FlightSimLink link;
        QVERIFY(link.subscribe(QHostAddress::LocalHost, xplane.port(), nullptr));
        QVERIFY(link.record_to(dir.filePath(QStringLiteral("recorded.link")), nullptr));
        QTRY_COMPARE(((void)xplane.take_all(), xplane.subscriptions.size()), size_t(1));
        constexpr int REPLIES = 2400;
        QByteArray sent;
        for (int i = 0; i < REPLIES; i++) {
            const float altitude = 200.0f + float(i), fpm = i < 200 ? 0.0f : 600.0f,
                        airspeed = i < 100 ? float(i) : 100.0f, clock = 30.0f + float(i) * 0.05f;
            xplane.send_to_all(reply({{0, altitude}, {1, fpm}, {2, airspeed}, {3, clock}}));
            sent += QString::asprintf("%.1f,%.2f,%.1f,%.2f\n", altitude, fpm / 60.0f, airspeed, clock).toLatin1();
            if (i % 200 == 199)
                QTRY_COMPARE(link.counts().lines, quint64(i + 1));
        }
        QTRY_COMPARE(link.counts().accepted, quint64(REPLIES));
        link.close();
        QFile written(dir.filePath(QStringLiteral("sent.link")));
        QVERIFY(written.open(QIODevice::WriteOnly));
        written.write(sent);
        written.close();
        const auto replay = [&](const char* name) {
            QProcess process;
            process.setWorkingDirectory(dir.path());
            process.start(QStringLiteral(KTR7_REPLAY_PATH), {QStringLiteral("--link"), QLatin1String(name)});
            process.waitForFinished(60000);
            QString out = QString::fromUtf8(process.readAllStandardOutput());
            return out.mid(out.indexOf(QLatin1Char('\n')) + 1);  // after "link: NAME"
        };
        const QString recorded = replay("recorded.link");
        QVERIFY2(recorded.startsWith(QStringLiteral("lines: 2400 taken, 0 refused\n")), qPrintable(recorded));
        QCOMPARE(recorded, replay("sent.link"));
    }

    void theCommandLineNamesTheSimulator_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<bool>("xplane");
        QTest::addColumn<QString>("host");  // X-Plane's, or where FlightGear's QNH goes
        QTest::addColumn<int>("port");
        const QString L = QStringLiteral("--link");
        const QString Q = QStringLiteral("--link-qnh");
        QTest::newRow("xplane") << QStringList{L, "xplane"} << true << true << "127.0.0.1" << 49000;
        QTest::newRow("xplane:HOST") << QStringList{L, "xplane:127.0.0.7"} << true << true << "127.0.0.7" << 49000;
        QTest::newRow("xplane:HOST:PORT") << QStringList{L, "xplane:127.0.0.7:49010"} << true << true << "127.0.0.7"
                                          << 49010;
        QTest::newRow("port 1") << QStringList{L, "xplane:127.0.0.1:1"} << true << true << "127.0.0.1" << 1;
        QTest::newRow("port 65535") << QStringList{L, "xplane:127.0.0.1:65535"} << true << true << "127.0.0.1"
                                    << 65535;
        QTest::newRow("port 0") << QStringList{L, "xplane:127.0.0.1:0"} << false << false << "" << 0;
        QTest::newRow("port 65536") << QStringList{L, "xplane:127.0.0.1:65536"} << false << false << "" << 0;
        QTest::newRow("no address") << QStringList{L, "xplane:cockpit"} << false << false << "" << 0;
        QTest::newRow("another word") << QStringList{L, "xplan"} << false << false << "" << 0;
        QTest::newRow("FlightGear's QNH default") << QStringList{L, "5505"} << true << false << "127.0.0.1" << 5506;
        QTest::newRow("FlightGear's QNH given") << QStringList{L, "5505", Q, "127.0.0.3:5600"} << true << false
                                                << "127.0.0.3" << 5600;
        QTest::newRow("--link-qnh with X-Plane") << QStringList{L, "xplane", Q, "127.0.0.3:5600"} << false << false
                                                 << "" << 0;
        QTest::newRow("--link-qnh alone") << QStringList{Q, "127.0.0.3:5600"} << false << false << "" << 0;
        QTest::newRow("--link-record alone") << QStringList{"--link-record", "f.link"} << false << false << "" << 0;
    }
    void theCommandLineNamesTheSimulator()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, runs);
        QFETCH(bool, xplane);
        QFETCH(QString, host);
        QFETCH(int, port);
        sim_options options;
        arguments.prepend(QStringLiteral("ktr7-sim"));
        const command_line_result result = parse_sim_command_line(arguments, options);
        QCOMPARE(result == command_line_result::run, runs);
        if (!runs)
            return;
        QCOMPARE(options.link_xplane, xplane);
        QCOMPARE(xplane ? options.xplane_host : options.link_qnh_address, host);
        QCOMPARE(int(xplane ? options.xplane_port : options.link_qnh_port), port);
    }
};

QTEST_MAIN(TestXPlaneLink)
#include "tst_xplane_link.moc"
