#include "ui/recall_results_model.h"

#include "base/number_text.h"

namespace vornetica {

RecallResultsModel::RecallResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecallResultsModel::reset(int inputs, int outputs, bool compared) {
    beginResetModel();
    inputs_ = std::max(inputs, 0);
    outputs_ = std::max(outputs, 0);
    compared_ = compared;
    rows_ = 0;
    values_.clear();
    values_.shrink_to_fit();
    endResetModel();
}

std::size_t RecallResultsModel::valuesPerRow() const {
    return static_cast<std::size_t>(inputs_ + outputs_ * (compared_ ? 3 : 1));
}

void RecallResultsModel::append(const std::vector<BatchRow>& rows) {
    if (rows.empty()) {
        return;
    }
    beginInsertRows({}, rows_, rows_ + static_cast<int>(rows.size()) - 1);
    for (const BatchRow& row : rows) {
        values_.insert(values_.end(), row.input.begin(), row.input.end());
        values_.insert(values_.end(), row.output.begin(), row.output.end());
        if (compared_) {
            values_.insert(values_.end(), row.expected.begin(), row.expected.end());
            values_.insert(values_.end(), row.error.begin(), row.error.end());
        }
    }
    rows_ += static_cast<int>(rows.size());
    endInsertRows();
}

BatchRow RecallResultsModel::rowAt(int row) const {
    BatchRow result;
    result.number = row + 1;
    auto at = values_.begin() + static_cast<std::ptrdiff_t>(valuesPerRow() * row);
    const auto take = [&at](std::vector<double>& into, int count) {
        into.assign(at, at + count);
        at += count;
    };
    take(result.input, inputs_);
    take(result.output, outputs_);
    if (compared_) {
        take(result.expected, outputs_);
        take(result.error, outputs_);
    }
    return result;
}

int RecallResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RecallResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1 + static_cast<int>(valuesPerRow());
}

double RecallResultsModel::valueAt(int row, int column) const {
    return values_[valuesPerRow() * static_cast<std::size_t>(row) +
                   static_cast<std::size_t>(column - 1)];
}

QVariant RecallResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    if (index.column() == 0) {
        return QString::number(index.row() + 1);
    }
    const QString text = QString::fromStdString(numberText(valueAt(index.row(), index.column())));
    return role == Qt::DisplayRole ? text : text.trimmed();
}

QVariant RecallResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section == 0) {
        return tr("Vector");
    }
    int place = section - 1;
    if (place < inputs_) {
        return tr("Input %1").arg(place + 1);
    }
    place -= inputs_;
    const QString heads[] = {tr("Output %1"), tr("Expected %1"), tr("Error %1")};
    return heads[std::min(place / std::max(outputs_, 1), 2)].arg(place % std::max(outputs_, 1) + 1);
}

}  // namespace vornetica
