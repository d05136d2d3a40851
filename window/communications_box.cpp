#include "window/communications_box.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

CommunicationsBox::CommunicationsBox(QWidget* parent) : QGroupBox(QStringLiteral(" Communications: "), parent)
{
    setObjectName(QStringLiteral("GroupBox1"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setMaximumBlockCount(MEMO_LINES);
    Memo1->setUndoRedoEnabled(false);
    connect(Memo1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!appending)
            follows = value >= Memo1->verticalScrollBar()->maximum();
    });
    auto* memo_layout = new QVBoxLayout(this);
    memo_layout->setContentsMargins(6, 4, 6, 6);
    memo_layout->addWidget(Memo1);
}

void CommunicationsBox::append_sentence(const char* line)
{
    // Each sentence is one line of the box. Its terminator (the carriage
    // return) and any other control character have no picture, and a
    // carriage return would otherwise start an empty line of its own.
    QString text;
    for (const char* p = line; *p != '\0'; p++) {
        if (static_cast<unsigned char>(*p) >= 0x20)
            text.append(QLatin1Char(*p));
    }
    if (window()->isMinimized()) {
        waiting.append(text);
        if (waiting.size() >= 2 * MEMO_LINES)
            waiting.remove(0, waiting.size() - MEMO_LINES);
        return;
    }
    show_lines(text);
}

void CommunicationsBox::show_waiting()
{
    if (window()->isMinimized() || waiting.isEmpty())
        return;
    const qsizetype keep = qMin(waiting.size(), qsizetype(MEMO_LINES));
    show_lines(waiting.sliced(waiting.size() - keep).join(QLatin1Char('\n')));
    waiting.clear();
}

void CommunicationsBox::show_lines(const QString& text)
{
    QScrollBar* bar = Memo1->verticalScrollBar();
    appending = true;
    Memo1->appendPlainText(text);
    if (follows)
        bar->setValue(bar->maximum());
    appending = false;
}
