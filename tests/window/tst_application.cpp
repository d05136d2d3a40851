// The program as a whole: it ends, its run loop stopped, when its window
// closes or File/Exit is chosen, also while the instrument runs; without a
// display it says so.
#include <QAction>
#include <QProcess>
#include <QPushButton>

#include "core/state.h"
#include "window_support.h"

class tst_application : public QObject {
    Q_OBJECT

    // Runs the application's event loop with "On" pressed in it and the
    // given way of ending at end_ms. Returns exec's status; 99 means the
    // program did not end by itself.
    int run_program(TfrmMain& form, int end_ms, const std::function<void()>& end)
    {
        QTimer on, finish, guard;
        on.setSingleShot(true);
        finish.setSingleShot(true);
        guard.setSingleShot(true);
        bool loop_was_running = false;
        connect(&on, &QTimer::timeout, [&] { QTest::mouseClick(form.Button1, Qt::LeftButton); });
        connect(&finish, &QTimer::timeout, [&] {
            loop_was_running = form.running();
            end();
        });
        connect(&guard, &QTimer::timeout, [] {
            st.stop_requested = 1;
            QCoreApplication::exit(99);
        });
        on.start(0);
        finish.start(end_ms);
        guard.start(10000);
        const int status = QApplication::exec();
        if (!loop_was_running)
            return 98;
        return status;
    }

private slots:
    void closing_while_running_ends_the_program()
    {
        TfrmMain form;
        QVERIFY(show_and_wait(form));
        QCOMPARE(run_program(form, 300, [&] { form.close(); }), 0);
        QVERIFY(!form.running());
        QCOMPARE(int(st.stop_requested), 1);
        QVERIFY(!form.isVisible());
    }

    void exit_while_running_ends_the_program()
    {
        TfrmMain form;
        QVERIFY(show_and_wait(form));
        QCOMPARE(run_program(form, 300, [&] { form.Exit1->trigger(); }), 0);
        QVERIFY(!form.running());
        QCOMPARE(int(st.stop_requested), 1);
    }

    void without_a_display_says_so()
    {
        QProcess program;
        program.setProcessEnvironment(environment_without_display());
        program.start(QStringLiteral(KTR7_SIM_PATH), {});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QString message = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(message.contains(QStringLiteral("no display")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("xvfb-run -a ktr7-sim")), qPrintable(message));
    }

    void with_a_display_it_runs()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        QProcess program;
        program.start(QStringLiteral(KTR7_SIM_PATH), {});
        QVERIFY(program.waitForStarted(5000));
        // Still up after a second: it opened its window and waits.
        QVERIFY(!program.waitForFinished(1500));
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
    }
};

QTEST_MAIN(tst_application)
#include "tst_application.moc"
