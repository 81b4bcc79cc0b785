// One simulated input's scroll bar: keys, arrows and the wheel raise the value to the right and
// up, Shift moves one count, and the bar shows what the instrument makes of its position.
#pragma once
#include <QScrollBar>

class QLabel;

class InputBar : public QScrollBar {
    Q_OBJECT
public:
    // step: the counts one plain arrow press or wheel detent moves.
    InputBar(int step, QWidget* parent);
    int step() const { return usefulStep; }
    // For a bar whose reading falls as its count rises (a period, a sender's resistance): its
    // minimum sits at the right and every means of moving it goes the reading's way, so right and
    // up still raise what the instrument shows.
    void setReversed(bool reversed);
    bool reversed() const { return invertedAppearance(); }
    // The engineering reading, on its own line just above the bar (and the bar's tooltip).
    void setReadingText(const QString& text);
    QString readingText() const { return reading; }
    static constexpr int kReadingHeight = 10;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void moveBy(int counts);
    void stepTheWayItLooks(int action);

    int usefulStep;
    int wheelRemainder = 0;  // eighths of a degree not yet turned into detents
    QString reading;
    QLabel* readingLabel;  // a sibling, so the handle never crosses the text
};
