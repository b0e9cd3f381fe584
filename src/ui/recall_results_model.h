#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "recall/batch_recall.h"

namespace vornetica {

// The rows of a Recall All, shown through a view: the values are kept as numbers
// and turned into text only for the cells on screen, so a file of many thousand
// vectors neither freezes the window nor builds a widget per cell.
class RecallResultsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit RecallResultsModel(QObject* parent = nullptr);

    // Empties the table and sets its columns: the vector number, the inputs, the
    // outputs and, when compared, the expected values and the errors.
    void reset(int inputs, int outputs, bool compared);
    void append(const std::vector<BatchRow>& rows);

    int inputs() const { return inputs_; }
    int outputs() const { return outputs_; }
    bool compared() const { return compared_; }
    // Row `row` (from 0) as it was recalled, for saving.
    BatchRow rowAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::size_t valuesPerRow() const;
    double valueAt(int row, int column) const;

    int inputs_ = 0;
    int outputs_ = 0;
    bool compared_ = false;
    int rows_ = 0;
    std::vector<double> values_;  // per row: inputs, outputs, then expected and errors
};

}  // namespace vornetica
