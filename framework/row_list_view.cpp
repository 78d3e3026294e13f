#include "framework/row_list_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace fw {

namespace {

constexpr int kTextMargin = 3;

}  // namespace

RowListView::RowListView() {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    UpdateScrollRange();
}

int RowListView::RowHeight() const {
    return fontMetrics().height() + 2;
}

void RowListView::InsertRow(int row, const QString& text) {
    const int at = std::clamp(row, 0, Count());
    if (at == 0) {
        rows_.push_front(text);
    } else {
        rows_.insert(rows_.begin() + at, text);
    }
    if (selected_ >= at) {
        ++selected_;
    }
    UpdateScrollRange();
    viewport()->update();
}

void RowListView::Clear() {
    rows_.clear();
    selected_ = -1;
    UpdateScrollRange();
    viewport()->update();
}

void RowListView::UpdateScrollRange() {
    const int height = RowHeight();
    const int visible = std::max(1, viewport()->height() / height);
    verticalScrollBar()->setRange(0, std::max(0, Count() - visible));
    verticalScrollBar()->setPageStep(visible);
    verticalScrollBar()->setSingleStep(1);
}

void RowListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void RowListView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(viewport());
    const int height = RowHeight();
    const int first = verticalScrollBar()->value();
    const int last = std::min(Count(), first + viewport()->height() / height + 2);
    const QPalette& colours = palette();
    for (int row = first; row < last; ++row) {
        const QRect rect(0, (row - first) * height, viewport()->width(), height);
        if (row == selected_) {
            painter.fillRect(rect, colours.highlight());
            painter.setPen(colours.highlightedText().color());
        } else {
            painter.setPen(colours.text().color());
        }
        painter.drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Row(row));
    }
}

void RowListView::mousePressEvent(QMouseEvent* event) {
    const int row = verticalScrollBar()->value() + int(event->position().y()) / RowHeight();
    selected_ = row < Count() ? row : -1;
    viewport()->update();
}

}  // namespace fw
