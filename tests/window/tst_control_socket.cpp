// The live window driven over its control socket: ktr7-sim started with
// --control, a client that sends scenario lines and reads their answers, one
// that sends junk, and the places the socket cannot be made.
#include <QLocalSocket>

#include <sys/stat.h>

#include "window/connections/control_socket.h"
#include "window_support.h"

namespace {

constexpr int ANSWER_MS = 10000;

// The answer to the last of the lines sent at once (so that the window
// plays them between the same two passes), or with every the answers to
// all of them: what comes until "ok" or "error ...", that included.
QStringList ask(QLocalSocket& socket, const QByteArray& lines, bool every = false)
{
    socket.write(lines + '\n');
    socket.flush();
    QStringList answer;
    for (qsizetype left = lines.count('\n') + 1; left > 0;) {
        if (!socket.canReadLine() && !socket.waitForReadyRead(ANSWER_MS))
            return answer << QStringLiteral("(no answer: %1)").arg(socket.errorString());
        while (left > 0 && socket.canReadLine()) {
            answer << QString::fromLatin1(socket.readLine()).chopped(1);
            const bool last = answer.last() == QLatin1String("ok") || answer.last().startsWith(QLatin1String("error "));
            if (last && --left > 0 && !every)
                answer.clear();
        }
    }
    return answer;
}

bool connect_to(QLocalSocket& socket, const QString& path)
{
    socket.abort();
    socket.connectToServer(path);
    return socket.waitForConnected(ANSWER_MS);
}

}  // namespace

class ControlSocketTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime;
    QProcess sim;
    QString path;
    QLocalSocket client;

    // Starts the window with --control SOCKET in runtime as $XDG_RUNTIME_DIR;
    // what it wrote on standard error once it has said where it listens or ended.
    QString start_sim(QProcess& program, const QString& socket)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KTR7_SIM_PATH), {QStringLiteral("--control"), socket});
        QByteArray said;
        (void)QTest::qWaitFor(
            [&] {
                said += program.readAllStandardError();
                return said.contains("control socket") || program.state() == QProcess::NotRunning;
            },
            ANSWER_MS);
        return QString::fromLocal8Bit(said);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime.isValid());
        // The socket left by a window that ended without removing it is taken over.
        path = runtime.filePath(QStringLiteral("ktr7.sock"));
        QProcess earlier;
        QVERIFY(start_sim(earlier, QStringLiteral("ktr7.sock")).contains("ktr7-sim: control socket " + path));
        earlier.kill();
        earlier.waitForFinished();
        QVERIFY(QFile::exists(path));

        QVERIFY(start_sim(sim, QStringLiteral("ktr7.sock")).contains("ktr7-sim: control socket " + path));
        struct stat about {};
        QCOMPARE(lstat(QFile::encodeName(path).constData(), &about), 0);
        QVERIFY(S_ISSOCK(about.st_mode));
        QCOMPARE(about.st_mode & 0777, 0600u);
        QVERIFY(connect_to(client, path));
    }

    void cleanupTestCase()
    {
        sim.kill();
        sim.waitForFinished();
    }

    // Lines played one after another on one connection, against the
    // window as the lines before left it.
    void each_line_is_answered_data()
    {
        add_columns<QByteArray, QStringList>({"line", "answer"});
        const QStringList ok{QStringLiteral("ok")};
        const auto row = [](const char* name, const char* line, const QStringList& answer) {
            QTest::newRow(name) << QByteArray(line) << answer;
        };
        row("blank", "", ok);
        row("on", "on", ok);
        row("altitude", "altitude 1200", ok);
        row("asi at its top", "asi 4096", ok);
        row("asi one above", "asi 4097", {"error 5: asi: value 4097 outside 0..4096"});
        row("asi back", "asi 0", ok);
        row("a second of time", "wait 10", ok);
        row("printed", "print current_screen altitude",
            {"current_screen=screen_main", "altitude=1200", "ok"});
        row("unknown", "hover 3", {"error 9: unknown command \"hover\""});
        row("CR LF", "key push\r", ok);
        row("the menu drawn", "pass 2", ok);
        row("text held", "expect text \"ALT SETUP\"", ok);
        row("text missed", "expect text \"VSI SETUP\"",
            {"error 13: expected text \"VSI SETUP\", not on the LCD, which shows \"K\", \"ova\", \"MAIN MENU\", "
             "\"ALT\", \"SETUP\", \"EXIT\""});
        // ALT SETUP's row 5, SERIAL OUT, switched on: each pass sends the altitude.
        for (const char* step : {"key push", "key cw", "key cw", "key cw", "key cw", "key cw", "key push"})
            QTest::newRow(step) << QByteArray(step + QByteArray("\npass 2")) << ok;
        // As in the replay tool: ON takes effect in the pass that takes the
        // key, and the pass after it sends; from then on every pass sends.
        const QString sentence = QStringLiteral("serial \\x23AL +01200T+25D4\\x0D");
        row("serial out on", "key cw\npass 2", {sentence, "ok"});
        row("done", "key push", ok);
        row("sentences", "pass 2", {sentence, sentence, "ok"});
        row("off", "off", ok);
        row("pass while off", "pass", {"error 33: pass: the instrument is off (switch it on with \"on\")"});
    }

    void each_line_is_answered()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, answer);
        QCOMPARE(ask(client, line), answer);
    }

    // While a line waits for passes alone the window's time stands, as in
    // the replay tool, where passes take none: no tick moves the blink.
    void time_stands_while_a_line_waits_for_passes()
    {
        const QByteArray fields = "print blink_divider blink_phase tick_counter";
        QCOMPARE(ask(client, "on\nwait 2"), QStringList{"ok"});
        const QStringList answers = ask(client, fields + "\npass 60\n" + fields, true);
        QCOMPARE(answers.size(), 9);
        QCOMPARE(answers.mid(5), answers.mid(0, 4));
        QCOMPARE(ask(client, "off"), QStringList{"ok"});
    }

    // Junk, a second client and a line too long: each told, the window
    // answering the next client as before.
    void junk_leaves_the_window_answering()
    {
        QLocalSocket second;
        QVERIFY(connect_to(second, path));
        QVERIFY(second.waitForReadyRead(ANSWER_MS));
        QCOMPARE(second.readAll(), QByteArray("error 0: another client is connected\n"));

        const long next = 40;
        QCOMPARE(ask(client, QByteArray("\x00\xFF\x1B[2J", 6)),
                 QStringList{QStringLiteral("error %1: unknown command \"\\x00\\xFF\\x1B[2J\"").arg(next)});
        QCOMPARE(ask(client, QByteArray(ControlSocket::LONGEST_LINE + 1, 'x')),
                 QStringList{QStringLiteral("error %1: line longer than 16384 bytes").arg(next + 1)});
        QVERIFY(client.waitForDisconnected(ANSWER_MS));

        // Gone in the middle of a line: that line does not run.
        QLocalSocket cut;
        QVERIFY(connect_to(cut, path));
        cut.write("print current_screen\nsensor fau");
        cut.disconnectFromServer();
        QLocalSocket after;
        QVERIFY(QTest::qWaitFor([&] { return connect_to(after, path) && ask(after, "print alt_sensor_ok").size() == 2; },
                                ANSWER_MS));
        QCOMPARE(ask(after, "print current_screen alt_sensor_ok"),
                 (QStringList{"current_screen=screen_main", "alt_sensor_ok=1", "ok"}));
        QCOMPARE(sim.state(), QProcess::Running);
    }

    // Where the socket cannot be made the window does not start.
    void refused_places_data()
    {
        add_columns<QString, QString>({"socket", "said"});
        QTest::newRow("a file that is no socket") << QStringLiteral("file.txt") << QStringLiteral("is no socket");
        QTest::newRow("another window's") << QStringLiteral("ktr7.sock") << QStringLiteral("another program listens");
        QTest::newRow("too long") << QStringLiteral("/tmp/") + QString(120, QLatin1Char('s'))
                                  << QStringLiteral("a socket's path takes 1 to 107 bytes");
    }

    void refused_places()
    {
        QFETCH(QString, socket);
        QFETCH(QString, said);
        QVERIFY(!write_test_file(runtime, "file.txt", "notes\n").isEmpty());
        QProcess refused;
        QVERIFY(start_sim(refused, socket).contains(said));
        QVERIFY(refused.state() == QProcess::NotRunning || refused.waitForFinished(ANSWER_MS));
        QCOMPARE(refused.exitCode(), 2);
        QVERIFY(QFile::exists(runtime.filePath(QStringLiteral("file.txt"))));
    }

    void a_bare_name_needs_a_runtime_folder()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        QProcess refused;
        refused.setProcessEnvironment(environment);
        refused.start(QStringLiteral(KTR7_SIM_PATH), {QStringLiteral("--control"), QStringLiteral("ktr7.sock")});
        QVERIFY(refused.waitForFinished(ANSWER_MS));
        QCOMPARE(refused.exitCode(), 2);
        QVERIFY(refused.readAllStandardError().startsWith(
            "ktr7-sim: --control ktr7.sock: XDG_RUNTIME_DIR is not set; give the socket as a path, such as ./ktr7.sock\n"));
    }
};

QTEST_MAIN(ControlSocketTest)
#include "tst_control_socket.moc"
