// Framework-internal: a scrolling list of text rows that lays out and paints only the rows in
// sight, so a row costs the same to add at the top of a long list as of a short one. (Qt's item
// views lay out every row again after each insertion.)
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <deque>

namespace fw {

class RowListView : public QAbstractScrollArea {
public:
    RowListView();

    void InsertRow(int row, const QString& text);
    void Clear();
    int Count() const { return int(rows_.size()); }
    const QString& Row(int row) const { return rows_[std::size_t(row)]; }
    int Selected() const { return selected_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int RowHeight() const;
    void UpdateScrollRange();

    std::deque<QString> rows_;
    int selected_ = -1;
};

}  // namespace fw
