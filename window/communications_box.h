// The Communications box: every encoder sentence the instrument sends, one a
// line, the newest MEMO_LINES kept. It follows the newest line unless the
// user has scrolled back to read. While the window is minimised nobody reads
// it: the lines wait and go in at once when the window is restored.
#pragma once
#include <QGroupBox>
#include <QStringList>

class QPlainTextEdit;

class CommunicationsBox : public QGroupBox {
    Q_OBJECT

public:
    // Lines kept in the box; older ones are dropped.
    static constexpr int MEMO_LINES = 10000;

    explicit CommunicationsBox(QWidget* parent);

    QPlainTextEdit* Memo1;  // the sentences, one a line

    // One sentence as the instrument sent it (terminator included).
    void append_sentence(const char* line);
    // The window was restored: the lines that waited go in.
    void show_waiting();

private:
    void show_lines(const QString& text);

    QStringList waiting;   // sentences that came while minimised
    bool follows = true;   // the box keeps its newest line in view
    bool appending = false;
};
