// Lamps the host draws on the front-panel picture: each a coloured light at a place, lit while
// its condition holds. The power lamp is one entry; another lamp is one more entry.
#pragma once
#include <QColor>
#include <QRect>
#include <QWidget>
#include <functional>
#include <vector>

struct PanelLamp {
    QString name;                // object name and tooltip, e.g. "Power"
    QRect place;                 // in panel pixels at zoom 1
    QColor colour;               // lit colour
    std::function<bool()> lit;   // read each time the lamps are refreshed
};

class PanelLamps : public QWidget {
    Q_OBJECT
public:
    explicit PanelLamps(QWidget* parent);
    void addLamp(PanelLamp lamp);
    // Re-reads every lamp's condition; repaints only when one changed.
    void refresh();
    // Panel pixels to widget pixels (the zoom).
    void setScale(double factor);
    bool isLit(const QString& name) const;
    int lampCount() const { return static_cast<int>(lamps.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void placeLamps();

    std::vector<PanelLamp> lamps;
    std::vector<bool> state;
    std::vector<QWidget*> tips;  // one transparent child per lamp carries its name and tooltip
    double scale = 1.0;
};
