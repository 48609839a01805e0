#include "gui/option_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "ui/settings.h"

namespace velarix {

namespace {

struct Choice {
    int bit;
    const char* text;
    const char* name;
};

constexpr Choice kScopes[] = {{kThisDayOnly, "This day only", "scopeDay"},
                              {kThisMonth, "This month", "scopeMonth"},
                              {kThisYear, "This year", "scopeYear"},
                              {kThisDirectory, "This directory", "scopeDirectory"}};
constexpr Calibration kCalibrations[] = {Calibration::kFloor, Calibration::kSpread, Calibration::kDcb,
                                         Calibration::kModel};
constexpr IonoMapping kMappings[] = {IonoMapping::kThinShell, IonoMapping::kMslm};
constexpr Choice kFiles[] = {{kCmnFile, "CMN file", "fileCmn"},
                             {kStdFile, "STD file", "fileStd"},
                             {kBiasFile, "Bias file", "fileBias"},
                             {kDepletionFile, "Depletion file", "fileDepletion"},
                             {kDatFile, "DAT file (CESAR)", "fileDat"}};
constexpr Choice kImages[] = {{kTec24HourImage, "TEC 24-hour image", "imageTec24"},
                              {kTecPrnImages, "TEC PRN images", "imagePrn"},
                              {kBiasedUnbiasedPlot, "Biased/unbiased TEC plot", "imageBias"},
                              {kDepletionImage, "Depletion image", "imageDepletion"},
                              {kHighResolution, "High resolution", "imageHires"}};

// The groups' rows close together, so that the whole panel fits a 800-pixel screen.
QVBoxLayout* compactColumn() {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->setContentsMargins(8, 4, 8, 4);
    return column;
}

}  // namespace

QCheckBox* OptionPanel::addCheck(QWidget* box, const QString& text, const char* name, int changeKind) {
    auto* check = new QCheckBox(text, box);
    check->setObjectName(name);
    box->layout()->addWidget(check);
    connect(check, &QCheckBox::toggled, this, [this, changeKind] {
        if (!quiet_) emit optionsChanged(changeKind);
    });
    return check;
}

OptionPanel::OptionPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    auto* process = new QGroupBox("Process", this);
    process->setLayout(compactColumn());
    scope_ = new QButtonGroup(this);
    for (const Choice& choice : kScopes) {
        auto* radio = new QRadioButton(choice.text, process);
        radio->setObjectName(choice.name);
        process->layout()->addWidget(radio);
        scope_->addButton(radio, choice.bit);
    }
    connect(scope_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on && !quiet_) emit optionsChanged(2);
    });
    allStations_ = addCheck(process, "All stations", "allStations", 2);
    skipExisting_ = addCheck(process, "Skip existing CMN files", "skipExisting", 1);
    layout->addWidget(process);

    auto* files = new QGroupBox("Output files", this);
    files->setLayout(compactColumn());
    for (size_t i = 0; i < std::size(kFiles); ++i) files_[i] = addCheck(files, kFiles[i].text, kFiles[i].name, 1);
    layout->addWidget(files);

    auto* images = new QGroupBox("Output images", this);
    images->setLayout(compactColumn());
    for (size_t i = 0; i < std::size(kImages); ++i) {
        images_[i] = addCheck(images, kImages[i].text, kImages[i].name, 1);
    }
    layout->addWidget(images);

    auto* target = new QGroupBox("Products folder", this);
    target->setLayout(compactColumn());
    separateTarget_ = addCheck(target, "Write to another folder", "separateTarget", 1);
    auto* targetRow = new QHBoxLayout;
    targetDir_ = new QLineEdit(target);
    targetDir_->setObjectName("targetDir");
    targetDir_->setPlaceholderText("the data folder");
    auto* browse = new QPushButton("Browse...", target);
    browse->setObjectName("browseTarget");
    targetRow->addWidget(targetDir_, 1);
    targetRow->addWidget(browse);
    static_cast<QVBoxLayout*>(target->layout())->addLayout(targetRow);
    connect(browse, &QPushButton::clicked, this, &OptionPanel::chooseTarget);
    connect(targetDir_, &QLineEdit::editingFinished, this, [this] {
        if (!quiet_) emit optionsChanged(1);
    });
    layout->addWidget(target);

    auto* s4 = new QGroupBox("S4 archive roots", this);
    auto* s4Row = new QHBoxLayout(s4);
    archiveRoots_ = new QLineEdit(s4);
    archiveRoots_->setObjectName("archiveRoots");
    archiveRoots_->setPlaceholderText("folders separated by ;");
    auto* add = new QPushButton("Add...", s4);
    add->setObjectName("addArchiveRoot");
    s4Row->addWidget(archiveRoots_, 1);
    s4Row->addWidget(add);
    connect(add, &QPushButton::clicked, this, &OptionPanel::addArchiveRoot);
    connect(archiveRoots_, &QLineEdit::editingFinished, this, [this] {
        if (!quiet_) emit optionsChanged(1);
    });
    layout->addWidget(s4);

    auto* analysis = new QGroupBox("Calibration and threads", this);
    auto* form = new QFormLayout(analysis);
    form->setVerticalSpacing(2);
    form->setContentsMargins(8, 4, 8, 4);
    calibration_ = new QComboBox(analysis);
    calibration_->setObjectName("calibration");
    for (Calibration choice : kCalibrations) calibration_->addItem(calibrationName(choice));
    calibration_->setToolTip("How the receiver bias sets the TEC level (floor keeps the long series comparable)");
    mapping_ = new QComboBox(analysis);
    mapping_->setObjectName("mapping");
    for (IonoMapping choice : kMappings) mapping_->addItem(mappingName(choice));
    mapping_->setToolTip("thin-shell: 350 km; mslm: the modified single-layer mapping of CODE's maps");
    jobs_ = new QSpinBox(analysis);
    jobs_->setObjectName("jobs");
    jobs_->setRange(0, kMostDayThreads);
    jobs_->setSpecialValueText("one per core");
    form->addRow("Calibration", calibration_);
    form->addRow("Mapping", mapping_);
    form->addRow("Days side by side", jobs_);
    for (QComboBox* box : {calibration_, mapping_}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!quiet_) emit optionsChanged(1);
        });
    }
    connect(jobs_, &QSpinBox::valueChanged, this, [this] {
        if (!quiet_) emit optionsChanged(1);
    });
    layout->addWidget(analysis);
    editable_ = {process, files, images, target, s4, analysis};

    save_ = new QPushButton("Save settings", this);
    save_->setObjectName("saveSettings");
    save_->setToolTip("Store these choices in Velarix.ini (the skip switch is never stored)");
    start_ = new QPushButton("Start", this);
    start_->setObjectName("start");
    stop_ = new QPushButton("Stop", this);
    stop_->setObjectName("stop");
    stop_->setToolTip("Stop the batch after the file in work");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    layout->addLayout(buttons);
    layout->addStretch(1);
    connect(save_, &QPushButton::clicked, this, &OptionPanel::saveClicked);
    connect(start_, &QPushButton::clicked, this, &OptionPanel::startClicked);
    connect(stop_, &QPushButton::clicked, this, &OptionPanel::stopClicked);

    setOptions(RunOptions{});
}

RunOptions OptionPanel::options() const {
    RunOptions options;
    options.scopeWord = scope_->checkedId() > 0 ? scope_->checkedId() : kThisDayOnly;
    if (allStations_->isChecked()) options.scopeWord |= kAllStations;
    options.fileWord = 0;
    for (size_t i = 0; i < std::size(kFiles); ++i) {
        if (files_[i]->isChecked()) options.fileWord |= kFiles[i].bit;
    }
    options.imageWord = skipExisting_->isChecked() ? kSkipExistingCmn : 0;
    for (size_t i = 0; i < std::size(kImages); ++i) {
        if (images_[i]->isChecked()) options.imageWord |= kImages[i].bit;
    }
    options.targetDir = targetDir_->text().trimmed().toStdString();
    options.separateTarget = separateTarget_->isChecked() && !options.targetDir.empty();
    options.s4ArchiveRoots = splitArchiveRoots(archiveRoots_->text().toStdString());
    options.calibration = kCalibrations[std::max(0, calibration_->currentIndex())];
    options.mapping = kMappings[std::max(0, mapping_->currentIndex())];
    options.jobs = jobs_->value();
    options.pipelineOption = pipelineOption_;
    return options;
}

void OptionPanel::setOptions(const RunOptions& options) {
    quiet_ = true;
    for (const Choice& choice : kScopes) {
        scope_->button(choice.bit)->setChecked(options.processScope() == choice.bit);
    }
    allStations_->setChecked(options.allStations());
    skipExisting_->setChecked(options.skipExistingCmn());
    for (size_t i = 0; i < std::size(kFiles); ++i) files_[i]->setChecked((options.fileWord & kFiles[i].bit) != 0);
    for (size_t i = 0; i < std::size(kImages); ++i) {
        images_[i]->setChecked((options.imageWord & kImages[i].bit) != 0);
    }
    separateTarget_->setChecked(options.separateTarget);
    targetDir_->setText(QString::fromStdString(options.targetDir));
    archiveRoots_->setText(QString::fromStdString(joinArchiveRoots(options.s4ArchiveRoots)));
    calibration_->setCurrentText(calibrationName(options.calibration));
    mapping_->setCurrentText(mappingName(options.mapping));
    jobs_->setValue(options.jobs);
    pipelineOption_ = options.pipelineOption;
    quiet_ = false;
}

void OptionPanel::setOptionsEditable(bool editable) {
    for (QWidget* widget : editable_) widget->setEnabled(editable);
    save_->setEnabled(editable);
}

void OptionPanel::chooseTarget() {
    const QString folder = QFileDialog::getExistingDirectory(this, "Folder for the products", targetDir_->text());
    if (folder.isEmpty()) return;
    targetDir_->setText(folder);
    separateTarget_->setChecked(true);
    emit optionsChanged(1);
}

void OptionPanel::addArchiveRoot() {
    const QString folder = QFileDialog::getExistingDirectory(this, "Archive root of LISN S4 files");
    if (folder.isEmpty()) return;
    std::vector<std::string> roots = splitArchiveRoots(archiveRoots_->text().toStdString());
    roots.push_back(folder.toStdString());
    archiveRoots_->setText(QString::fromStdString(joinArchiveRoots(roots)));
    emit optionsChanged(1);
}

}  // namespace velarix
