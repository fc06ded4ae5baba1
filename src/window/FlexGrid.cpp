#include "window/FlexGrid.h"

#include "window/Colours.h"
#include "window/Twips.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QGridLayout>
#include <QHash>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <optional>
#include <vector>

namespace pelicard {

namespace {

constexpr int PictureRole = Qt::UserRole + 1;
constexpr int PictureAlignmentRole = Qt::UserRole + 2;
constexpr int DefaultColWidthTwips = 960;
constexpr int DefaultRowHeightTwips = 240;
// How many scrolling rows the grid asks room for when laid out.
constexpr int PreferredBodyRows = 10;

Qt::Alignment AlignmentOf(int code, const QString& text)
{
    switch (code) {
    case 0:
        return Qt::AlignLeft | Qt::AlignTop;
    case 1:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case 2:
        return Qt::AlignLeft | Qt::AlignBottom;
    case 3:
        return Qt::AlignHCenter | Qt::AlignTop;
    case 4:
        return Qt::AlignCenter;
    case 5:
        return Qt::AlignHCenter | Qt::AlignBottom;
    case 6:
        return Qt::AlignRight | Qt::AlignTop;
    case 7:
        return Qt::AlignRight | Qt::AlignVCenter;
    case 8:
        return Qt::AlignRight | Qt::AlignBottom;
    default: {
        bool number = false;
        text.trimmed().toDouble(&number);
        return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    }
}

struct CellFormat {
    std::optional<std::uint32_t> back;
    QPixmap picture;
    int pictureAlignment = 0;
};

quint64 KeyOf(int row, int col)
{
    return (static_cast<quint64>(row) << 32) | static_cast<quint32>(col);
}
int RowOfKey(quint64 key)
{
    return static_cast<int>(key >> 32);
}
int ColOfKey(quint64 key)
{
    return static_cast<int>(key & 0xFFFFFFFFu);
}

} // namespace

struct FlexGrid::Data {
    int cols = 2;
    std::vector<std::vector<QString>> texts = std::vector<std::vector<QString>>(2, std::vector<QString>(2));
    // Few cells carry a format, so formats are kept apart from the texts.
    QHash<quint64, CellFormat> formats;
    std::vector<int> colWidths = std::vector<int>(2, -1); // twips, -1 for the default
    std::vector<int> colAlignments = std::vector<int>(2, AlignGeneral);
    QHash<int, int> rowHeights; // twips, only rows set explicitly
    std::uint32_t backFixed = colour::ButtonFace;
    std::uint32_t back = colour::SystemWindow;

    int Rows() const { return static_cast<int>(texts.size()); }
    bool Contains(int row, int col) const { return row >= 0 && row < Rows() && col >= 0 && col < cols; }

    const CellFormat* FormatAt(int row, int col) const
    {
        const auto found = formats.constFind(KeyOf(row, col));
        return found == formats.constEnd() ? nullptr : &found.value();
    }

    std::uint32_t BackAt(int row, int col) const
    {
        const CellFormat* format = FormatAt(row, col);
        if (format != nullptr && format->back) {
            return *format->back;
        }
        return row == 0 ? backFixed : back;
    }
};

// One model shows the fixed row, another the scrolling rows; both read the same cells.
class FlexGrid::Model : public QAbstractTableModel {
public:
    Model(const Data& data, bool fixedRow, QObject* parent)
        : QAbstractTableModel(parent)
        , cells(data)
        , firstRow(fixedRow ? 0 : 1)
    { }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        if (parent.isValid()) {
            return 0;
        }
        return firstRow == 0 ? std::min(1, cells.Rows()) : std::max(0, cells.Rows() - 1);
    }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : cells.cols;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const int row = index.row() + firstRow;
        const int col = index.column();
        if (!index.isValid() || !cells.Contains(row, col)) {
            return {};
        }
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return cells.texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(AlignmentOf(cells.colAlignments[static_cast<std::size_t>(col)],
                cells.texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]));
        case Qt::BackgroundRole:
            return QBrush(ToQColor(cells.BackAt(row, col)));
        case PictureRole:
            if (const CellFormat* format = cells.FormatAt(row, col)) {
                return format->picture;
            }
            return {};
        case PictureAlignmentRole:
            if (const CellFormat* format = cells.FormatAt(row, col)) {
                return format->pictureAlignment;
            }
            return 0;
        default:
            return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
    }

    int FirstRow() const { return firstRow; }
    bool Shows(int row) const { return row >= firstRow && row - firstRow < rowCount(); }

    void CellChanged(int row, int col)
    {
        if (Shows(row)) {
            const QModelIndex cell = index(row - firstRow, col);
            emit dataChanged(cell, cell);
        }
    }

    void ColumnChanged(int col)
    {
        if (rowCount() > 0) {
            emit dataChanged(index(0, col), index(rowCount() - 1, col));
        }
    }

    void AllChanged()
    {
        if (rowCount() > 0 && columnCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
    }

    // Grid rows first..last (inclusive) of the scrolling part.
    void BeginInsertRows(int first, int last) { beginInsertRows({}, first - firstRow, last - firstRow); }
    void EndInsertRows() { endInsertRows(); }
    void BeginRemoveRows(int first, int last) { beginRemoveRows({}, first - firstRow, last - firstRow); }
    void EndRemoveRows() { endRemoveRows(); }
    void BeginInsertColumns(int first, int last) { beginInsertColumns({}, first, last); }
    void EndInsertColumns() { endInsertColumns(); }
    void BeginRemoveColumns(int first, int last) { beginRemoveColumns({}, first, last); }
    void EndRemoveColumns() { endRemoveColumns(); }

private:
    const Data& cells;
    int firstRow;
};

// Draws a cell's picture where its alignment puts it, over the text and background.
class FlexGrid::Delegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // Painted by hand: the style's item margins are too wide for the narrow columns of the bars.
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty()) {
            const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
            painter->setFont(option.font);
            painter->setPen(option.palette.color(QPalette::Text));
            painter->drawText(option.rect.adjusted(TextMargin, 0, -TextMargin, 0),
                int(alignment | Qt::TextSingleLine), text);
        }
        const QPixmap picture = index.data(PictureRole).value<QPixmap>();
        if (!picture.isNull()) {
            const QSize size = picture.deviceIndependentSize().toSize();
            const QRect area = option.rect.adjusted(1, 1, -1, -1);
            const QRect target = QStyle::alignedRect(option.direction,
                AlignmentOf(index.data(PictureAlignmentRole).toInt(), QString()), size.boundedTo(area.size()),
                area);
            painter->drawPixmap(target, picture);
        }
        painter->restore();
    }

private:
    static constexpr int TextMargin = 2;
};

FlexGrid::FlexGrid(QWidget* parent)
    : QFrame(parent)
    , data(std::make_unique<Data>())
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // A compact sans serif like the one the column widths were chosen for.
    QFont compact(QStringLiteral("Arial"));
    compact.setStyleHint(QFont::SansSerif);
    compact.setPointSizeF(8.25);
    setFont(compact);
    headerModel = new Model(*data, true, this);
    bodyModel = new Model(*data, false, this);
    auto* delegate = new Delegate(this);

    const auto setUp = [&](QTableView* view, Model* model) {
        view->setModel(model);
        view->setItemDelegate(delegate);
        view->horizontalHeader()->hide();
        view->verticalHeader()->hide();
        view->horizontalHeader()->setMinimumSectionSize(0);
        view->verticalHeader()->setMinimumSectionSize(0);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->horizontalHeader()->setDefaultSectionSize(TwipsToPixelsX(this, DefaultColWidthTwips));
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

    headerView = new QTableView(this);
    headerView->setObjectName(QStringLiteral("fixedRow"));
    setUp(headerView, headerModel);
    headerView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerView->setFocusPolicy(Qt::NoFocus);

    bodyView = new QTableView(this);
    bodyView->setObjectName(QStringLiteral("scrollingRows"));
    setUp(bodyView, bodyModel);
    // Always shown, so the fixed row above keeps the same width and its columns line up.
    bodyView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* corner = new QWidget(this);
    corner->setObjectName(QStringLiteral("corner"));
    corner->setFixedWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bodyView));
    corner->setAutoFillBackground(true);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(headerView, 0, 0);
    layout->addWidget(corner, 0, 1);
    layout->addWidget(bodyView, 1, 0, 1, 2);
    layout->setRowStretch(1, 1);

    connect(bodyView->horizontalScrollBar(), &QScrollBar::valueChanged, headerView->horizontalScrollBar(),
        &QScrollBar::setValue);
    connect(bodyView->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!applyingTopRow) {
            topRow = value + 1;
        }
    });
    // The view learns its scroll range late (after layout); the wanted top row is applied then.
    connect(bodyView->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { ApplyTopRow(); });
    connect(headerView, &QTableView::clicked, this,
        [this](const QModelIndex& cell) { CellClicked(0, cell.column()); });
    connect(bodyView, &QTableView::clicked, this,
        [this](const QModelIndex& cell) { CellClicked(cell.row() + 1, cell.column()); });

    bodyView->verticalHeader()->setDefaultSectionSize(DefaultRowPixels());
    ApplyRowHeight(0);
    UpdateBodyVisibility();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const
{
    return data->Rows();
}

void FlexGrid::SetRows(int rows)
{
    const int old = data->Rows();
    if (rows < 1 || rows > MaxRows || rows == old) {
        return;
    }
    if (rows > old) {
        bodyModel->BeginInsertRows(old, rows - 1);
        data->texts.resize(
            static_cast<std::size_t>(rows), std::vector<QString>(static_cast<std::size_t>(data->cols)));
        bodyModel->EndInsertRows();
    } else {
        bodyModel->BeginRemoveRows(rows, old - 1);
        data->texts.resize(static_cast<std::size_t>(rows));
        data->formats.removeIf([rows](const auto& entry) { return RowOfKey(entry.key()) >= rows; });
        data->rowHeights.removeIf([rows](const auto& entry) { return entry.key() >= rows; });
        bodyModel->EndRemoveRows();
        currentRow = std::min(currentRow, rows - 1);
        topRow = std::clamp(topRow, 1, std::max(1, rows - 1));
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
    return data->cols;
}

void FlexGrid::SetCols(int cols)
{
    const int old = data->cols;
    if (cols < 1 || cols > MaxCols || cols == old) {
        return;
    }
    const auto resizeRows = [&] {
        for (auto& row : data->texts) {
            row.resize(static_cast<std::size_t>(cols));
        }
        data->colWidths.resize(static_cast<std::size_t>(cols), -1);
        data->colAlignments.resize(static_cast<std::size_t>(cols), AlignGeneral);
        data->cols = cols;
    };
    if (cols > old) {
        headerModel->BeginInsertColumns(old, cols - 1);
        bodyModel->BeginInsertColumns(old, cols - 1);
        resizeRows();
        bodyModel->EndInsertColumns();
        headerModel->EndInsertColumns();
        for (int col = old; col < cols; ++col) {
            ApplyColWidth(col);
        }
    } else {
        headerModel->BeginRemoveColumns(cols, old - 1);
        bodyModel->BeginRemoveColumns(cols, old - 1);
        resizeRows();
        data->formats.removeIf([cols](const auto& entry) { return ColOfKey(entry.key()) >= cols; });
        bodyModel->EndRemoveColumns();
        headerModel->EndRemoveColumns();
        currentCol = std::min(currentCol, cols - 1);
    }
    updateGeometry();
}

int FlexGrid::TopRow() const
{
    return topRow;
}

void FlexGrid::SetTopRow(int row)
{
    topRow = std::clamp(row, 1, std::max(1, data->Rows() - 1));
    ApplyTopRow();
}

void FlexGrid::ApplyTopRow()
{
    const bool wasApplying = applyingTopRow;
    applyingTopRow = true;
    bodyView->verticalScrollBar()->setValue(topRow - 1);
    applyingTopRow = wasApplying;
}

int FlexGrid::Row() const
{
    return currentRow;
}

void FlexGrid::SetRow(int row)
{
    if (row >= 0 && row < data->Rows()) {
        currentRow = row;
    }
}

int FlexGrid::Col() const
{
    return currentCol;
}

void FlexGrid::SetCol(int col)
{
    if (col >= 0 && col < data->cols) {
        currentCol = col;
    }
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    if (!data->Contains(row, col)) {
        return {};
    }
    return data->texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void FlexGrid::SetTextMatrix(int row, int col, const QString& text)
{
    if (!data->Contains(row, col)) {
        return;
    }
    QString& cell = data->texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell == text && cell.isNull() == text.isNull()) {
        return;
    }
    cell = text;
    (row == 0 ? headerModel : bodyModel)->CellChanged(row, col);
}

void FlexGrid::Clear()
{
    for (auto& row : data->texts) {
        std::fill(row.begin(), row.end(), QString());
    }
    data->formats.clear();
    headerModel->AllChanged();
    bodyModel->AllChanged();
}

void FlexGrid::SetColWidth(int col, int twips)
{
    if (col < 0 || col >= data->cols) {
        return;
    }
    data->colWidths[static_cast<std::size_t>(col)] = std::max(-1, twips);
    ApplyColWidth(col);
    updateGeometry();
}

int FlexGrid::ColWidth(int col) const
{
    if (col < 0 || col >= data->cols) {
        return 0;
    }
    const int twips = data->colWidths[static_cast<std::size_t>(col)];
    return twips < 0 ? DefaultColWidthTwips : twips;
}

void FlexGrid::ApplyColWidth(int col)
{
    const int pixels = TwipsToPixelsX(this, ColWidth(col));
    headerView->horizontalHeader()->resizeSection(col, pixels);
    bodyView->horizontalHeader()->resizeSection(col, pixels);
}

void FlexGrid::SetRowHeight(int row, int twips)
{
    if (row < 0 || row >= data->Rows()) {
        return;
    }
    if (twips < 0) {
        data->rowHeights.remove(row);
    } else {
        data->rowHeights.insert(row, twips);
    }
    ApplyRowHeight(row);
}

int FlexGrid::RowHeight(int row) const
{
    if (row < 0 || row >= data->Rows()) {
        return 0;
    }
    return data->rowHeights.value(row, DefaultRowHeightTwips);
}

int FlexGrid::DefaultRowPixels() const
{
    return std::max(TwipsToPixelsY(this, DefaultRowHeightTwips), fontMetrics().height() + 2);
}

int FlexGrid::RowPixels(int row) const
{
    const auto found = data->rowHeights.constFind(row);
    if (found == data->rowHeights.constEnd()) {
        return DefaultRowPixels();
    }
    // A row never gets lower than its text: fonts differ between desktops.
    return std::max(TwipsToPixelsY(this, found.value()), fontMetrics().height() + 2);
}

void FlexGrid::ApplyRowHeight(int row)
{
    const int pixels = RowPixels(row);
    if (row == 0) {
        headerView->verticalHeader()->setDefaultSectionSize(pixels);
        headerView->verticalHeader()->resizeSection(0, pixels);
        headerView->setFixedHeight(pixels);
        updateGeometry();
    } else {
        bodyView->verticalHeader()->resizeSection(row - 1, pixels);
    }
}

void FlexGrid::SetColAlignment(int col, int code)
{
    if (col < 0 || col >= data->cols || code < 0 || code > AlignGeneral) {
        return;
    }
    data->colAlignments[static_cast<std::size_t>(col)] = code;
    headerModel->ColumnChanged(col);
    bodyModel->ColumnChanged(col);
}

int FlexGrid::ColAlignment(int col) const
{
    if (col < 0 || col >= data->cols) {
        return AlignGeneral;
    }
    return data->colAlignments[static_cast<std::size_t>(col)];
}

std::uint32_t FlexGrid::CellBackColor() const
{
    return data->BackAt(currentRow, currentCol);
}

void FlexGrid::SetCellBackColor(std::uint32_t colour)
{
    if (!data->Contains(currentRow, currentCol)) {
        return;
    }
    data->formats[KeyOf(currentRow, currentCol)].back = colour;
    (currentRow == 0 ? headerModel : bodyModel)->CellChanged(currentRow, currentCol);
}

QPixmap FlexGrid::CellPicture() const
{
    const CellFormat* format = data->FormatAt(currentRow, currentCol);
    return format != nullptr ? format->picture : QPixmap();
}

void FlexGrid::SetCellPicture(const QPixmap& picture)
{
    if (!data->Contains(currentRow, currentCol)) {
        return;
    }
    data->formats[KeyOf(currentRow, currentCol)].picture = picture;
    (currentRow == 0 ? headerModel : bodyModel)->CellChanged(currentRow, currentCol);
}

int FlexGrid::CellPictureAlignment() const
{
    const CellFormat* format = data->FormatAt(currentRow, currentCol);
    return format != nullptr ? format->pictureAlignment : 0;
}

void FlexGrid::SetCellPictureAlignment(int code)
{
    if (!data->Contains(currentRow, currentCol) || code < 0 || code > 8) {
        return;
    }
    data->formats[KeyOf(currentRow, currentCol)].pictureAlignment = code;
    (currentRow == 0 ? headerModel : bodyModel)->CellChanged(currentRow, currentCol);
}

void FlexGrid::Redraw()
{
    headerView->viewport()->update();
    bodyView->viewport()->update();
}

std::uint32_t FlexGrid::BackColorFixed() const
{
    return data->backFixed;
}

void FlexGrid::SetBackColorFixed(std::uint32_t colour)
{
    data->backFixed = colour;
    if (QWidget* corner = findChild<QWidget*>(QStringLiteral("corner"))) {
        QPalette palette = corner->palette();
        palette.setColor(QPalette::Window, ToQColor(colour));
        corner->setPalette(palette);
    }
    headerModel->AllChanged();
}

std::uint32_t FlexGrid::BackColor() const
{
    return data->back;
}

void FlexGrid::SetBackColor(std::uint32_t colour)
{
    data->back = colour;
    bodyModel->AllChanged();
}

int FlexGrid::Index() const
{
    return index;
}

void FlexGrid::SetIndex(int arrayIndex)
{
    index = arrayIndex;
}

void FlexGrid::CellClicked(int row, int col)
{
    SetRow(row);
    SetCol(col);
    emit Click(index);
}

void FlexGrid::UpdateBodyVisibility()
{
    const bool scrolling = data->Rows() > 1;
    bodyView->setVisible(scrolling);
    if (QWidget* corner = findChild<QWidget*>(QStringLiteral("corner"))) {
        corner->setVisible(scrolling);
    }
    setSizePolicy(QSizePolicy::Preferred, scrolling ? QSizePolicy::Expanding : QSizePolicy::Fixed);
    updateGeometry();
}

QSize FlexGrid::sizeHint() const
{
    int width = 2 * frameWidth();
    for (int col = 0; col < data->cols; ++col) {
        width += TwipsToPixelsX(this, ColWidth(col));
    }
    int height = 2 * frameWidth() + RowPixels(0);
    if (data->Rows() > 1) {
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bodyView);
        height += std::min(data->Rows() - 1, PreferredBodyRows) * DefaultRowPixels();
    }
    return { width, height };
}

QSize FlexGrid::minimumSizeHint() const
{
    const int height = 2 * frameWidth() + RowPixels(0) + (data->Rows() > 1 ? DefaultRowPixels() * 2 : 0);
    return { 60, height };
}

void FlexGrid::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange && bodyView != nullptr) {
        bodyView->verticalHeader()->setDefaultSectionSize(DefaultRowPixels());
        ApplyRowHeight(0);
        for (auto it = data->rowHeights.constBegin(); it != data->rowHeights.constEnd(); ++it) {
            if (it.key() > 0) {
                ApplyRowHeight(it.key());
            }
        }
    }
}

} // namespace pelicard
