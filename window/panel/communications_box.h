// The Communications box: every encoder sentence the instrument sends, one a
// line, the newest MEMO_LINES kept. It follows the newest line while its view
// is at the bottom. Scrolled up by the user it holds the view on the lines
// being read and says how many came since ("paused, 1,204 new lines; End to
// follow"); End (or Ctrl+End) or scrolling back to the bottom follows again.
// While the window is minimised nobody reads it: the lines wait and go in at
// once when the window is restored.
#pragma once
#include <QGroupBox>
#include <QStringList>

class QLabel;
class QPlainTextEdit;

class CommunicationsBox : public QGroupBox {
    Q_OBJECT

public:
    // Lines kept in the box; older ones are dropped.
    static constexpr int MEMO_LINES = 10000;

    explicit CommunicationsBox(QWidget* parent);

    QPlainTextEdit* Memo1;  // the sentences, one a line
    QLabel* paused_note;    // shown while the view is held: new lines and how to follow

    // One sentence as the instrument sent it (terminator included).
    void append_sentence(const char* line);
    // The window was restored: the lines that waited go in.
    void show_waiting();
    // Back to the newest line, following again.
    void follow();
    bool following() const { return follows; }
    // The selected text to the clipboard; false when nothing is selected.
    bool copy_selection();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show_lines(const QString& text, int count);
    void view_moved(int value);
    void show_paused_note();

    QStringList waiting;     // sentences that came while minimised
    bool follows = true;     // the box keeps its newest line in view
    bool appending = false;
    quint64 held_lines = 0;  // lines that came while the view was held
};
