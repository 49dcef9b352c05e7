#include "app/StringGrid.h"

#include "app/WaitingStatus.h"
#include "core/Conversions.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>
#include <vector>

// The texts of a grid: cells written one by one, and areas filled at once whose sources produce
// a cell's text only when it is asked for. The later write wins: filling an area drops the
// single cells under it and every older area inside it, and of the areas that hold a cell the
// latest shows it. Fixed cells are flagged so that they cannot be selected; editable cells hand a
// text typed to the grid's editor.
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

    static constexpr int RefusedRole = Qt::UserRole; // a text typed that the editor refused

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return shown(index.column(), index.row(), Qt::ItemDataRole(role));
        if (role == Qt::EditRole)
            return shown(index.column(), index.row(), Qt::DisplayRole);
        if (role == RefusedRole) {
            const auto single = cells.constFind(key(index.column(), index.row()));
            return single != cells.cend() && single->refused;
        }
        if (role == Qt::BackgroundRole && isFixed(index))
            return QApplication::palette().button();
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (isFixed(index))
            return Qt::ItemIsEnabled;
        const bool typed = editable && editable(index.column(), index.row());
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable
            | (typed ? Qt::ItemIsEditable : Qt::NoItemFlags);
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
            return false;
        const QString text = value.toString();
        const QString error = editor(index.column(), index.row(), text);
        if (error.isEmpty())
            return true;
        cells.insert(key(index.column(), index.row()), {text, error, true});
        emit dataChanged(index, index);
        return false;
    }

    TStringGrid::Editable editable;
    TStringGrid::Editor editor;

    // The text (DisplayRole) or the tooltip (ToolTipRole) of a cell; "" where nothing is written.
    QString shown(int col, int row, Qt::ItemDataRole role) const
    {
        if (!QRect(0, 0, cols, rows).contains(col, row))
            return {};
        if (auto single = cells.constFind(key(col, row)); single != cells.cend())
            return role == Qt::DisplayRole ? single->text : single->tip;
        for (auto area = areas.rbegin(); area != areas.rend(); ++area)
            if (area->cells.contains(col, row))
                return area->shown(col, row, role);
        return {};
    }

    void setText(int col, int row, const QString& text, const QString& tip)
    {
        if (!QRect(0, 0, cols, rows).contains(col, row))
            return;
        cells.insert(key(col, row), {text, tip});
        emit dataChanged(index(row, col), index(row, col), {Qt::DisplayRole, Qt::ToolTipRole});
    }

    using Source = std::variant<std::monostate, TStringGrid::NumberSource, TStringGrid::TextSource>;

    // An empty source blanks the area.
    void fill(const QRect& area, Source source)
    {
        const QRect inside = area & QRect(0, 0, cols, rows);
        if (inside.isEmpty())
            return;
        dropCells([&](int col, int row) { return inside.contains(col, row); });
        std::erase_if(areas, [&](const Area& older) { return inside.contains(older.cells); });
        areas.push_back({inside, std::move(source)});
        emit dataChanged(index(inside.top(), inside.left()), index(inside.bottom(), inside.right()),
            {Qt::DisplayRole, Qt::ToolTipRole});
    }

    // Cells outside the new shape are dropped, so that a grid that grows again shows them blank.
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
    struct Cell
    {
        QString text;
        QString tip;
        bool refused = false;
    };

    struct Area
    {
        QRect cells;
        Source source;

        QString shown(int col, int row, Qt::ItemDataRole role) const
        {
            if (const auto* numbers = std::get_if<TStringGrid::NumberSource>(&source)) {
                const double value = (*numbers)(col, row);
                return role == Qt::DisplayRole ? FloatToStrF(value) : fullValueText(value);
            }
            if (const auto* texts = std::get_if<TStringGrid::TextSource>(&source))
                return role == Qt::DisplayRole ? (*texts)(col, row) : QString();
            return {};
        }
    };

    static quint64 key(int col, int row) { return quint64(quint32(row)) << 32 | quint32(col); }

    template <class Dropped> void dropCells(Dropped dropped)
    {
        for (auto cell = cells.begin(); cell != cells.end();)
            cell = dropped(int(quint32(cell.key())), int(cell.key() >> 32)) ? cells.erase(cell)
                                                                            : std::next(cell);
    }

    void reshape(int newRows, int newCols)
    {
        const QRect shape(0, 0, newCols, newRows);
        dropCells([&](int col, int row) { return !shape.contains(col, row); });
        for (Area& area : areas)
            area.cells &= shape;
        std::erase_if(areas, [](const Area& area) { return area.cells.isEmpty(); });
        rows = newRows;
        cols = newCols;
    }

    int fixedCols;
    int fixedRows;
    int rows = 0;
    int cols = 0;
    QHash<quint64, Cell> cells;
    std::vector<Area> areas;
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

// A red outline around a cell whose typed text was refused.
class RefusedOutline : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(GridModel::RefusedRole).toBool())
            return;
        painter->save();
        painter->setPen(QPen(Qt::red, 2));
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

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
    setItemDelegate(new RefusedOutline(this));
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
    return grid->shown(col, row, Qt::DisplayRole);
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
void TStringGrid::setEditable(Editable editable, Editor editor)
{
    grid->editable = std::move(editable);
    grid->editor = std::move(editor);
    setEditTriggers(
        grid->editable ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
}

bool TStringGrid::refused(int col, int row) const
{
    return grid->data(grid->index(row, col), GridModel::RefusedRole).toBool();
}

QString TStringGrid::toolTip(int col, int row) const
{
    return grid->shown(col, row, Qt::ToolTipRole);
}
void TStringGrid::setNumbers(const QRect& area, NumberSource numbers)
{
    grid->fill(area, std::move(numbers));
}
void TStringGrid::setTexts(const QRect& area, TextSource texts)
{
    grid->fill(area, std::move(texts));
}
void TStringGrid::blank(const QRect& area)
{
    grid->fill(area, {});
}

// Room for the longest fixed-format text, a value of 17 digits before the separator.
int TStringGrid::maxColWidth() const
{
    return fontMetrics().horizontalAdvance("-00000000000000000.00000") + cellPadding;
}

void TStringGrid::scrollToColumn(int col)
{
    const int fixed = std::min(options.fixedCols, colCount());
    horizontalScrollBar()->setValue(
        horizontalHeader()->sectionPosition(col) - horizontalHeader()->sectionPosition(fixed));
}

// The text of a number below 1000 in size fits a column of the default width; a column the user
// has made narrower stays so.
void TStringGrid::fitNumbers(int first, int last, double value)
{
    if (std::abs(value) >= 999.999995)
        fitColumns(first, last, FloatToStrF(value));
}

// A column widens to show a text in full, never beyond maxColWidth(); it never narrows by
// itself, so that the user's widths and the design width stay. The text is measured once.
void TStringGrid::fitColumns(int first, int last, const QString& text)
{
    const int needed = std::min(fontMetrics().horizontalAdvance(text) + cellPadding, maxColWidth());
    last = std::min(last, colCount() - 1);
    for (int col = std::max(first, 0); col <= last; ++col)
        if (needed > columnWidth(col))
            setColumnWidth(col, needed);
}

// The selection's bounding box, row by row; a cell of the box that is not selected (a fixed one)
// gives an empty field. O(cells of the box): the sources are asked for the selected cells only.
QString TStringGrid::selectedText() const
{
    QRect box;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        box |= QRect(QPoint(range.left(), range.top()), QPoint(range.right(), range.bottom()));
    QString text;
    for (int row = box.top(); row <= box.bottom(); ++row) {
        for (int col = box.left(); col <= box.right(); ++col) {
            if (selectionModel()->isSelected(grid->index(row, col)))
                text += cell(col, row);
            text += col < box.right() ? '\t' : '\n';
        }
    }
    text.chop(1);
    return text;
}

// Copying a large selection takes a while: the window's status line says so meanwhile.
void TStringGrid::copySelection() const
{
    auto* main = qobject_cast<QMainWindow*>(window());
    std::optional<WaitingStatus> status;
    if (main)
        status.emplace(main->statusBar(), "Подождите, идет копирование...");
    const BusyCursor busy;
    const QString text = selectedText();
    if (text.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(text);
    if (status)
        status->complete("Выделенные ячейки скопированы в буфер обмена");
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
