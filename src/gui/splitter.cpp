// CProportionalSplitter: keeps the bar at a fixed fraction of the height.
#include "gui/splitter.h"

#include <QResizeEvent>
#include <QStyle>

CProportionalSplitter::CProportionalSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent) {
    setChildrenCollapsible(false);
    setOpaqueResize(style()->styleHint(QStyle::SH_Splitter_OpaqueResize, nullptr, this));
    connect(this, &QSplitter::splitterMoved, this, [this](int pos, int) {
        if (height() > 0) m_fraction = double(pos) / height();
    });
}

void CProportionalSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    PlaceBar();
}

void CProportionalSplitter::SetFraction(double fraction) {
    m_fraction = qBound(0.05, fraction, 0.95);
    PlaceBar();
}

void CProportionalSplitter::PlaceBar() {
    if (count() != 2 || height() <= 0) return;
    const int total = height();
    // Truncated, so that the first placement is exactly height * 3 / 4.
    const int top = int(m_fraction * total);
    setSizes({top, qMax(0, total - top - handleWidth())});
}
