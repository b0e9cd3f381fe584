#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "import/table_import.h"
#include "neuron/threshold.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace vornetica {

class Wizard;

// "Import Table": turns a table (delimited text, FANN or SNNS) into the two training
// data files. It previews the first rows as they will be read, lets the user change
// what was detected and each column's role, reads the whole table on a worker
// thread for the report, and on OK writes the files beside the table.
class ImportDialog : public QDialog {
    Q_OBJECT
  public:
    // `outputs`: whether the network kind has targets (an output data file).
    ImportDialog(Wizard& wizard, bool outputs, QWidget* parent);
    ~ImportDialog() override;

    // After OK: the files written, and whether the user asked to take the table's
    // sizes (inputs, outputs) for the parameter screen.
    QString inputPath() const;
    QString outputPath() const;
    std::optional<std::pair<int, int>> sizesToSet() const { return sizesToSet_; }
    // Whether the whole table is still being read, or the files written.
    bool busy() const { return running_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Outcome {
        std::shared_ptr<const ImportedTable> table;  // none when the table was refused
        QString text;                                // the report, or why it was refused
    };

    void buildControls();
    void layOut(QPushButton* browseTable, QPushButton* cancel, QPushButton* help);
    void connectControls(QPushButton* browseTable, QPushButton* cancel, QPushButton* help);
    void sourceChanged();
    void browse();
    ImportChoices choices() const;
    void refreshPreview();
    void showPreview(const TablePreview& preview);
    void rebuildRoles(const TablePreview& preview);
    void requestImport();
    void launchImport();
    void importEnded(const Outcome& outcome);
    void showSizes();
    std::optional<QString> namesProblem() const;
    void okPressed();
    void writeEnded(const QString& failure);

    Wizard& wizard_;
    bool outputs_;
    std::optional<ThresholdChoice> function_;
    QLineEdit* source_;
    QString shownSource_;  // the table the preview and the proposed names are of
    QComboBox* format_;
    QComboBox* separator_;
    QComboBox* header_;
    QComboBox* decimal_;
    QCheckBox* oneHot_;
    QTableWidget* preview_;
    QPlainTextEdit* report_;
    QLabel* sizeNotice_;
    QPushButton* setSizes_;
    QLineEdit* inputPath_;
    QLineEdit* outputPath_;
    QPushButton* ok_;
    std::vector<QComboBox*> roles_;
    std::optional<TableFormat> rolesFormat_;  // the format the role boxes were made for

    std::shared_ptr<const ImportedTable> table_;
    std::optional<std::pair<int, int>> sizesToSet_;
    std::thread worker_;
    bool running_ = false;
    bool pending_ = false;
};

}  // namespace vornetica
