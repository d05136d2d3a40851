// The encoder port: sentences reach a receiver on the other end of a
// pseudo-terminal pair byte for byte, a stalled receiver costs only skipped
// sentences, a receiver that goes away is survived, and bad ports are refused.
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QNetworkDatagram>
#include <QTextBlock>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "core/state.h"
#include "window/app/command_line.h"
#include "window/connections/encoder_port.h"
#include "window/connections/encoder_port_dialog.h"
#include "window/connections/flight_sim_link.h"
#include "window_support.h"

namespace {

// The receiver's end of a pseudo-terminal pair; the simulator opens the
// other end by its path.
struct receiver {
    int fd = -1;
    QString port;

    bool open()
    {
        fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0)
            return false;
        port = QString::fromLocal8Bit(ptsname(fd));
        return true;
    }
    // Everything that has arrived so far.
    QByteArray read_all()
    {
        QByteArray got;
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0)
                break;
            got.append(chunk, int(n));
        }
        return got;
    }
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    ~receiver() { close(); }
};

// Between rounds of filling a stalled receiver's side of the pair.
constexpr useconds_t FILL_PAUSE_US = 20000;

// Splits a stream into the sentences of a carriage-return format; the
// remainder after the last carriage return is returned in rest.
QList<QByteArray> sentences(const QByteArray& stream, QByteArray& rest)
{
    QList<QByteArray> whole;
    qsizetype start = 0;
    for (qsizetype i = 0; i < stream.size(); i++) {
        if (stream[i] == '\r') {
            whole.append(stream.mid(start, i - start + 1));
            start = i + 1;
        }
    }
    rest = stream.mid(start);
    return whole;
}

// Serial output on, in a protocol, as the setup page leaves it.
void serial_on(uint8_t protocol)
{
    st.serial_out = 1;
    st.serial_protocol = protocol;
}

// Connects the form's encoder port as --serial does (a refusal is said in a
// message box); whether that port is the one connected now.
bool connect_as_command_line(TfrmMain* form, const QString& port, int baud)
{
    sim_options options;
    options.serial = port;
    options.baud = baud;
    form->apply_options(options);
    const EncoderPort* connected = child<EncoderPort>(form);
    return connected->is_open() && connected->path() == EncoderPort::device_path(port);
}

}  // namespace

class tst_encoder_port : public QObject {
    Q_OBJECT

    TfrmMain* form = nullptr;

private slots:
    void initTestCase()
    {
        form = new TfrmMain;
        QVERIFY(show_and_wait(*form));
    }
    void cleanupTestCase() { delete form; }
    void init()
    {
        child<QPlainTextEdit>(form, "Memo1")->clear();
        child<QScrollBar>(form, "ScrollBar29")->setValue(3250);
        child<EncoderPort>(form)->close_port();
    }

    void every_format_arrives_byte_exact()
    {
        // 3250 ft at the factory QNH is 3250 ft of pressure altitude.
        const QByteArray expected[] = {
            "#AL +03250T+25DB\r",
            "$QTX+03250T+252C\r",
            "ALT 03250\r",
            "ALT 03250\r",
            "ALT+03250C+00000L1013+0000XB8\r",
            QByteArray("\x02" "a=03250" "\x03"),
        };
        receiver rx;
        QVERIFY(rx.open());
        QVERIFY(connect_as_command_line(form, rx.port, 115200));
        QCOMPARE(child<QLabel>(form, "EncoderPortLabel")->text(),
                 QStringLiteral("Encoder port %1, 115200 8N1: 0 sent").arg(rx.port));
        for (uint8_t protocol = 0; protocol < 6; protocol++) {
            rx.read_all();
            run_with(*form, {{50, [&] { serial_on(protocol); }}, {400, [&] { child<QPushButton>(form, "Button2")->click(); }}});
            QTest::qWait(100);  // the last sentence leaves the port
            const QByteArray got = rx.read_all();
            const QByteArray& one = expected[protocol];
            // Nothing but whole copies of the one sentence.
            QVERIFY2(!got.isEmpty(), qPrintable(QString::number(protocol)));
            QCOMPARE(got.size() % one.size(), 0);
            QCOMPARE(got, one.repeated(got.size() / one.size()));
            // The box shows the same sentence without its control bytes.
            QString shown = QString::fromLatin1(one);
            shown.remove(QLatin1Char('\r')).remove(QChar(0x02)).remove(QChar(0x03));
            QCOMPARE(child<QPlainTextEdit>(form, "Memo1")->document()->lastBlock().text(), shown);
        }
        QVERIFY(child<EncoderPort>(form)->sent() > 0);
        QVERIFY(child<QLabel>(form, "EncoderPortLabel")->text().startsWith(QStringLiteral("Encoder port %1, 115200 8N1: ").arg(rx.port)));
    }

    void a_fake_xplane_drives_the_encoder()
    {
        // X-Plane at 4,100 ft of pressure altitude: the encoder sends 04100.
        QUdpSocket xplane;
        QVERIFY(xplane.bind(QHostAddress::LocalHost, 0));
        receiver rx;
        QVERIFY(rx.open());
        QVERIFY(connect_as_command_line(form, rx.port, 115200));
        sim_options options;
        options.link_xplane = true;
        options.xplane_port = xplane.localPort();
        form->apply_options(options);
        // Answers every subscriber, 20 times a second: index and value pairs.
        QList<quint16> subscribers;
        float clock = 100.0f;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            while (xplane.hasPendingDatagrams()) {
                const QNetworkDatagram asked = xplane.receiveDatagram();
                if (asked.data().startsWith(QByteArray("RREF\0", 5)) && !subscribers.contains(quint16(asked.senderPort())))
                    subscribers.append(quint16(asked.senderPort()));
            }
            QByteArray reply("RREF\0", 5);
            const float values[] = {4100.0f, 0.0f, 90.0f, clock += 0.05f};
            for (int32_t index = 0; index < 4; index++) {
                reply.append(reinterpret_cast<const char*>(&index), 4);
                reply.append(reinterpret_cast<const char*>(&values[index]), 4);
            }
            for (quint16 port : subscribers)
                xplane.writeDatagram(reply, QHostAddress::LocalHost, port);
        });
        answer.start(50);
        rx.read_all();
        run_with(*form, {{50, [&] { serial_on(2); }}, {1500, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        QTest::qWait(100);  // the last sentence leaves the port
        QCOMPARE(subscribers.size(), 1);
        QByteArray rest;
        const QList<QByteArray> sent = sentences(rx.read_all(), rest);
        QVERIFY(!sent.isEmpty());
        QCOMPARE(sent.last(), QByteArray("ALT 04100\r"));
        child<FlightSimLink>(form)->close();
    }

    void sentences_go_out_as_fast_as_the_line_carries_them_data()
    {
        QTest::addColumn<int>("baud");
        // 17 bytes of 10 bits: 7.06 sentences a second at 1200, 56.5 at 9600
        // (fewer than the passes), and one per pass at 115200.
        QTest::newRow("1200") << 1200;
        QTest::newRow("9600") << 9600;
        QTest::newRow("115200") << 115200;
    }
    void sentences_go_out_as_fast_as_the_line_carries_them()
    {
        QFETCH(int, baud);
        const QByteArray one = "#AL +03250T+25DB\r";
        receiver rx;
        QVERIFY(rx.open());
        QVERIFY(connect_as_command_line(form, rx.port, baud));
        QByteArray stream;
        uint64_t passes[2] = {};
        bool box_empty_at_start = false;
        QElapsedTimer clock;
        qint64 seconds_ms = 0;
        run_with(*form, {{50,
                          [&] {
                              serial_on(0);
                              box_empty_at_start = child<QPlainTextEdit>(form, "Memo1")->document()->isEmpty();
                          }},
                         {300,
                          [&] {
                              rx.read_all();
                              passes[0] = form->passes_run();
                              clock.start();
                          }},
                         {900, [&] { stream += rx.read_all(); }},
                         {1800,
                          [&] {
                              stream += rx.read_all();
                              seconds_ms = clock.elapsed();
                              passes[1] = form->passes_run();
                              child<QPushButton>(form, "Button2")->click();
                          }}});
        const double seconds = seconds_ms / 1000.0;
        const double line_rate = baud / (10.0 * one.size());
        const double pass_rate = double(passes[1] - passes[0]) / seconds;
        const double got_rate = double(stream.size() / one.size()) / seconds;
        qInfo("%d baud: %.1f sentences/s received, line %.1f/s, passes %.1f/s", baud, got_rate, line_rate, pass_rate);
        QCOMPARE(stream, one.repeated(stream.size() / one.size()));
        const double expected = std::min(line_rate, pass_rate);
        QVERIFY2(got_rate >= 0.7 * expected && got_rate <= expected * 1.05 + 1.0, qPrintable(QString::number(got_rate)));
        // Every sentence the box got was either sent or skipped, but for the
        // newest, which may still be waiting for the line.
        QTest::qWait(200);
        QVERIFY(box_empty_at_start);
        const quint64 offered = quint64(child<QPlainTextEdit>(form, "Memo1")->blockCount());
        const quint64 counted = child<EncoderPort>(form)->sent() + child<EncoderPort>(form)->skipped();
        QVERIFY2(counted == offered || counted + 1 == offered,
                 qPrintable(QStringLiteral("%1 offered, %2 counted").arg(offered).arg(counted)));
    }

    void stalled_receiver_costs_only_skipped_sentences()
    {
        receiver rx;
        QVERIFY(rx.open());
        QVERIFY(connect_as_command_line(form, rx.port, 115200));
        const QByteArray before = "#AL +03250T+25DB\r";
        const QByteArray after = "#AL +05000T+25D6\r";

        uint64_t passes[3] = {};
        int lines[3] = {};
        qint64 at[3] = {};
        quint64 skipped_in_stall = 0;
        int filler = 0;
        QByteArray stream;
        QElapsedTimer clock;
        auto mark = [&](int i) {
            passes[i] = form->passes_run();
            lines[i] = child<QPlainTextEdit>(form, "Memo1")->blockCount();
            at[i] = clock.elapsed();
        };
        clock.start();
        run_with(*form, {
            {50, [&] { serial_on(0); }},
            {300, [&] { mark(0); }},
            // The receiver stops reading. Its side of the pair holds some
            // kilobytes; fill them, as two seconds on a slower machine would.
            {1300,
             [&] {
                 mark(1);
                 stream += rx.read_all();
                 // The kernel moves bytes on between its buffers a moment
                 // later; fill until a pause frees no more room.
                 const int writer = ::open(rx.port.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
                 char z[256];
                 memset(z, 'z', sizeof z);
                 for (int quiet = 0; quiet < 3;) {
                     int round = 0;
                     for (ssize_t n; (n = ::write(writer, z, sizeof z)) > 0;)
                         round += int(n);
                     filler += round;
                     quiet = round == 0 ? quiet + 1 : 0;
                     usleep(FILL_PAUSE_US);
                 }
                 ::close(writer);
             }},
            {2300, [&] { child<QScrollBar>(form, "ScrollBar29")->setValue(5000); }},
            {3300,
             [&] {
                 mark(2);
                 skipped_in_stall = child<EncoderPort>(form)->skipped();
                 stream += rx.read_all();  // reading again
             }},
            {3400, [&] { stream += rx.read_all(); }},
            {3500, [&] { stream += rx.read_all(); }},
            {4000, [&] { child<QPushButton>(form, "Button2")->click(); }},
        });
        QTest::qWait(100);
        stream += rx.read_all();

        // The loop kept its pace and the box its lines while the line stood.
        const double rate_before = double(passes[1] - passes[0]) / double(at[1] - at[0]);
        const double rate_stalled = double(passes[2] - passes[1]) / double(at[2] - at[1]);
        qInfo("passes per ms: %.3f before, %.3f while stalled; %llu skipped; %d filler bytes", rate_before,
              rate_stalled, static_cast<unsigned long long>(skipped_in_stall), filler);
        QVERIFY(rate_stalled >= 0.8 * rate_before);
        QCOMPARE(uint64_t(lines[2] - lines[1]), passes[2] - passes[1]);
        QVERIFY(filler > 0);
        QVERIFY(skipped_in_stall > 0);

        // Whole sentences before the filler; after it whole sentences again,
        // the old altitude then the new, and the stream ends on the newest.
        const qsizetype first_z = stream.indexOf('z');
        QVERIFY(first_z > 0);
        QCOMPARE(stream.count('z'), qsizetype(filler));
        QByteArray rest;
        for (const QByteArray& s : sentences(stream.left(first_z), rest))
            QCOMPARE(s, before);
        QVERIFY(rest.isEmpty());
        const QList<QByteArray> resumed = sentences(stream.mid(first_z + filler), rest);
        QVERIFY(rest.isEmpty());
        QVERIFY(!resumed.isEmpty());
        bool seen_after = false;
        for (const QByteArray& s : resumed) {
            if (s == after)
                seen_after = true;
            else
                QVERIFY2(!seen_after && s == before, s.constData());
        }
        QCOMPARE(resumed.last(), after);
        QCOMPARE(resumed.last(), QByteArray(st.serial_line));
    }

    void receiver_going_away_is_survived_and_reported()
    {
        receiver rx;
        QVERIFY(rx.open());
        const QString first_port = rx.port;
        QVERIFY(connect_as_command_line(form, rx.port, 9600));
        uint64_t passes_when_lost = 0;
        int lines_when_lost = 0;
        EncoderPort::port_state state_when_lost = EncoderPort::port_state::none;
        run_with(*form, {{50, [&] { serial_on(2); }},
                         {300, [&] { rx.close(); }},
                         {800,
                          [&] {
                              state_when_lost = child<EncoderPort>(form)->state();
                              passes_when_lost = form->passes_run();
                              lines_when_lost = child<QPlainTextEdit>(form, "Memo1")->blockCount();
                          }},
                         {1100, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        QCOMPARE(int(state_when_lost), int(EncoderPort::port_state::lost));
        // The instrument ran on, and the box kept receiving.
        QVERIFY(form->passes_run() > passes_when_lost + 5);
        QVERIFY(child<QPlainTextEdit>(form, "Memo1")->blockCount() > lines_when_lost + 5);
        const QString shown = child<QLabel>(form, "EncoderPortLabel")->text();
        qInfo("%s", qPrintable(shown));
        QVERIFY2(shown.startsWith(QStringLiteral("Encoder port %1: lost (").arg(first_port)), qPrintable(shown));

        // The dialog connects again to a new receiver, and disconnects.
        receiver rx2;
        QVERIFY(rx2.open());
        child<QAction>(form, "EncoderPort1")->trigger();
        EncoderPortDialog* dialog = child<EncoderPortDialog>(form, "EncoderPortDialog");
        QVERIFY(dialog != nullptr && dialog->isVisible());
        QVERIFY(!dialog->DisconnectButton->isEnabled());
        dialog->PathEdit->setText(rx2.port);
        dialog->BaudBox->setCurrentIndex(dialog->BaudBox->findText(QStringLiteral("4800")));
        QTest::mouseClick(dialog->ConnectButton, Qt::LeftButton);
        QVERIFY(child<EncoderPort>(form)->is_open());
        QCOMPARE(child<EncoderPort>(form)->baud(), 4800);
        QCOMPARE(dialog->StateLabel->text(), QStringLiteral("Encoder port %1, 4800 8N1: 0 sent").arg(rx2.port));
        QVERIFY(dialog->DisconnectButton->isEnabled());
        run_with(*form, {{50, [&] { serial_on(2); }}, {300, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        QTest::qWait(100);
        QVERIFY(rx2.read_all().startsWith("ALT 03250\r"));
        QTest::mouseClick(dialog->DisconnectButton, Qt::LeftButton);
        QVERIFY(!child<EncoderPort>(form)->is_open());
        QCOMPARE(child<QLabel>(form, "EncoderPortLabel")->text(), QStringLiteral("Encoder port: none"));
        dialog->hide();
    }

    void ports_that_cannot_be_opened_are_named_with_the_reason_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a serial device") << "/dev/null" << "Cannot open the encoder port /dev/null: it is not a serial port.";
        QTest::newRow("missing") << "/dev/ktr7-no-such-port" << "Cannot open the encoder port /dev/ktr7-no-such-port: there is no such device.";
        QTest::newRow("bare name") << "ktr7-no-such-port" << "Cannot open the encoder port /dev/ktr7-no-such-port: there is no such device.";
    }
    void ports_that_cannot_be_opened_are_named_with_the_reason()
    {
        QFETCH(QString, port);
        QFETCH(QString, reason);
        MessageBoxCatcher catcher;
        QVERIFY(!connect_as_command_line(form, port, 9600));
        QVERIFY(QTest::qWaitFor([&] { return !catcher.text.isEmpty(); }, 3000));
        QVERIFY2(catcher.text.startsWith(reason), qPrintable(catcher.text));
        QVERIFY(catcher.text.size() > reason.size() || reason.endsWith(QLatin1Char('.')));
        QCOMPARE(child<QLabel>(form, "EncoderPortLabel")->text(), QStringLiteral("Encoder port: none"));
        // The instrument runs without it.
        const uint64_t passes = form->passes_run();
        run_with(*form, {{200, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        QVERIFY(form->passes_run() > passes);
    }

    void a_failed_connect_keeps_the_connected_port_data()
    {
        // The path typed into the dialog while connected to the first
        // receiver, at 4800 baud; whether the connect works.
        add_columns<QString, bool>({"typed", "opens"});
        QTest::newRow("no such device") << "/dev/ktr7-no-such-port" << false;
        QTest::newRow("not a serial port") << "/dev/null" << false;
        QTest::newRow("nothing") << "" << false;
        QTest::newRow("another receiver") << "second" << true;
        QTest::newRow("the same receiver at another rate") << "first" << true;
    }
    void a_failed_connect_keeps_the_connected_port()
    {
        QFETCH(QString, typed);
        QFETCH(bool, opens);
        receiver first, second;
        QVERIFY(first.open() && second.open());
        const QString path = typed == QLatin1String("first")    ? first.port
                             : typed == QLatin1String("second") ? second.port
                                                                : typed;
        QVERIFY(connect_as_command_line(form, first.port, 9600));
        child<QAction>(form, "EncoderPort1")->trigger();
        EncoderPortDialog* dialog = child<EncoderPortDialog>(form, "EncoderPortDialog");
        QVERIFY(dialog != nullptr && dialog->isVisible());
        dialog->PathEdit->setText(path);
        dialog->BaudBox->setCurrentIndex(dialog->BaudBox->findText(QStringLiteral("4800")));
        {
            MessageBoxCatcher catcher;
            QTest::mouseClick(dialog->ConnectButton, Qt::LeftButton);
            if (!opens)
                QVERIFY(QTest::qWaitFor([&] { return !catcher.text.isEmpty(); }, 3000));
        }
        dialog->hide();
        // Connected to the new port, or still to the first as it was.
        const QString now = opens ? path : first.port;
        QVERIFY(child<EncoderPort>(form)->is_open());
        QCOMPARE(child<EncoderPort>(form)->path(), now);
        QCOMPARE(child<EncoderPort>(form)->baud(), opens ? 4800 : 9600);
        QCOMPARE(child<QLabel>(form, "EncoderPortLabel")->text(),
                 QStringLiteral("Encoder port %1, %2 8N1: 0 sent").arg(now).arg(opens ? 4800 : 9600));
        first.read_all();
        run_with(*form, {{50, [&] { serial_on(2); }}, {300, [&] { child<QPushButton>(form, "Button2")->click(); }}});
        QTest::qWait(100);
        const QByteArray to_first = first.read_all();
        const QByteArray to_second = second.read_all();
        const bool second_gets = typed == QLatin1String("second");
        QVERIFY2(to_first.startsWith("ALT 03250\r") != second_gets, to_first.constData());
        QVERIFY2(to_second.startsWith("ALT 03250\r") == second_gets, to_second.constData());
    }

    void bad_command_line_ports_are_refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing port") << QStringList{"--serial", "/dev/ktr7-no-such-port"}
                                      << "ktr7-sim: --serial: there is no port /dev/ktr7-no-such-port";
        QTest::newRow("not a device") << QStringList{"--serial", "/tmp"} << "ktr7-sim: --serial: /tmp is not a serial port";
        QTest::newRow("a device, not a terminal") << QStringList{"--serial", "/dev/null"}
                                                  << "ktr7-sim: --serial: /dev/null is not a serial port";
    }
    void bad_command_line_ports_are_refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess sim;
        sim.start(QStringLiteral(KTR7_SIM_PATH), arguments);
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(err.startsWith(message), qPrintable(err));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    void good_command_line_port_is_taken()
    {
        receiver rx;
        QVERIFY(rx.open());
        sim_options options;
        QCOMPARE(parse_sim_command_line({"ktr7-sim", "--serial", rx.port, "--baud", "57600"}, options),
                 command_line_result::run);
        QCOMPARE(options.serial, rx.port);
        QCOMPARE(options.baud, 57600);
        form->apply_options(options);
        QVERIFY(child<EncoderPort>(form)->is_open());
        QCOMPARE(child<QLabel>(form, "EncoderPortLabel")->text(), QStringLiteral("Encoder port %1, 57600 8N1: 0 sent").arg(rx.port));
    }
};

QTEST_MAIN(tst_encoder_port)
#include "tst_encoder_port.moc"
