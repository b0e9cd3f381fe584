#pragma once

#include <QDialog>
#include <array>

#include "settings/network_settings.h"
#include "ui/dialogs.h"
#include "wizard/parameter_screens.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace vornetica {

// The neuron function screen, modal over EncodeBPN. Its pictures are drawn from the
// neuron functions themselves with the parameters in the boxes, so they show the
// curves that training will use.
class ChooseThreshold : public QDialog {
    Q_OBJECT
  public:
    ChooseThreshold(NetworkSettings& settings, Dialogs& dialogs, QWidget* parent);

  private:
    ChooseThresholdTexts texts() const;
    void okPressed();
    void redrawPictures();

    NetworkSettings& settings_;
    Dialogs& dialogs_;
    std::array<QRadioButton*, 6> options_{};
    std::array<QLabel*, 6> pictures_{};
    QLineEdit* linearSlope_;
    QLineEdit* rampBoundary_;
    QLineEdit* stepUpper_;
    QLineEdit* stepLower_;
};

}  // namespace vornetica
