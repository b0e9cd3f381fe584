#pragma once

#include <cstdint>

#include "ui/wizard.h"

class QPushButton;

namespace vornetica {

class CellGrid;

// What the two grid screens share: grids of typed vectors, Add Vector, and Next
// writing the training data files from them.
class GridScreen : public WizardScreen {
    Q_OBJECT
  public:
    void screenShown() override;
    // The number of vector rows in the grids.
    std::int16_t VectorCount = 1;

  protected:
    // `withOutputs`: the screen has an OutputGrid (backpropagation, counterpropagation).
    GridScreen(Wizard& wizard, const char* name, bool withOutputs, const QString& addTooltip,
               const QString& nextTooltip);

  private:
    void layOut(const QString& addTooltip, const QString& nextTooltip);
    void followSizes();
    void addVectorPressed();
    void nextPressed();

    bool withOutputs_;
    bool laidOut_ = false;
    CellGrid* inputGrid_;
    CellGrid* outputGrid_ = nullptr;
};

// Input and output vectors (backpropagation and counterpropagation).
class EncodeDataEntry : public GridScreen {
    Q_OBJECT
  public:
    explicit EncodeDataEntry(Wizard& wizard);
};

// Input vectors alone (brain-state-in-a-box and the autocorrelator).
class EncodeDataEntry2 : public GridScreen {
    Q_OBJECT
  public:
    explicit EncodeDataEntry2(Wizard& wizard);
};

}  // namespace vornetica
