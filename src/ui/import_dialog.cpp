#include "ui/import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/user_error.h"
#include "data/replacing_file.h"
#include "import/import_report.h"
#include "ui/screen_parts.h"
#include "ui/wizard.h"

namespace vornetica {

namespace {

constexpr int kPreviewRows = 20;

QComboBox* makeChoice(QWidget* parent, const char* name, const QString& accessible,
                      const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessible);
    box->addItems(items);
    return box;
}

QString separatorName(char separator) {
    switch (separator) {
        case ',':
            return ImportDialog::tr("comma");
        case ';':
            return ImportDialog::tr("semicolon");
        case '\t':
            return ImportDialog::tr("tab");
        default:
            break;
    }
    return ImportDialog::tr("blanks");
}

QString formatName(TableFormat format) {
    switch (format) {
        case TableFormat::Fann:
            return ImportDialog::tr("FANN data file");
        case TableFormat::Snns:
            return ImportDialog::tr("SNNS pattern file");
        case TableFormat::Auto:
        case TableFormat::Delimited:
            break;
    }
    return ImportDialog::tr("delimited text");
}

// The first item of a choice box is "Detect", and says what was detected.
void showDetected(QComboBox* box, const QString& detected) {
    box->setItemText(0, ImportDialog::tr("Detect (%1)").arg(detected));
}

// The data files proposed for a table: beside it, named after it.
QString besideSource(const QString& source, const char* suffix) {
    const QFileInfo info(source);
    return QDir(info.path()).filePath(info.completeBaseName() + QLatin1String(suffix));
}

// "2 inputs and 1 output", or the inputs alone for a kind without outputs.
QString sizesText(int inputs, int outputs, bool withOutputs) {
    QString text =
        inputs == 1 ? ImportDialog::tr("1 input") : ImportDialog::tr("%1 inputs").arg(inputs);
    if (withOutputs) {
        text += outputs == 1 ? ImportDialog::tr(" and 1 output")
                             : ImportDialog::tr(" and %1 outputs").arg(outputs);
    }
    return text;
}

}  // namespace

ImportDialog::ImportDialog(Wizard& wizard, bool outputs, QWidget* parent)
    : QDialog(parent), wizard_(wizard), outputs_(outputs) {
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(tr("Import Table"));
    const NetworkSettings& settings = wizard.settings();
    if (encodeKind(settings) == NetworkKind::BPN) {
        function_ = thresholdChoiceOf(settings);
    }
    buildControls();
}

ImportDialog::~ImportDialog() {
    // The worker posts its outcome to this dialog; it must be done before the dialog goes.
    if (worker_.joinable()) {
        worker_.join();
    }
}

void ImportDialog::buildControls() {
    source_ = makeTextBox(this, "SourcePath", "", tr("The table to import."));
    source_->setAccessibleName(tr("Table file"));
    auto* browseTable = makeButton(this, "cmdBrowseTable", tr("Browse..."));
    browseTable->setAccessibleName(tr("Browse for the table file"));

    format_ = makeChoice(
        this, "TableFormat", tr("Format"),
        {tr("Detect"), tr("Delimited text"), tr("FANN data file"), tr("SNNS pattern file")});
    separator_ = makeChoice(this, "Separator", tr("Separator"),
                            {tr("Detect"), tr("Comma"), tr("Semicolon"), tr("Tab"), tr("Blanks")});
    header_ = makeChoice(this, "HeaderRow", tr("Header row"), {tr("Detect"), tr("Yes"), tr("No")});
    decimal_ = makeChoice(this, "DecimalMark", tr("Decimal mark"),
                          {tr("Detect"), tr("Point"), tr("Comma")});
    oneHot_ =
        new QCheckBox(tr("The target column holds class labels (one output per class)"), this);
    oneHot_->setObjectName(QStringLiteral("OneHot"));
    oneHot_->setEnabled(outputs_);

    preview_ = new QTableWidget(this);
    preview_->setObjectName(QStringLiteral("PreviewGrid"));
    preview_->setAccessibleName(
        tr("Preview of the first rows; the first row holds each "
           "column's role"));
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setMinimumHeight(200);

    report_ = new QPlainTextEdit(this);
    report_->setObjectName(QStringLiteral("ImportReport"));
    report_->setAccessibleName(tr("Import report"));
    report_->setReadOnly(true);
    report_->setMinimumHeight(120);

    sizeNotice_ = makeLabel(this, "SizeNotice", {});
    sizeNotice_->setWordWrap(true);
    setSizes_ = makeButton(this, "cmdSetSizes", tr("Set the Sizes"),
                           tr("Take the table's numbers of inputs and outputs for the network."));
    setSizes_->setAccessibleName(tr("Set the network's sizes to the table's"));
    sizeNotice_->hide();
    setSizes_->hide();

    inputPath_ = makeTextBox(this, "ImportInputPath", "", tr("The input data file to write."));
    inputPath_->setAccessibleName(tr("Input data file to write"));
    outputPath_ = makeTextBox(this, "ImportOutputPath", "", tr("The output data file to write."));
    outputPath_->setAccessibleName(tr("Output data file to write"));

    ok_ = makeButton(this, "cmdOK", tr("OK"), tr("Write the data files and use them."));
    ok_->setEnabled(false);
    auto* cancel = makeButton(this, "cmdCancel", tr("Cancel"));
    auto* help = makeButton(this, "cmdHelp", tr("Help"));

    layOut(browseTable, cancel, help);
    connectControls(browseTable, cancel, help);
    resize(720, 640);
}

void ImportDialog::layOut(QPushButton* browseTable, QPushButton* cancel, QPushButton* help) {
    auto* sourceRow = new QHBoxLayout();
    sourceRow->addWidget(source_, 1);
    sourceRow->addWidget(browseTable);
    auto* choices = new QFormLayout();
    const auto row = [&](const QString& label, QWidget* field) {
        auto* text = new QLabel(label, this);
        text->setBuddy(field);
        choices->addRow(text, field);
    };
    auto* sourceLabel = new QLabel(tr("&Table:"), this);
    sourceLabel->setBuddy(source_);
    choices->addRow(sourceLabel, sourceRow);
    row(tr("&Format:"), format_);
    row(tr("&Separator:"), separator_);
    row(tr("&Header row:"), header_);
    row(tr("&Decimal mark:"), decimal_);
    choices->addRow(oneHot_);

    auto* files = new QFormLayout();
    auto* inputLabel = new QLabel(tr("&Input data file:"), this);
    inputLabel->setBuddy(inputPath_);
    files->addRow(inputLabel, inputPath_);
    auto* outputLabel = new QLabel(tr("O&utput data file:"), this);
    outputLabel->setBuddy(outputPath_);
    files->addRow(outputLabel, outputPath_);
    outputLabel->setVisible(outputs_);
    outputPath_->setVisible(outputs_);

    auto* sizes = new QHBoxLayout();
    sizes->addWidget(sizeNotice_, 1);
    sizes->addWidget(setSizes_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(preview_, 2);
    layout->addWidget(report_, 1);
    layout->addLayout(sizes);
    layout->addLayout(files);
    layout->addLayout(buttonRow({ok_, cancel, help}));
    ok_->setDefault(true);
}

void ImportDialog::connectControls(QPushButton* browseTable, QPushButton* cancel,
                                   QPushButton* help) {
    connect(source_, &QLineEdit::editingFinished, this, [this] { sourceChanged(); });
    connect(browseTable, &QPushButton::clicked, this, [this] { browse(); });
    for (QComboBox* box : {format_, separator_, header_, decimal_}) {
        connect(box, &QComboBox::activated, this, [this] { refreshPreview(); });
    }
    connect(oneHot_, &QCheckBox::toggled, this, [this] { requestImport(); });
    connect(setSizes_, &QPushButton::clicked, this, [this] {
        sizesToSet_ = std::pair<int, int>(static_cast<int>(table_->inputs.cols()),
                                          static_cast<int>(table_->outputs.cols()));
        showSizes();
    });
    connect(ok_, &QPushButton::clicked, this, [this] { okPressed(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { wizard_.showHelp(this, objectName()); });
}

QString ImportDialog::inputPath() const {
    return inputPath_->text();
}

QString ImportDialog::outputPath() const {
    return outputPath_->text();
}

void ImportDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        wizard_.showHelp(this, objectName());
        return;
    }
    QDialog::keyPressEvent(event);
}

void ImportDialog::browse() {
    const std::optional<QString> chosen =
        wizard_.dialogs().openFile(this, tr("Table to Import"), source_->text());
    if (!chosen) {
        return;
    }
    source_->setText(*chosen);
    // Choosing the same table again reads it again, as it may have changed.
    if (*chosen == shownSource_) {
        refreshPreview();
    } else {
        sourceChanged();
    }
}

void ImportDialog::sourceChanged() {
    // Leaving the box also ends its editing; names the user typed stay then.
    if (source_->text() == shownSource_) {
        return;
    }
    shownSource_ = source_->text();
    inputPath_->setText(besideSource(source_->text(), "-input.dat"));
    outputPath_->setText(besideSource(source_->text(), "-output.dat"));
    rolesFormat_.reset();
    refreshPreview();
}

ImportChoices ImportDialog::choices() const {
    ImportChoices choices;
    constexpr TableFormat kFormats[] = {TableFormat::Auto, TableFormat::Delimited,
                                        TableFormat::Fann, TableFormat::Snns};
    constexpr char kSeparators[] = {kDetectSeparator, ',', ';', '\t', kBlanks};
    constexpr HeaderRow kHeaders[] = {HeaderRow::Auto, HeaderRow::Yes, HeaderRow::No};
    choices.format = kFormats[format_->currentIndex()];
    choices.separator = kSeparators[separator_->currentIndex()];
    choices.header = kHeaders[header_->currentIndex()];
    if (decimal_->currentIndex() > 0) {
        choices.decimalComma = decimal_->currentIndex() == 2;
    }
    if (!roles_.empty()) {
        std::vector<int> inputs;
        std::vector<int> targets;
        for (std::size_t c = 0; c < roles_.size(); ++c) {
            const QString role = roles_[c]->currentData().toString();
            if (role == QLatin1String("input")) {
                inputs.push_back(static_cast<int>(c));
            } else if (role == QLatin1String("target")) {
                targets.push_back(static_cast<int>(c));
            }
        }
        choices.inputColumns = inputs;
        choices.targetColumns = targets;
    }
    choices.oneHot = outputs_ && oneHot_->isChecked();
    return choices;
}

void ImportDialog::refreshPreview() {
    table_.reset();
    ok_->setEnabled(false);
    if (source_->text().isEmpty()) {
        return;
    }
    try {
        const TablePreview preview =
            previewTable(source_->text().toStdString(), choices(), kPreviewRows);
        showPreview(preview);
    } catch (const UserError& error) {
        preview_->clear();
        preview_->setRowCount(0);
        preview_->setColumnCount(0);
        roles_.clear();
        rolesFormat_.reset();
        report_->setPlainText(QString::fromStdString(error.what()));
        return;
    }
    requestImport();
}

void ImportDialog::showPreview(const TablePreview& preview) {
    const TableLayout& layout = preview.layout;
    showDetected(format_, formatName(layout.format));
    showDetected(separator_, separatorName(layout.separator));
    showDetected(header_, layout.header ? tr("yes") : tr("no"));
    showDetected(decimal_, layout.decimalComma ? tr("comma") : tr("point"));
    const bool delimited = layout.format == TableFormat::Delimited;
    for (QComboBox* box : {separator_, header_, decimal_}) {
        box->setEnabled(delimited);
    }
    rebuildRoles(preview);
    preview_->setRowCount(static_cast<int>(preview.rows.size()) + 1);
    QStringList rowLabels{tr("Role")};
    for (std::size_t r = 0; r < preview.rows.size(); ++r) {
        rowLabels << QString::number(r + 1);
        for (std::size_t c = 0; c < preview.rows[r].size() && c < roles_.size(); ++c) {
            const QString text = QString::fromStdString(preview.rows[r][c]);
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            preview_->setItem(static_cast<int>(r) + 1, static_cast<int>(c), item);
        }
    }
    preview_->setVerticalHeaderLabels(rowLabels);
}

void ImportDialog::rebuildRoles(const TablePreview& preview) {
    const std::vector<std::string>& names = preview.layout.columnNames;
    QStringList headers;
    for (const std::string& name : names) {
        headers << QString::fromStdString(name);
    }
    const bool same = rolesFormat_ == preview.layout.format && roles_.size() == names.size();
    preview_->setColumnCount(static_cast<int>(names.size()));
    preview_->setHorizontalHeaderLabels(headers);
    if (same) {
        return;
    }
    // New columns take the default roles: every column but the last (or the file's
    // own outputs) is an input; a kind without outputs takes every column as input.
    ImportChoices defaults;
    if (!outputs_) {
        defaults.targetColumns = std::vector<int>{};
    }
    std::vector<ColumnRole> roles;
    try {
        roles = columnRoles(static_cast<int>(names.size()), defaults, preview.layout.fileInputs);
    } catch (const UserError&) {
        roles.assign(names.size(), ColumnRole::Input);
    }
    roles_.clear();
    for (std::size_t c = 0; c < names.size(); ++c) {
        auto* box = new QComboBox(preview_);
        box->setObjectName(QStringLiteral("Role%1").arg(c + 1));
        box->setAccessibleName(
            tr("Role of column %1, %2").arg(c + 1).arg(headers[static_cast<int>(c)]));
        box->addItem(tr("Input"), QStringLiteral("input"));
        if (outputs_) {
            box->addItem(tr("Target"), QStringLiteral("target"));
        }
        box->addItem(tr("Ignored"), QStringLiteral("ignored"));
        const char* role = roles[c] == ColumnRole::Input    ? "input"
                           : roles[c] == ColumnRole::Target ? "target"
                                                            : "ignored";
        box->setCurrentIndex(box->findData(QString::fromLatin1(role)));
        connect(box, &QComboBox::activated, this, [this] { requestImport(); });
        preview_->setCellWidget(0, static_cast<int>(c), box);
        roles_.push_back(box);
    }
    rolesFormat_ = preview.layout.format;
}

void ImportDialog::requestImport() {
    table_.reset();
    ok_->setEnabled(false);
    sizeNotice_->hide();
    setSizes_->hide();
    report_->setPlainText(tr("Reading the whole table..."));
    pending_ = true;
    if (!running_) {
        launchImport();
    }
}

// Reads the whole table on a worker thread; a change made meanwhile reads it again
// once this read has ended, so only the latest choices are reported.
void ImportDialog::launchImport() {
    pending_ = false;
    running_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    worker_ = std::thread(
        [this, path = source_->text().toStdString(), choices = choices(), function = function_] {
            Outcome outcome;
            try {
                auto table = std::make_shared<ImportedTable>(importTable(path, choices));
                outcome.text = QString::fromStdString(importReport(*table, function));
                outcome.table = std::move(table);
            } catch (const UserError& error) {
                outcome.text = QString::fromStdString(error.what());
            } catch (const std::bad_alloc&) {
                outcome.text = tr("The table does not fit in memory.");
            }
            QMetaObject::invokeMethod(
                this, [this, outcome] { importEnded(outcome); }, Qt::QueuedConnection);
        });
}

void ImportDialog::importEnded(const Outcome& outcome) {
    running_ = false;
    if (pending_) {
        launchImport();
        return;
    }
    table_ = outcome.table;
    report_->setPlainText(outcome.text);
    ok_->setEnabled(table_ != nullptr);
    sizesToSet_.reset();
    showSizes();
}

void ImportDialog::showSizes() {
    if (!table_) {
        return;
    }
    const NetworkSettings& settings = wizard_.settings();
    const auto inputs = static_cast<int>(table_->inputs.cols());
    const auto targets = static_cast<int>(table_->outputs.cols());
    const bool differ =
        inputs != settings.InputSize || (outputs_ && targets != settings.OutputSize);
    if (!differ) {
        sizeNotice_->hide();
        setSizes_->hide();
        return;
    }
    const QString table = sizesText(inputs, targets, outputs_);
    const QString network = sizesText(settings.InputSize, settings.OutputSize, outputs_);
    sizeNotice_->setText(
        sizesToSet_ ? tr("The network's sizes will be set to %1 when you press OK.").arg(table)
                    : tr("The table has %1, but the parameter screen has %2: training would "
                         "not read these files as they are.")
                          .arg(table, network));
    sizeNotice_->show();
    setSizes_->setVisible(!sizesToSet_);
}

// What stands against writing to the names given, or nothing.
std::optional<QString> ImportDialog::namesProblem() const {
    const QString input = inputPath_->text();
    const QString output = outputs_ ? outputPath_->text() : QString();
    if (input.isEmpty() || (outputs_ && output.isEmpty())) {
        return tr("Name the data files to write.");
    }
    for (const QString& written : {input, output}) {
        if (!written.isEmpty() &&
            namesOneFile(written.toStdString(), source_->text().toStdString())) {
            return tr("\"%1\" is the table being imported; write the data files elsewhere.")
                .arg(written);
        }
    }
    return std::nullopt;
}

// Writes the files on the worker thread, as a large table takes a while to write
// and sync; the dialog takes no changes meanwhile.
void ImportDialog::okPressed() {
    if (!table_ || running_) {
        return;
    }
    if (const std::optional<QString> problem = namesProblem()) {
        wizard_.dialogs().message(this, *problem, Dialogs::Icon::Warning);
        return;
    }
    setEnabled(false);
    running_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    std::optional<std::string> output;
    if (outputs_) {
        output = outputPath_->text().toStdString();
    }
    worker_ = std::thread([this, table = table_, input = inputPath_->text().toStdString(),
                           output = std::move(output)] {
        QString failure;
        try {
            writeImportedTable(*table, input, output);
        } catch (const UserError& error) {
            failure = QString::fromStdString(error.what());
        }
        QMetaObject::invokeMethod(
            this, [this, failure] { writeEnded(failure); }, Qt::QueuedConnection);
    });
}

void ImportDialog::writeEnded(const QString& failure) {
    running_ = false;
    setEnabled(true);
    if (!failure.isEmpty()) {
        wizard_.dialogs().message(this, failure, Dialogs::Icon::Warning);
        return;
    }
    accept();
}

}  // namespace vornetica
