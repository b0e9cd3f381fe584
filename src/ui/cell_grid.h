#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/export_actions.h"

class QLabel;

namespace vornetica {

// A grid of text cells held as plain strings (no item per cell), so a row of
// 32767 cells stays light. With a label column, column 0 is fixed, grey and shows
// the row number; it cannot be selected or edited.
class CellGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit CellGridModel(bool labelColumn, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Value columns, not counting the label column. Values in columns that remain
    // are kept when the count changes.
    void setValueColumns(int count);
    int valueColumns() const { return valueColumns_; }
    void setRows(int count);
    void addRow();
    // Value cell (row, column), column counted from 0 among the value columns.
    const std::string& text(int row, int column) const;
    void setText(int row, int column, std::string text);
    bool hasLabelColumn() const { return labelColumn_; }
    // Gives value cell (row, column) a tooltip of its own, asked for only when the
    // pointer rests on the cell; where it gives an empty text the grid's tooltip shows.
    using CellToolTip = std::function<QString(int row, int column)>;
    void setCellToolTip(CellToolTip toolTipOf) { cellToolTip_ = std::move(toolTipOf); }

  private:
    bool labelColumn_;
    CellToolTip cellToolTip_;
    int valueColumns_ = 0;
    std::vector<std::vector<std::string>> rows_;
};

// The view: mouse and arrow keys move the current cell; the key rule of the grid
// cells edits it (digits, "-" and "." append; Backspace and Delete clear); with
// `editable` false the user cannot change anything.
class CellGrid : public QTableView {
    Q_OBJECT
  public:
    CellGrid(bool labelColumn, bool editable, QWidget* parent = nullptr);
    CellGridModel& cells() { return model_; }
    // From now on each column is as wide as its widest text (never narrower than
    // the default), so no cell cuts or elides what it holds.
    void fitColumnsToText();
    // The value cells of the current row (the first row when none is current),
    // without their sign blanks and separated by tabs: what Ctrl+C copies.
    QString currentRowText() const;
    // Every row's value cells as the grid shows them, without their sign blanks, in
    // comma-separated form: what "Save as CSV..." writes.
    std::string csvText() const;
    // Makes the label cell of `row` the current cell (Add Vector does this).
    void moveToLabel(int row);
    // Makes the cell (row, column of the view) current and scrolls to it.
    void moveCurrent(int row, int column);

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    bool isLabelColumn(int column) const;
    int firstValueColumn() const;
    bool moveByArrow(int key);
    // Enter moves on to the next value cell (the next row's first at a row's end): it
    // belongs to the typing, and must never press a button of the screen.
    bool moveOnEnter(int key);
    // The character a key press gives to a cell, if it is a typed character.
    static std::optional<char32_t> cellKeyOf(const QKeyEvent& event);
    // The label column drawn by a second view laid over the left edge, so it stays
    // in place when the values scroll sideways.
    void makeFrozenLabelColumn();
    void placeFrozenLabelColumn();
    QTableView* frozen_ = nullptr;
    void fitColumns(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void addCopyAction();
    void addSaveAsCsvAction();
    void saveAsCsv();

    CellGridModel model_;
    bool editable_;
    KeyboardMenu keyboardMenu_;
};

// The label shown beside a grid names it for screen readers, and is its buddy.
void nameGridAfterLabel(CellGrid& grid, QLabel& label);

}  // namespace vornetica
