#include "app/StringGrid.h"

#include "app/Conversions.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>

#include <algorithm>
#include <vector>

// The texts of a grid, row-major; fixed cells are flagged so that they cannot be selected.
class GridModel : public QAbstractTableModel
{
public:
    GridModel(int fixedCols, int fixedRows, QObject* parent)
        : QAbstractTableModel(parent)
        , fixedCols(fixedCols)
        , fixedRows(fixedRows)
    {
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : rows;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : cols;
    }

    bool isFixed(const QModelIndex& index) const
    {
        return index.column() < fixedCols || index.row() < fixedRows;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return text(index.column(), index.row());
        if (role == Qt::ToolTipRole)
            return tip(index.column(), index.row());
        if (role == Qt::BackgroundRole && isFixed(index))
            return QApplication::palette().button();
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return isFixed(index) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    bool contains(int col, int row) const
    {
        return col >= 0 && col < cols && row >= 0 && row < rows;
    }

    QString text(int col, int row) const
    {
        return contains(col, row) ? texts[std::size_t(row) * cols + col] : QString();
    }
    QString tip(int col, int row) const
    {
        return contains(col, row) ? tips[std::size_t(row) * cols + col] : QString();
    }

    void setText(int col, int row, const QString& value, const QString& tip)
    {
        if (!contains(col, row))
            return;
        texts[std::size_t(row) * cols + col] = value;
        tips[std::size_t(row) * cols + col] = tip;
        emit dataChanged(index(row, col), index(row, col), {Qt::DisplayRole, Qt::ToolTipRole});
    }

    void resize(int newRows, int newCols)
    {
        newRows = std::max(newRows, 0);
        newCols = std::max(newCols, 0);
        if (newCols < cols) {
            beginRemoveColumns({}, newCols, cols - 1);
            reshape(rows, newCols);
            endRemoveColumns();
        } else if (newCols > cols) {
            beginInsertColumns({}, cols, newCols - 1);
            reshape(rows, newCols);
            endInsertColumns();
        }
        if (newRows < rows) {
            beginRemoveRows({}, newRows, rows - 1);
            reshape(newRows, cols);
            endRemoveRows();
        } else if (newRows > rows) {
            beginInsertRows({}, rows, newRows - 1);
            reshape(newRows, cols);
            endInsertRows();
        }
    }

private:
    // Keeps the texts and tooltips of the cells that both shapes have.
    void reshape(int newRows, int newCols)
    {
        for (std::vector<QString>* strings : {&texts, &tips}) {
            std::vector<QString> kept(std::size_t(newRows) * newCols);
            for (int r = 0; r < std::min(rows, newRows); ++r)
                for (int c = 0; c < std::min(cols, newCols); ++c)
                    kept[std::size_t(r) * newCols + c] = (*strings)[std::size_t(r) * cols + c];
            strings->swap(kept);
        }
        rows = newRows;
        cols = newCols;
    }

    int fixedCols;
    int fixedRows;
    int rows = 0;
    int cols = 0;
    std::vector<QString> texts;
    std::vector<QString> tips;
};

namespace {

// Lets the user drag the grid lines of one overlay to resize the grid's columns or rows.
class SectionSizer : public QObject
{
public:
    SectionSizer(QTableView* overlay, QHeaderView* sections)
        : QObject(overlay)
        , overlay(overlay)
        , sections(sections)
    {
        overlay->viewport()->setMouseTracking(true);
        overlay->viewport()->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonPress
            && event->type() != QEvent::MouseButtonRelease)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        int position = along(mouse->position().toPoint());
        if (event->type() == QEvent::MouseButtonPress)
            dragged = lineNear(position);
        if (event->type() == QEvent::MouseButtonRelease)
            dragged = -1;
        if (event->type() == QEvent::MouseMove && dragged >= 0) {
            int start = sections->sectionViewportPosition(dragged) + offset();
            sections->resizeSection(dragged, std::max(position - start, minimumSize));
        }
        bool onLine = dragged >= 0 || lineNear(position) >= 0;
        if (onLine)
            overlay->viewport()->setCursor(
                sections->orientation() == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
        else
            overlay->viewport()->unsetCursor();
        return onLine;
    }

private:
    static constexpr int grip = 3;
    static constexpr int minimumSize = 4;

    int along(QPoint p) const { return sections->orientation() == Qt::Horizontal ? p.x() : p.y(); }

    // Overlay position minus grid viewport position: 0 for an overlay that scrolls with the grid,
    // the scroll offset for the corner, which never scrolls.
    int offset() const
    {
        QScrollBar* bar = sections->orientation() == Qt::Horizontal ? overlay->horizontalScrollBar()
                                                                    : overlay->verticalScrollBar();
        return sections->offset() - bar->value();
    }

    // The section whose far grid line lies within a few pixels of the position, or -1.
    int lineNear(int position) const
    {
        int section = sections->logicalIndexAt(position - offset() - grip);
        if (section < 0)
            return -1;
        int line = sections->sectionViewportPosition(section) + offset()
            + sections->sectionSize(section);
        return std::abs(line - position) <= grip ? section : -1;
    }

    QTableView* overlay;
    QHeaderView* sections;
    int dragged = -1;
};

const int designColWidth = 50;
const int defaultRowHeight = 18;
// The room a cell keeps beside its text: the style's margins on both sides and the grid line.
const int cellPadding = 8;

// The design width, or more when the platform font needs it to show a value in full.
int defaultColWidth(const QWidget* grid)
{
    return std::max(
        designColWidth, grid->fontMetrics().horizontalAdvance("-000.00000") + cellPadding);
}

// What the grid and its overlays share: no headers of their own, the design section sizes,
// display-only cells, scrolling by pixels.
void showCellsOnly(QTableView* view, int colWidth)
{
    for (QHeaderView* header : {view->horizontalHeader(), view->verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(4);
    }
    view->horizontalHeader()->setDefaultSectionSize(colWidth);
    view->verticalHeader()->setDefaultSectionSize(defaultRowHeight);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setWordWrap(false);
}

} // namespace

TStringGrid::TStringGrid(const QString& name, const Options& options, QWidget* parent)
    : QTableView(parent)
    , grid(new GridModel(options.fixedCols, options.fixedRows, this))
    , options(options)
{
    setObjectName(name);
    setModel(grid);
    showCellsOnly(this, defaultColWidth(this));
    setSelectionMode(ContiguousSelection);
    createOverlays();
    grid->resize(options.rowCount, options.colCount);
    addCopyAction();
}

// The fixed rows, the fixed columns and their corner, each drawn again by a view laid over its
// edge that follows the grid's scrolling and section sizes. With sizing on, dragging a grid
// line in the fixed row (column) resizes the columns (rows).
void TStringGrid::createOverlays()
{
    frozenRows = createOverlay();
    frozenCols = createOverlay();
    frozenCorner = createOverlay();
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, frozenRows->horizontalScrollBar(),
        &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, frozenCols->verticalScrollBar(),
        &QScrollBar::setValue);
    auto follow = [this](QHeaderView* sections, void (QTableView::*resize)(int, int)) {
        connect(sections, &QHeaderView::sectionResized, this, [this, resize](int i, int, int size) {
            for (QTableView* overlay : {frozenRows, frozenCols, frozenCorner})
                (overlay->*resize)(i, size);
            placeOverlays();
        });
    };
    follow(horizontalHeader(), &QTableView::setColumnWidth);
    follow(verticalHeader(), &QTableView::setRowHeight);
    if (options.colSizing) {
        new SectionSizer(frozenRows, horizontalHeader());
        new SectionSizer(frozenCorner, horizontalHeader());
    }
    if (options.rowSizing) {
        new SectionSizer(frozenCols, verticalHeader());
        new SectionSizer(frozenCorner, verticalHeader());
    }
}

QTableView* TStringGrid::createOverlay()
{
    auto* overlay = new QTableView(this);
    overlay->setModel(grid);
    overlay->setFocusPolicy(Qt::NoFocus);
    overlay->setSelectionMode(NoSelection);
    overlay->setFrameShape(NoFrame);
    showCellsOnly(overlay, defaultColWidth(this));
    overlay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    overlay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return overlay;
}

// Ctrl+C and the context menu item "Копировать" copy the selection.
void TStringGrid::addCopyAction()
{
    auto* copy = new QAction("Копировать", this);
    copy->setObjectName("copy");
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &TStringGrid::copySelection);
    addAction(copy);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

int TStringGrid::colCount() const
{
    return grid->columnCount();
}
int TStringGrid::rowCount() const
{
    return grid->rowCount();
}
void TStringGrid::setColCount(int count)
{
    grid->resize(grid->rowCount(), count);
}
void TStringGrid::setRowCount(int count)
{
    grid->resize(count, grid->columnCount());
}
QString TStringGrid::cell(int col, int row) const
{
    return grid->text(col, row);
}
void TStringGrid::setCell(int col, int row, const QString& text)
{
    grid->setText(col, row, text, {});
    fitColumn(col, text);
}
void TStringGrid::setNumber(int col, int row, double value)
{
    const QString text = FloatToStrF(value);
    grid->setText(col, row, text, fullValueText(value));
    fitColumn(col, text);
}
QString TStringGrid::toolTip(int col, int row) const
{
    return grid->tip(col, row);
}

// Room for the longest fixed-format text, a value of 17 digits before the separator.
int TStringGrid::maxColWidth() const
{
    return fontMetrics().horizontalAdvance("-00000000000000000.00000") + cellPadding;
}

// A column widens to show a text in full, never beyond maxColWidth(); it never narrows by
// itself, so that the user's widths and the design width stay.
void TStringGrid::fitColumn(int col, const QString& text)
{
    if (col < 0 || col >= colCount())
        return;
    const int needed = std::min(fontMetrics().horizontalAdvance(text) + cellPadding, maxColWidth());
    if (needed > columnWidth(col))
        setColumnWidth(col, needed);
}

QString TStringGrid::selectedText() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    int top = rowCount(), bottom = -1, left = colCount(), right = -1;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        QStringList texts;
        for (int col = left; col <= right; ++col)
            texts << (selectionModel()->isSelected(grid->index(row, col)) ? cell(col, row) : "");
        lines << texts.join('\t');
    }
    return lines.join('\n');
}

void TStringGrid::copySelection() const
{
    if (const QString text = selectedText(); !text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

// The view's own Copy would copy only the current cell.
void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TStringGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    placeOverlays();
}

void TStringGrid::updateGeometries()
{
    QTableView::updateGeometries();
    placeOverlays();
}

// Lays the overlays over the fixed edges of the viewport.
void TStringGrid::placeOverlays()
{
    if (!frozenCorner) // the base class lays out before the overlays exist
        return;
    int fixedWidth = 0;
    for (int c = 0; c < std::min(options.fixedCols, colCount()); ++c)
        fixedWidth += columnWidth(c);
    int fixedHeight = 0;
    for (int r = 0; r < std::min(options.fixedRows, rowCount()); ++r)
        fixedHeight += rowHeight(r);
    QRect area = viewport()->geometry();
    frozenRows->setGeometry(area.x(), area.y(), area.width(), std::min(fixedHeight, area.height()));
    frozenCols->setGeometry(area.x(), area.y(), std::min(fixedWidth, area.width()), area.height());
    frozenCorner->setGeometry(area.x(), area.y(), std::min(fixedWidth, area.width()),
        std::min(fixedHeight, area.height()));
    frozenRows->setVisible(fixedHeight > 0);
    frozenCols->setVisible(fixedWidth > 0);
    frozenCorner->setVisible(fixedWidth > 0 && fixedHeight > 0);
    frozenRows->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    frozenCols->verticalScrollBar()->setValue(verticalScrollBar()->value());
}
