#include "window/FlexGrid.h"

#include "values/Arithmetic.h"
#include "window/ControlColours.h"
#include "window/FlexGridDelegate.h"
#include "window/FlexGridModel.h"
#include "window/Twips.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cstdint>

namespace pelicard {

namespace {

// How many scrolling rows the grid asks room for when laid out.
constexpr int PreferredBodyRows = 10;

// The scrolling rows. Where the pane is taller than the rows, empty rows are drawn below the last
// one, so that an enlarged table looks like a longer table rather than a short one on grey.
class ScrollingRowsView : public QTableView {
public:
    using QTableView::QTableView;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QTableView::paintEvent(event);
        const int rows = model() != nullptr ? model()->rowCount() : 0;
        const int cols = model() != nullptr ? model()->columnCount() : 0;
        const int step = verticalHeader()->defaultSectionSize();
        if (cols == 0 || step <= 0) {
            return;
        }
        const int top = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
        const int right = columnViewportPosition(cols - 1) + columnWidth(cols - 1);
        if (top < 0 || top >= viewport()->height()) {
            return;
        }
        QPainter painter(viewport());
        painter.fillRect(
            QRect(0, top, right, viewport()->height() - top), QApplication::palette().color(QPalette::Base));
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const auto grid
            = static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
        painter.setPen(QPen(QColor::fromRgba(grid), 0));
        for (int y = top + step - 1; y < viewport()->height(); y += step) {
            painter.drawLine(0, y, right - 1, y);
        }
        for (int col = 0; col < cols; ++col) {
            const int x = columnViewportPosition(col) + columnWidth(col) - 1;
            painter.drawLine(x, top, x, viewport()->height());
        }
    }
};

} // namespace

FlexGrid::FlexGrid(QWidget* parent)
    : QFrame(parent)
    , cells_(std::make_unique<FlexGridCells>())
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // A compact sans serif like the one the column widths were chosen for.
    QFont compact(QStringLiteral("Arial"));
    compact.setStyleHint(QFont::SansSerif);
    compact.setPointSizeF(8.25);
    setFont(compact);
    headerModel_ = new FlexGridModel(*cells_, true, this);
    bodyModel_ = new FlexGridModel(*cells_, false, this);
    auto* delegate = new FlexGridDelegate(this);

    const auto setUp = [&](QTableView* view, FlexGridModel* model) {
        view->setModel(model);
        view->setItemDelegate(delegate);
        view->horizontalHeader()->hide();
        view->verticalHeader()->hide();
        view->horizontalHeader()->setMinimumSectionSize(0);
        view->verticalHeader()->setMinimumSectionSize(0);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->horizontalHeader()->setDefaultSectionSize(TwipsToPixelsX(this, FlexGridDefaultColWidthTwips));
        // A grid wider than its columns gives the extra width to the last one.
        view->horizontalHeader()->setStretchLastSection(true);
        view->setSelectionMode(QAbstractItemView::NoSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        // The grid decides what is shown at the top, not the current cell.
        view->setAutoScroll(false);
        view->setWordWrap(false);
        view->setTextElideMode(Qt::ElideNone);
        view->setCornerButtonEnabled(false);
        view->setTabKeyNavigation(false);
        // Room beyond the last column or row shows grey, so the cells stand out.
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        view->setPalette(palette);
    };

    headerView_ = new QTableView(this);
    headerView_->setObjectName(QStringLiteral("fixedRow"));
    setUp(headerView_, headerModel_);
    headerView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerView_->setFocusPolicy(Qt::NoFocus);

    bodyView_ = new ScrollingRowsView(this);
    bodyView_->setObjectName(QStringLiteral("scrollingRows"));
    setUp(bodyView_, bodyModel_);
    // Always shown, so the fixed row above keeps the same width and its columns line up.
    bodyView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* corner = new QWidget(this);
    corner->setObjectName(QStringLiteral("corner"));
    corner->setFixedWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bodyView_));
    corner->setAutoFillBackground(true);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(headerView_, 0, 0);
    layout->addWidget(corner, 0, 1);
    layout->addWidget(bodyView_, 1, 0, 1, 2);
    layout->setRowStretch(1, 1);

    connect(bodyView_->horizontalScrollBar(), &QScrollBar::valueChanged, headerView_->horizontalScrollBar(),
        &QScrollBar::setValue);
    connect(bodyView_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!applyingTopRow_) {
            topRow_ = value + 1;
        }
    });
    // The view learns its scroll range late (after layout); the wanted top row is applied then.
    connect(bodyView_->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { ApplyTopRow(); });
    connect(headerView_, &QTableView::clicked, this,
        [this](const QModelIndex& cell) { CellClicked(0, cell.column()); });
    connect(bodyView_, &QTableView::clicked, this,
        [this](const QModelIndex& cell) { CellClicked(cell.row() + 1, cell.column()); });
    // Enter or Space on a cell of the fixed row acts like a click (see eventFilter).
    headerView_->installEventFilter(this);

    bodyView_->verticalHeader()->setDefaultSectionSize(DefaultRowPixels());
    ApplyRowHeight(0);
    UpdateBodyVisibility();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const
{
    return cells_->Rows();
}

void FlexGrid::SetRows(int rows)
{
    const int old = cells_->Rows();
    if (rows < 1 || rows > MaxRows || rows == old) {
        return;
    }
    if (rows > old) {
        bodyModel_->BeginInsertRows(old, rows - 1);
        cells_->texts.resize(
            static_cast<std::size_t>(rows), std::vector<QString>(static_cast<std::size_t>(cells_->cols)));
        bodyModel_->EndInsertRows();
    } else {
        bodyModel_->BeginRemoveRows(rows, old - 1);
        cells_->texts.resize(static_cast<std::size_t>(rows));
        cells_->formats.removeIf(
            [rows](const auto& entry) { return FlexGridCells::RowOfKey(entry.key()) >= rows; });
        cells_->rowHeights.removeIf([rows](const auto& entry) { return entry.key() >= rows; });
        bodyModel_->EndRemoveRows();
        currentRow_ = std::min(currentRow_, rows - 1);
        topRow_ = std::clamp(topRow_, 1, std::max(1, rows - 1));
        ApplyTopRow();
    }
    if ((old == 1) != (rows == 1)) {
        UpdateBodyVisibility();
    }
    if (std::min(old, PreferredBodyRows + 1) != std::min(rows, PreferredBodyRows + 1)) {
        updateGeometry();
    }
}

int FlexGrid::Cols() const
{
    return cells_->cols;
}

void FlexGrid::SetCols(int cols)
{
    const int old = cells_->cols;
    if (cols < 1 || cols > MaxCols || cols == old) {
        return;
    }
    const auto resizeRows = [&] {
        for (auto& row : cells_->texts) {
            row.resize(static_cast<std::size_t>(cols));
        }
        cells_->colWidths.resize(static_cast<std::size_t>(cols), -1);
        cells_->colAlignments.resize(static_cast<std::size_t>(cols), AlignGeneral);
        cells_->cols = cols;
    };
    if (cols > old) {
        headerModel_->BeginInsertColumns(old, cols - 1);
        bodyModel_->BeginInsertColumns(old, cols - 1);
        resizeRows();
        bodyModel_->EndInsertColumns();
        headerModel_->EndInsertColumns();
        for (int col = old; col < cols; ++col) {
            ApplyColWidth(col);
        }
    } else {
        headerModel_->BeginRemoveColumns(cols, old - 1);
        bodyModel_->BeginRemoveColumns(cols, old - 1);
        resizeRows();
        cells_->formats.removeIf(
            [cols](const auto& entry) { return FlexGridCells::ColOfKey(entry.key()) >= cols; });
        bodyModel_->EndRemoveColumns();
        headerModel_->EndRemoveColumns();
        currentCol_ = std::min(currentCol_, cols - 1);
    }
    updateGeometry();
}

int FlexGrid::TopRow() const
{
    // On screen, the row at the top of the view (scrolled to the end, the view shows the last row in
    // full and the one at the top may be cut). Off screen the view has not laid its rows out, and the
    // row asked for is the one it will show as far as it can.
    if (!bodyView_->isVisible()) {
        return topRow_;
    }
    // Rows added or resized since the view's last layout are laid out now (the view would do so
    // only when events are next processed), so the answer holds for the grid as it is.
    bodyView_->doItemsLayout();
    const int shown = bodyView_->rowAt(0);
    return shown >= 0 ? shown + 1 : topRow_;
}

void FlexGrid::SetTopRow(int row)
{
    topRow_ = std::clamp(row, 1, std::max(1, cells_->Rows() - 1));
    ApplyTopRow();
}

void FlexGrid::ApplyTopRow()
{
    const bool wasApplying = applyingTopRow_;
    applyingTopRow_ = true;
    bodyView_->verticalScrollBar()->setValue(topRow_ - 1);
    applyingTopRow_ = wasApplying;
}

int FlexGrid::Row() const
{
    return currentRow_;
}

void FlexGrid::SetRow(int row)
{
    if (row >= 0 && row < cells_->Rows()) {
        currentRow_ = row;
    }
}

int FlexGrid::Col() const
{
    return currentCol_;
}

void FlexGrid::SetCol(int col)
{
    if (col >= 0 && col < cells_->cols) {
        currentCol_ = col;
    }
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    if (!cells_->Contains(row, col)) {
        return {};
    }
    return cells_->texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text)
{
    if (!cells_->Contains(row, col)) {
        return;
    }
    QString& cell = cells_->texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell == text && cell.isNull() == text.isNull()) {
        return;
    }
    cell = text;
    (row == 0 ? headerModel_ : bodyModel_)->CellChanged(row, col);
}

void FlexGrid::Clear()
{
    for (auto& row : cells_->texts) {
        std::fill(row.begin(), row.end(), QString());
    }
    cells_->formats.clear();
    headerModel_->AllChanged();
    bodyModel_->AllChanged();
}

void FlexGrid::SetColWidth(int col, int twips)
{
    if (col < 0 || col >= cells_->cols) {
        return;
    }
    cells_->colWidths[static_cast<std::size_t>(col)] = std::max(-1, twips);
    ApplyColWidth(col);
    updateGeometry();
}

int FlexGrid::ColWidth(int col) const
{
    if (col < 0 || col >= cells_->cols) {
        return 0;
    }
    const int twips = cells_->colWidths[static_cast<std::size_t>(col)];
    return twips < 0 ? FlexGridDefaultColWidthTwips : twips;
}

void FlexGrid::ApplyColWidth(int col)
{
    const int pixels = TwipsToPixelsX(this, ColWidth(col));
    headerView_->horizontalHeader()->resizeSection(col, pixels);
    bodyView_->horizontalHeader()->resizeSection(col, pixels);
}

void FlexGrid::SetRowHeight(int row, int twips)
{
    if (row < 0 || row >= cells_->Rows()) {
        return;
    }
    if (twips < 0) {
        cells_->rowHeights.remove(row);
    } else {
        cells_->rowHeights.insert(row, twips);
    }
    ApplyRowHeight(row);
}

int FlexGrid::RowHeight(int row) const
{
    if (row < 0 || row >= cells_->Rows()) {
        return 0;
    }
    return cells_->rowHeights.value(row, FlexGridDefaultRowHeightTwips);
}

int FlexGrid::DefaultRowPixels() const
{
    return std::max(TwipsToPixelsY(this, FlexGridDefaultRowHeightTwips), fontMetrics().height() + 2);
}

int FlexGrid::RowPixels(int row) const
{
    const auto found = cells_->rowHeights.constFind(row);
    if (found == cells_->rowHeights.constEnd()) {
        return DefaultRowPixels();
    }
    // A row never gets lower than its text: fonts differ between desktops.
    return std::max(TwipsToPixelsY(this, found.value()), fontMetrics().height() + 2);
}

void FlexGrid::ApplyRowHeight(int row)
{
    const int pixels = RowPixels(row);
    if (row == 0) {
        headerView_->verticalHeader()->setDefaultSectionSize(pixels);
        headerView_->verticalHeader()->resizeSection(0, pixels);
        headerView_->setFixedHeight(pixels);
        updateGeometry();
    } else {
        bodyView_->verticalHeader()->resizeSection(row - 1, pixels);
    }
}

void FlexGrid::SetColAlignment(int col, int code)
{
    if (col < 0 || col >= cells_->cols || code < 0 || code > AlignGeneral) {
        return;
    }
    cells_->colAlignments[static_cast<std::size_t>(col)] = code;
    headerModel_->ColumnChanged(col);
    bodyModel_->ColumnChanged(col);
}

int FlexGrid::ColAlignment(int col) const
{
    if (col < 0 || col >= cells_->cols) {
        return AlignGeneral;
    }
    return cells_->colAlignments[static_cast<std::size_t>(col)];
}

std::uint32_t FlexGrid::CellBackColor() const
{
    return cells_->BackAt(currentRow_, currentCol_);
}

void FlexGrid::SetCellBackColor(std::uint32_t colour)
{
    if (!cells_->Contains(currentRow_, currentCol_)) {
        return;
    }
    cells_->formats[FlexGridCells::KeyOf(currentRow_, currentCol_)].back = colour;
    (currentRow_ == 0 ? headerModel_ : bodyModel_)->CellChanged(currentRow_, currentCol_);
}

QPixmap FlexGrid::CellPicture() const
{
    const FlexGridCellFormat* format = cells_->FormatAt(currentRow_, currentCol_);
    return format != nullptr ? format->picture : QPixmap();
}

void FlexGrid::SetCellPicture(const QPixmap& picture)
{
    if (!cells_->Contains(currentRow_, currentCol_)) {
        return;
    }
    cells_->formats[FlexGridCells::KeyOf(currentRow_, currentCol_)].picture = picture;
    (currentRow_ == 0 ? headerModel_ : bodyModel_)->CellChanged(currentRow_, currentCol_);
}

int FlexGrid::CellPictureAlignment() const
{
    const FlexGridCellFormat* format = cells_->FormatAt(currentRow_, currentCol_);
    return format != nullptr ? format->pictureAlignment : 0;
}

void FlexGrid::SetCellPictureAlignment(int code)
{
    if (!cells_->Contains(currentRow_, currentCol_) || code < 0 || code > 8) {
        return;
    }
    cells_->formats[FlexGridCells::KeyOf(currentRow_, currentCol_)].pictureAlignment = code;
    (currentRow_ == 0 ? headerModel_ : bodyModel_)->CellChanged(currentRow_, currentCol_);
}

void FlexGrid::Redraw()
{
    headerView_->viewport()->update();
    bodyView_->viewport()->update();
}

std::uint32_t FlexGrid::BackColorFixed() const
{
    return cells_->backFixed;
}

void FlexGrid::SetBackColorFixed(std::uint32_t colour)
{
    cells_->backFixed = colour;
    if (QWidget* corner = findChild<QWidget*>(QStringLiteral("corner"))) {
        QPalette palette = corner->palette();
        palette.setColor(QPalette::Window, ToQColor(colour));
        corner->setPalette(palette);
    }
    headerModel_->AllChanged();
}

std::uint32_t FlexGrid::BackColor() const
{
    return cells_->back;
}

void FlexGrid::SetBackColor(std::uint32_t colour)
{
    cells_->back = colour;
    bodyModel_->AllChanged();
}

int FlexGrid::Index() const
{
    return index_;
}

void FlexGrid::SetIndex(int arrayIndex)
{
    index_ = arrayIndex;
}

void FlexGrid::CellClicked(int row, int col)
{
    SetRow(row);
    SetCol(col);
    emit Click(index_);
}

void FlexGrid::UpdateBodyVisibility()
{
    const bool scrolling = cells_->Rows() > 1;
    bodyView_->setVisible(scrolling);
    // A one-row grid (a file bar, a setting box) is worked from the keyboard too: Tab reaches it,
    // the arrow keys choose a cell and Enter or Space acts like a click.
    headerView_->setFocusPolicy(scrolling ? Qt::NoFocus : Qt::StrongFocus);
    if (QWidget* corner = findChild<QWidget*>(QStringLiteral("corner"))) {
        corner->setVisible(scrolling);
    }
    setSizePolicy(QSizePolicy::Preferred, scrolling ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    updateGeometry();
}

QSize FlexGrid::sizeHint() const
{
    // Absurd column widths add up beyond int; the hint then saturates.
    const std::int64_t frame = 2 * std::int64_t { frameWidth() };
    std::int64_t width = frame;
    for (int col = 0; col < cells_->cols; ++col) {
        width += TwipsToPixelsX(this, ColWidth(col));
    }
    std::int64_t height = frame + RowPixels(0);
    if (cells_->Rows() > 1) {
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bodyView_);
        height += std::int64_t { std::min(cells_->Rows() - 1, PreferredBodyRows) } * DefaultRowPixels();
    }
    return { Saturate(width), Saturate(height) };
}

QSize FlexGrid::minimumSizeHint() const
{
    const int height = 2 * frameWidth() + RowPixels(0) + (cells_->Rows() > 1 ? DefaultRowPixels() * 2 : 0);
    return { 60, height };
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    const auto pressed = [event] {
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    };
    if (watched == headerView_ && event->type() == QEvent::KeyPress && pressed()
        && headerView_->currentIndex().isValid()) {
        CellClicked(0, headerView_->currentIndex().column());
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void FlexGrid::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange && bodyView_ != nullptr) {
        bodyView_->verticalHeader()->setDefaultSectionSize(DefaultRowPixels());
        ApplyRowHeight(0);
        for (auto it = cells_->rowHeights.constBegin(); it != cells_->rowHeights.constEnd(); ++it) {
            if (it.key() > 0) {
                ApplyRowHeight(it.key());
            }
        }
    }
}

} // namespace pelicard
