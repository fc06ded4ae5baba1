#pragma once

#include <QObject>
#include <QPixmap>

#include <map>

namespace pelicard {

// The strip of small pictures the file bars show in their command cells.
class IconStrip : public QObject {
    Q_OBJECT

public:
    static constexpr int Load = 5;
    static constexpr int Save = 7;
    static constexpr int ChooseFile = 8;
    static constexpr int Print = 9; // print the table, or keep the trend picture

    // Pictures are side x side pixels.
    explicit IconStrip(int side, QObject* parent = nullptr);

    // The picture of a cell; empty for a cell without one.
    QPixmap Cell(int index) const;
    int Side() const { return side_; }

private:
    int side_;
    std::map<int, QPixmap> cells_;
};

} // namespace pelicard
