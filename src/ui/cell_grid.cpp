#include "ui/cell_grid.h"

#include <algorithm>

#include <QAction>
#include <QClipboard>
#include <QColor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

#include "data/export_file.h"
#include "data/grid_cell.h"
#include "ui/export_actions.h"

namespace vornetica {

namespace {
constexpr int kLabelWidth = 44;
}  // namespace

CellGridModel::CellGridModel(bool labelColumn, QObject* parent)
    : QAbstractTableModel(parent), labelColumn_(labelColumn) {}

int CellGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CellGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : valueColumns_ + (labelColumn_ ? 1 : 0);
}

QVariant CellGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const bool label = labelColumn_ && index.column() == 0;
    if (role == Qt::DisplayRole) {
        if (label) {
            return QString::number(index.row() + 1);
        }
        const int column = index.column() - (labelColumn_ ? 1 : 0);
        return QString::fromStdString(text(index.row(), column));
    }
    if (role == Qt::ToolTipRole && !label && cellToolTip_) {
        const QString tip = cellToolTip_(index.row(), index.column() - (labelColumn_ ? 1 : 0));
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    if (role == Qt::BackgroundRole && label) {
        return QColor(0xc0, 0xc0, 0xc0);
    }
    if (role == Qt::TextAlignmentRole && label) {
        return QVariant(Qt::AlignCenter);
    }
    return {};
}

Qt::ItemFlags CellGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    if (labelColumn_ && index.column() == 0) {
        return Qt::ItemIsEnabled;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void CellGridModel::setValueColumns(int count) {
    count = std::max(count, 0);
    if (count == valueColumns_) {
        return;
    }
    const int offset = labelColumn_ ? 1 : 0;
    if (count > valueColumns_) {
        beginInsertColumns({}, valueColumns_ + offset, count + offset - 1);
    } else {
        beginRemoveColumns({}, count + offset, valueColumns_ + offset - 1);
    }
    const bool growing = count > valueColumns_;
    for (auto& row : rows_) {
        row.resize(static_cast<std::size_t>(count));
    }
    valueColumns_ = count;
    if (growing) {
        endInsertColumns();
    } else {
        endRemoveColumns();
    }
}

void CellGridModel::setRows(int count) {
    const int current = rowCount();
    if (count > current) {
        beginInsertRows({}, current, count - 1);
        rows_.resize(static_cast<std::size_t>(count),
                     std::vector<std::string>(static_cast<std::size_t>(valueColumns_)));
        endInsertRows();
    } else if (count < current) {
        beginRemoveRows({}, count, current - 1);
        rows_.resize(static_cast<std::size_t>(count));
        endRemoveRows();
    }
}

void CellGridModel::addRow() {
    setRows(rowCount() + 1);
}

const std::string& CellGridModel::text(int row, int column) const {
    return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

void CellGridModel::setText(int row, int column, std::string text) {
    rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column)) = std::move(text);
    const QModelIndex changed = index(row, column + (labelColumn_ ? 1 : 0));
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

CellGrid::CellGrid(bool labelColumn, bool editable, QWidget* parent)
    : QTableView(parent), model_(labelColumn), editable_(editable) {
    setModel(&model_);
    // The key rule below is the only way to change a cell.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(64);
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    if (labelColumn) {
        makeFrozenLabelColumn();
    }
    addCopyAction();
    addSaveAsCsvAction();
    // The right mouse button, the menu key and Shift+F10 all show the actions.
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CellGrid::addCopyAction() {
    auto* copy = new QAction(tr("Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(currentRowText()); });
    addAction(copy);
}

void CellGrid::addSaveAsCsvAction() {
    auto* save = new QAction(tr("Save as CSV…"), this);
    save->setObjectName(QStringLiteral("SaveAsCsv"));
    save->setToolTip(tr("Save every row of this grid to a file of comma-separated values."));
    connect(save, &QAction::triggered, this, &CellGrid::saveAsCsv);
    addAction(save);
}

std::string CellGrid::csvText() const {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < model_.rowCount(); ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < model_.valueColumns(); ++column) {
            texts.push_back(
                QString::fromStdString(model_.text(row, column)).trimmed().toStdString());
        }
        rows.push_back(std::move(texts));
    }
    return vornetica::csvText(rows);
}

void CellGrid::saveAsCsv() {
    QString name =
        accessibleName().toLower().simplified().replace(QLatin1Char(' '), QLatin1Char('-'));
    const std::optional<QString> path =
        askSavePath(this, tr("Save as CSV"),
                    (name.isEmpty() ? QStringLiteral("grid") : name) + QStringLiteral(".csv"),
                    tr("Comma-separated values (*.csv);;All files (*)"));
    if (path) {
        saveExportBytes(this, *path, QByteArray::fromStdString(csvText()));
    }
}

QString CellGrid::currentRowText() const {
    if (model_.rowCount() == 0) {
        return {};
    }
    const int row = currentIndex().isValid() ? currentIndex().row() : 0;
    QStringList texts;
    for (int column = 0; column < model_.valueColumns(); ++column) {
        texts.append(QString::fromStdString(model_.text(row, column)).trimmed());
    }
    return texts.join(QLatin1Char('\t'));
}

void CellGrid::fitColumnsToText() {
    setTextElideMode(Qt::ElideNone);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &CellGrid::fitColumns);
    if (model_.rowCount() > 0 && model_.columnCount() > 0) {
        fitColumns(model_.index(0, 0),
                   model_.index(model_.rowCount() - 1, model_.columnCount() - 1));
    }
}

void CellGrid::fitColumns(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    const int gridLine = showGrid() ? 1 : 0;
    for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
        if (isLabelColumn(column)) {
            continue;
        }
        int width = horizontalHeader()->defaultSectionSize();
        for (int row = 0; row < model_.rowCount(); ++row) {
            width = std::max(width, sizeHintForIndex(model_.index(row, column)).width() + gridLine);
        }
        if (columnWidth(column) != width) {
            setColumnWidth(column, width);
        }
    }
}

bool CellGrid::event(QEvent* event) {
    // Screen readers read a grid's tooltip as its description.
    if (event->type() == QEvent::ToolTipChange) {
        setAccessibleDescription(toolTip());
    }
    keyboardMenu_.noteEvent(*event);
    return QTableView::event(event);
}

void nameGridAfterLabel(CellGrid& grid, QLabel& label) {
    label.setBuddy(&grid);
    grid.setAccessibleName(label.text().remove(QLatin1Char('&')));
}

void CellGrid::makeFrozenLabelColumn() {
    horizontalHeader()->resizeSection(0, kLabelWidth);
    frozen_ = new QTableView(this);
    frozen_->setObjectName(QStringLiteral("LabelColumn"));
    frozen_->setModel(&model_);
    frozen_->setSelectionModel(selectionModel());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->horizontalHeader()->hide();
    frozen_->verticalHeader()->hide();
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    frozen_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setColumnWidth(0, kLabelWidth);
    frozen_->viewport()->installEventFilter(this);
    viewport()->stackUnder(frozen_);
    const auto hideValueColumns = [this] {
        for (int column = 1; column < model_.columnCount(); ++column) {
            frozen_->setColumnHidden(column, true);
        }
        horizontalHeader()->resizeSection(0, kLabelWidth);
    };
    connect(&model_, &QAbstractItemModel::columnsInserted, this, hideValueColumns);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    hideValueColumns();
    placeFrozenLabelColumn();
    frozen_->show();
}

void CellGrid::placeFrozenLabelColumn() {
    if (frozen_ != nullptr) {
        frozen_->setGeometry(frameWidth(), frameWidth(), columnWidth(0), viewport()->height());
    }
}

void CellGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozenLabelColumn();
}

bool CellGrid::eventFilter(QObject* watched, QEvent* event) {
    // The label column takes no mouse selection: a press there only focuses the grid.
    if (frozen_ != nullptr && watched == frozen_->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                setFocus(Qt::MouseFocusReason);
                return true;
            case QEvent::MouseButtonRelease:
            case QEvent::MouseMove:
                return true;
            default:
                break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void CellGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    if (frozen_ == nullptr || !index.isValid() || index.column() == 0) {
        return;
    }
    // A value cell must not end up hidden under the label column.
    const int hiddenBy = columnWidth(0) - visualRect(index).left();
    if (hiddenBy > 0) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hiddenBy);
    }
}

bool CellGrid::isLabelColumn(int column) const {
    return model_.hasLabelColumn() && column == 0;
}

int CellGrid::firstValueColumn() const {
    return model_.hasLabelColumn() ? 1 : 0;
}

void CellGrid::moveCurrent(int row, int column) {
    const QModelIndex target = model_.index(row, column);
    if (target.isValid()) {
        setCurrentIndex(target);
        scrollTo(target);
    }
}

void CellGrid::moveToLabel(int row) {
    const QModelIndex target = model_.index(row, 0);
    if (!target.isValid()) {
        return;
    }
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
}

bool CellGrid::moveByArrow(int key) {
    const QModelIndex current = currentIndex();
    if (model_.columnCount() <= firstValueColumn() || model_.rowCount() == 0) {
        return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up ||
               key == Qt::Key_Down;
    }
    int row = current.isValid() ? current.row() : 0;
    int column = current.isValid() ? current.column() : firstValueColumn();
    switch (key) {
        case Qt::Key_Left:
            column -= 1;
            break;
        case Qt::Key_Right:
            column += 1;
            break;
        case Qt::Key_Up:
            row -= 1;
            break;
        case Qt::Key_Down:
            row += 1;
            break;
        default:
            return false;
    }
    // Arrows never land on the label column; from a label cell they enter the values.
    column = std::clamp(column, firstValueColumn(), model_.columnCount() - 1);
    row = std::clamp(row, 0, model_.rowCount() - 1);
    moveCurrent(row, column);
    return true;
}

bool CellGrid::moveOnEnter(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) {
        return false;
    }
    const int lastColumn = model_.columnCount() - 1;
    if (lastColumn < firstValueColumn() || model_.rowCount() == 0) {
        return true;
    }
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : 0;
    int column = current.isValid() ? current.column() + 1 : firstValueColumn();
    if (column > lastColumn && row + 1 < model_.rowCount()) {
        row += 1;
        column = firstValueColumn();
    }
    moveCurrent(row, std::clamp(column, firstValueColumn(), lastColumn));
    return true;
}

void CellGrid::keyPressEvent(QKeyEvent* event) {
    if (keyboardMenu_.takeKey(*event, *this)) {
        return;
    }
    if (moveByArrow(event->key()) || moveOnEnter(event->key())) {
        event->accept();
        return;
    }
    const std::optional<char32_t> key = cellKeyOf(*event);
    if (!key) {
        // Tab, Esc and the like belong to the screen.
        event->ignore();
        return;
    }
    event->accept();
    const QModelIndex current = currentIndex();
    if (!editable_ || !current.isValid() || isLabelColumn(current.column())) {
        return;
    }
    const int column = current.column() - firstValueColumn();
    std::string text = model_.text(current.row(), column);
    if (applyCellKey(text, *key)) {
        model_.setText(current.row(), column, std::move(text));
    }
}

std::optional<char32_t> CellGrid::cellKeyOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Backspace) {
        return U'\x08';
    }
    if (event.key() == Qt::Key_Delete) {
        return U'\x7f';
    }
    if (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab ||
        event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ||
        event.key() == Qt::Key_Escape) {
        return std::nullopt;
    }
    const QString text = event.text();
    if (text.isEmpty() || (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return std::nullopt;
    }
    return static_cast<char32_t>(text.toUcs4().value(0));
}

void CellGrid::mousePressEvent(QMouseEvent* event) {
    // The mouse selects value cells only; a press on a label cell changes nothing.
    const QModelIndex pressed = indexAt(event->position().toPoint());
    if (pressed.isValid() && isLabelColumn(pressed.column())) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void CellGrid::mouseMoveEvent(QMouseEvent* event) {
    const QModelIndex over = indexAt(event->position().toPoint());
    if (over.isValid() && isLabelColumn(over.column())) {
        event->accept();
        return;
    }
    QTableView::mouseMoveEvent(event);
}

}  // namespace vornetica
