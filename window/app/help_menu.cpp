#include "window/app/help_menu.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cstddef>

#include "window/app/help_texts.h"

extern const unsigned char scenarios_manual[];
extern const std::size_t scenarios_manual_size;

namespace {

// The manual's window when it first opens.
constexpr int MANUAL_WIDTH = 720;
constexpr int MANUAL_HEIGHT = 640;

}  // namespace

HelpMenu::HelpMenu(QWidget* window) : QMenu(QStringLiteral("&Help"), window), window(window)
{
    setObjectName(QStringLiteral("Help1"));
    const auto entry = [this](const char* name, const char* text, void (HelpMenu::*handler)()) {
        QAction* added = addAction(QString::fromLatin1(text));
        added->setObjectName(QLatin1String(name));
        connect(added, &QAction::triggered, this, handler);
        return added;
    };
    KeyboardMap1 = entry("KeyboardMap1", "&Keyboard and Mouse", &HelpMenu::show_keyboard_map);
    ScenarioManual1 = entry("ScenarioManual1", "&Scenario Language", &HelpMenu::show_scenario_manual);
    addSeparator();
    About1 = entry("About1", "&About", &HelpMenu::show_about);
}

void HelpMenu::show_keyboard_map()
{
    QMessageBox::information(window, QStringLiteral("Keyboard and Mouse"), keyboard_map_text());
}

void HelpMenu::show_scenario_manual()
{
    if (manual == nullptr) {
        manual = new QDialog(window, Qt::Window);
        manual->setObjectName(QStringLiteral("ScenarioManual"));
        manual->setWindowTitle(QStringLiteral("Scenario Language"));
        auto* text = new QTextBrowser(manual);
        text->setOpenExternalLinks(true);
        text->setMarkdown(QString::fromUtf8(reinterpret_cast<const char*>(scenarios_manual),
                                            qsizetype(scenarios_manual_size)));
        auto* layout = new QVBoxLayout(manual);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(text);
        manual->resize(MANUAL_WIDTH, MANUAL_HEIGHT);
    }
    manual->show();
    manual->raise();
    manual->activateWindow();
}

void HelpMenu::show_about()
{
    QMessageBox::about(window, QStringLiteral("About %1").arg(QApplication::applicationName()), about_text());
}
