// CProportionalSplitter: a vertical splitter of two panes whose bar stays at
// the same fraction of the height when the splitter is resized. The editor
// window's client area.
#pragma once

#include <QSplitter>

class CProportionalSplitter : public QSplitter {
    Q_OBJECT

public:
    // The bar starts at three quarters of the height, with the upper pane
    // getting height * 3 / 4 pixels.
    explicit CProportionalSplitter(QWidget* parent = nullptr);

    // Distance of the bar from the top as a fraction of the height.
    double Fraction() const { return m_fraction; }
    // Moves the bar to `fraction` of the height (kept within 5% to 95%).
    void SetFraction(double fraction);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceBar();

    double m_fraction = 0.75;
};
