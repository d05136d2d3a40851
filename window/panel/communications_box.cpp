#include "window/panel/communications_box.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

CommunicationsBox::CommunicationsBox(QWidget* parent) : QGroupBox(QStringLiteral(" Communications: "), parent)
{
    setObjectName(QStringLiteral("GroupBox1"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    // Selectable with the mouse and the keyboard, so that End and Ctrl+End
    // reach the box and a selection shows.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setFocusPolicy(Qt::StrongFocus);
    Memo1->setAccessibleName(QStringLiteral("Communications"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setMaximumBlockCount(MEMO_LINES);
    Memo1->setUndoRedoEnabled(false);
    Memo1->installEventFilter(this);
    connect(Memo1->verticalScrollBar(), &QScrollBar::valueChanged, this, &CommunicationsBox::view_moved);
    paused_note = new QLabel(this);
    paused_note->setObjectName(QStringLiteral("paused_note"));
    paused_note->hide();
    auto* memo_layout = new QVBoxLayout(this);
    memo_layout->setContentsMargins(6, 4, 6, 6);
    memo_layout->setSpacing(2);
    memo_layout->addWidget(Memo1);
    memo_layout->addWidget(paused_note);
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
    show_lines(text, 1);
}

void CommunicationsBox::show_waiting()
{
    if (window()->isMinimized() || waiting.isEmpty())
        return;
    const qsizetype keep = qMin(waiting.size(), qsizetype(MEMO_LINES));
    show_lines(waiting.sliced(waiting.size() - keep).join(QLatin1Char('\n')), int(keep));
    waiting.clear();
}

void CommunicationsBox::show_lines(const QString& text, int count)
{
    QScrollBar* bar = Memo1->verticalScrollBar();
    // The line at the top of a held view, found again after the oldest
    // lines have been dropped to make room.
    const int top = bar->value();
    const int dropped = qMax(0, Memo1->blockCount() + count - MEMO_LINES);
    appending = true;
    Memo1->appendPlainText(text);
    if (follows) {
        bar->setValue(bar->maximum());
    } else {
        bar->setValue(qMax(0, top - dropped));
        held_lines += quint64(count);
        show_paused_note();
    }
    appending = false;
}

void CommunicationsBox::view_moved(int value)
{
    if (appending)
        return;
    const bool at_bottom = value >= Memo1->verticalScrollBar()->maximum();
    if (at_bottom == follows)
        return;
    follows = at_bottom;
    held_lines = 0;
    if (follows)
        paused_note->hide();
    else
        show_paused_note();
}

void CommunicationsBox::show_paused_note()
{
    paused_note->setText(QStringLiteral("paused, %1 new %2; End to follow")
                             .arg(QLocale(QLocale::English).toString(held_lines),
                                  held_lines == 1 ? QStringLiteral("line") : QStringLiteral("lines")));
    paused_note->show();
}

void CommunicationsBox::follow()
{
    QScrollBar* bar = Memo1->verticalScrollBar();
    bar->setValue(bar->maximum());
    follows = true;
    held_lines = 0;
    paused_note->hide();
}

bool CommunicationsBox::copy_selection()
{
    const QString selected = Memo1->textCursor().selectedText();
    if (selected.isEmpty())
        return false;
    // Lines are separated by the paragraph separator inside a selection.
    QString text = selected;
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QApplication::clipboard()->setText(text);
    return true;
}

bool CommunicationsBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_End) {
            follow();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}
