#pragma once

#include <QTableView>

#include <functional>

class GridModel;

// A grid of texts addressed as cell (column, row), fixed cells included: cell (col, row) is the
// item at model index (row, col). The first fixedCols columns and fixedRows rows are fixed: they
// look like headers, cannot be selected or edited, and stay in view while the rest scrolls (they
// are drawn a second time by small views laid over the edges). The view's own headers are hidden.
// Large areas are filled by sources that produce a cell's text when it is shown, so that filling
// costs nothing per cell: a grid of 65 536 rows fills as fast as one of 8.
// Columns (rows) can be resized by dragging their grid lines in the fixed row (column) when
// column (row) sizing is on. Texts are display only unless cells are made editable; a selection
// can be copied.
class TStringGrid : public QTableView
{
    Q_OBJECT

public:
    struct Options
    {
        int fixedCols = 1;
        int fixedRows = 1;
        int colCount = 5;
        int rowCount = 5;
        bool colSizing = false;
        bool rowSizing = false;
    };

    TStringGrid(const QString& name, const Options& options, QWidget* parent);

    int colCount() const;
    int rowCount() const;
    void setColCount(int count);
    void setRowCount(int count);

    // The text of cell (col, row); "" for a cell never written. Writing a text wider than its
    // column widens the column to fit it, up to maxColWidth(); writing drops the cell's tooltip.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    // A number: shown with five decimals (FloatToStrF), its full value in the cell's tooltip.
    void setNumber(int col, int row, double value);
    QString toolTip(int col, int row) const;

    // The cells of an area filled at once: numbers shown as setNumber shows them, or texts.
    // Filling or blanking an area replaces whatever the cells showed before; a source must
    // stay valid as long as the grid shows it (give it copies of its data). The grid asks the
    // sources only for the cells it shows or copies.
    using NumberSource = std::function<double(int col, int row)>;
    using TextSource = std::function<QString(int col, int row)>;
    void setNumbers(const QRect& area, NumberSource numbers);
    void setTexts(const QRect& area, TextSource texts);
    void blank(const QRect& area);

    int maxColWidth() const;
    // Scrolls the column to the left edge of the cells that scroll, beside the fixed columns.
    void scrollToColumn(int col);
    // Widens a column, or the columns first .. last, to show the text, or the number as
    // setNumber shows it, in full, as writing a cell does; the areas filled at once leave this
    // to their writer.
    void fitColumn(int col, const QString& text) { fitColumns(col, col, text); }
    void fitColumns(int first, int last, const QString& text);
    void fitNumber(int col, double value) { fitNumbers(col, col, value); }
    void fitNumbers(int first, int last, double value);

    // The cells the user may type into (none unless set), and what a text typed becomes: the
    // editor takes it, writing the cell itself, or refuses it with the reason. A refused text
    // stays in its cell, outlined in red with the reason as tooltip, until the cell is written.
    using Editable = std::function<bool(int col, int row)>;
    using Editor = std::function<QString(int col, int row, const QString& text)>;
    void setEditable(Editable editable, Editor editor);
    bool refused(int col, int row) const;

    // The selected cells as shown, rows separated by line breaks and cells by tabs, as a
    // spreadsheet pastes them. Ctrl+C and the context menu item "Копировать" put it on the
    // clipboard.
    QString selectedText() const;
    void copySelection() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;

private:
    void createOverlays();
    QTableView* createOverlay();
    void addCopyAction();
    void placeOverlays();

    GridModel* grid;
    Options options;
    QTableView* frozenRows = nullptr;
    QTableView* frozenCols = nullptr;
    QTableView* frozenCorner = nullptr;
};
