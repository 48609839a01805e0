#pragma once
// The option panel: every choice of the settings file (scope, all stations, products,
// images, high resolution, target folder, skip existing, S4 archive roots, calibration,
// mapping, days side by side) and the
// buttons that save them, start a run and stop it.
#include <QWidget>

#include "ui/run_options.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace velarix {

class OptionPanel : public QWidget {
    Q_OBJECT
public:
    explicit OptionPanel(QWidget* parent = nullptr);

    RunOptions options() const;
    // Shows `options` without raising optionsChanged.
    void setOptions(const RunOptions& options);
    // The option controls (not the buttons) take input only while a run may be set up.
    void setOptionsEditable(bool editable);

    QPushButton* startButton() const { return start_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* saveButton() const { return save_; }

signals:
    // 1 an output choice changed, 2 the scope or the all-stations choice changed.
    void optionsChanged(int changeKind);
    void startClicked();
    void stopClicked();
    void saveClicked();

private:
    QCheckBox* addCheck(QWidget* box, const QString& text, const char* name, int changeKind);
    void chooseTarget();
    void addArchiveRoot();

    QButtonGroup* scope_;
    QCheckBox* allStations_;
    QCheckBox* skipExisting_;
    QCheckBox* files_[5];
    QCheckBox* images_[5];
    QCheckBox* separateTarget_;
    QLineEdit* targetDir_;
    QLineEdit* archiveRoots_;
    QComboBox* calibration_;
    QComboBox* mapping_;
    QSpinBox* jobs_;
    QList<QWidget*> editable_;
    QPushButton* save_;
    QPushButton* start_;
    QPushButton* stop_;
    bool quiet_ = false;  // set while setOptions fills the controls
    int pipelineOption_ = 0;
};

}  // namespace velarix
