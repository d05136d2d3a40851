#include "window/scenario/scenario_dock.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "host/time_base.h"
#include "window/scenario/window_scenario.h"

namespace {

const char SCENARIO_FILES[] = "Scenarios (*.scn);;All files (*)";
// Lines of output the dock keeps.
constexpr int REPORT_LINES = 1000;

}  // namespace

ScenarioDock::ScenarioDock(WindowScenario* scenario, QWidget* parent)
    : QDockWidget(QStringLiteral("Scenario"), parent), scenario(scenario)
{
    setObjectName(QStringLiteral("ScenarioDock"));
    setFeatures(QDockWidget::DockWidgetClosable);
    auto* inside = new QWidget(this);
    progress = new QLabel(inside);
    progress->setObjectName(QStringLiteral("scenario_progress"));
    report = new QPlainTextEdit(inside);
    report->setObjectName(QStringLiteral("scenario_report"));
    report->setReadOnly(true);
    report->setLineWrapMode(QPlainTextEdit::NoWrap);
    report->setMaximumBlockCount(REPORT_LINES);
    report->setFixedHeight(report->fontMetrics().lineSpacing() * 5 + 2 * report->frameWidth() + 8);
    tally = new QLabel(inside);
    tally->setObjectName(QStringLiteral("scenario_tally"));
    auto* rows = new QVBoxLayout(inside);
    rows->setContentsMargins(6, 2, 6, 4);
    rows->setSpacing(2);
    rows->addWidget(progress);
    rows->addWidget(report);
    rows->addWidget(tally);
    setWidget(inside);
    hide();

    connect(scenario, &WindowScenario::started, this, &ScenarioDock::started);
    connect(scenario, &WindowScenario::progress, this, &ScenarioDock::moved);
    connect(scenario, &WindowScenario::message, this, &ScenarioDock::reported);
    connect(scenario, &WindowScenario::finished, this, &ScenarioDock::ended);
    connect(scenario, &WindowScenario::playing_changed, this, [this](bool playing) {
        if (!playing && tally->text().startsWith(QLatin1String("Playing")))
            tally->setText(QStringLiteral("Stopped at line %1").arg(this->scenario->line()));
    });
}

void ScenarioDock::choose_and_play()
{
    const QString path = QFileDialog::getOpenFileName(parentWidget(), QStringLiteral("Play Scenario"), QString(),
                                                      QLatin1String(SCENARIO_FILES));
    if (!path.isEmpty())
        scenario->play(path);
}

void ScenarioDock::choose_and_record(bool running)
{
    if (running &&
        QMessageBox::question(parentWidget(), QStringLiteral("Record Scenario"),
                              QStringLiteral("A recording starts from the instrument's first state with a fresh "
                                             "switch-on, so the running instrument is switched off now.\n\n"
                                             "Switch it off and record?"),
                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    const QString path = QFileDialog::getSaveFileName(parentWidget(), QStringLiteral("Record Scenario"),
                                                      QStringLiteral("recording.scn"), QLatin1String(SCENARIO_FILES));
    if (!path.isEmpty())
        scenario->start_recording(path);
}

void ScenarioDock::started(const QString& path, long line_count)
{
    name = QFileInfo(path).fileName();
    lines = line_count;
    failures = 0;
    setWindowTitle(QStringLiteral("Scenario %1").arg(name));
    report->clear();
    moved(1, 0);
    tally->setText(QStringLiteral("Playing, no failures"));
    show();
}

void ScenarioDock::moved(long line, quint64 ticks)
{
    ticks_played = ticks;
    progress->setText(QStringLiteral("line %1 of %2, %3 s")
                          .arg(line)
                          .arg(lines)
                          .arg(double(ticks) * TICK_SECONDS, 0, 'f', 1));
}

void ScenarioDock::reported(const QString& text, bool failed)
{
    report->appendPlainText(text);
    moved(scenario->line(), ticks_played);
    if (!failed)
        return;
    failures++;
    tally->setText(QStringLiteral("Playing, %1 %2").arg(failures).arg(failures == 1 ? "failure" : "failures"));
}

void ScenarioDock::ended(int status)
{
    const scenario_result& result = scenario->result();
    QString end = QStringLiteral("Stopped at bad line %1").arg(result.stopped_at);
    if (status == SCENARIO_OK)
        end = QStringLiteral("Done");
    else if (status == SCENARIO_EXPECTATION_FAILED)
        end = QStringLiteral("Done, an expectation failed");
    if (status != SCENARIO_BAD_LINE && result.tally.any())
        end += QStringLiteral(": %1 passed, %2 failed").arg(result.tally.passed).arg(result.tally.failed);
    tally->setText(end);
    // A bad line stops the scenario: said at once, with the line and why.
    if (status == SCENARIO_BAD_LINE && !unattended && !result.failures.empty())
        QMessageBox::warning(parentWidget(), QApplication::applicationName(),
                             QStringLiteral("The scenario stopped at a bad line:\nline %1: %2")
                                 .arg(result.stopped_at)
                                 .arg(QString::fromLocal8Bit(result.failures.back().message.c_str())));
}
