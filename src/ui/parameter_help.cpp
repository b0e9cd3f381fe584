#include "ui/parameter_help.h"

#include <QLineEdit>
#include <map>
#include <utility>

namespace vornetica {

namespace {

using Key = std::pair<QString, QString>;

const std::map<Key, QString>& helpTexts() {
    static const std::map<Key, QString> texts{
        {{"EncodeBPN", "InputSize"},
         "Number of values in an input vector (input nodes); 1 or more, usually 1 to 100."},
        {{"EncodeBPN", "HiddenSize"},
         "Number of hidden nodes; usually a few to a few hundred. More nodes learn more but "
         "train slower."},
        {{"EncodeBPN", "OutputSize"},
         "Number of values in an output vector (output nodes); 1 or more, usually 1 to 100."},
        {{"EncodeBPN", "ErrorThreshold"},
         "Training stops when no output error signal of an epoch is above this value; "
         "usually .0001 to .01."},
        {{"EncodeBPN", "MaxIterations"},
         "Training also stops after this many epochs; 0 to 32767, usually 100 to 10000."},
        {{"EncodeBPN", "InputScale"},
         "Every input value is divided by this before training, to bring inputs to about -1 "
         "to 1; usually the largest input magnitude. Must not be 0."},
        {{"EncodeBPN", "OutputScale"},
         "Every target value is divided by this, to bring targets into the range of the "
         "neuron function; usually the largest target magnitude. Must not be 0."},
        {{"EncodeBPN", "Alpha"},
         "Learning rate of the weights from the input to the hidden layer; usually 0.1 to 1."},
        {{"EncodeBPN", "Beta"},
         "Learning rate of the weights from the hidden to the output layer; usually 0.1 to 1."},
        {{"EncodeCPN", "InputSize"}, "Values per input vector; 1 or more, usually 1 to 100."},
        {{"EncodeCPN", "HiddenSize"},
         "Number of competitive nodes; at least the number of distinct classes in the data, "
         "usually 2 to 100."},
        {{"EncodeCPN", "OutputSize"}, "Values per output vector; 1 or more, usually 1 to 100."},
        {{"EncodeCPN", "Beta"},
         "Learning rate of the input layer: how far the winning node moves towards the input; "
         "usually 0.1 to 0.9."},
        {{"EncodeCPN", "Gamma"},
         "Learning rate of the hidden layer: how far the winner's outstar moves towards the "
         "target; usually 0.1 to 0.9."},
        {{"EncodeCPN", "NumberTimeSteps"},
         "How many training steps each vector pair gets; 0 to 32767, usually 10 to 1000."},
        {{"EncodeBSB", "InputSize"},
         "Number of units (values per vector); 1 or more, usually 4 to 100."},
        {{"EncodeBSB", "Alpha"}, "Learning rate of the weights; usually 0.1 to 1."},
        {{"EncodeBSB", "ErrorThreshold"},
         "Training passes repeat until every error component of a pass is at or below this "
         "value; usually .001 to .1."},
        {{"EncodeDA", "InputSize"},
         "Number of values (+1 or -1) per stored vector; 1 or more, usually 4 to 100."},
        {{"RecallBSB", "Beta"}, "Feedback rate of each recall step; usually 0.1 to 1."},
        {{"RecallBSB", "Gamma"},
         "The box limit: every unit is held between -gamma and gamma; above 0, usually 0.5 "
         "to 1."},
        {{"RecallBSB", "ErrorThreshold"},
         "Recall stops when no unit changes by more than this; usually .001 to .1."},
        {{"ChooseThreshold", "LinearSlope"},
         "Slope of the linear function f(x) = slope * x; usually 0.1 to 2."},
        {{"ChooseThreshold", "RampBoundary"},
         "The ramp's output is held between -boundary and +boundary; usually 1."},
        {{"ChooseThreshold", "StepUpperBoundary"},
         "Output of the step function for inputs above 0; usually 1."},
        {{"ChooseThreshold", "StepLowerBoundary"},
         "Output of the step function for inputs at or below 0; usually -1 or 0."},
    };
    return texts;
}

}  // namespace

QString parameterHelp(const QString& screen, const QString& field) {
    const auto found = helpTexts().find({screen, field});
    return found == helpTexts().end() ? QString() : found->second;
}

void attachParameterHelp(QLineEdit* box, const QString& screen) {
    const QString help = parameterHelp(screen, box->objectName());
    if (help.isEmpty()) {
        return;
    }
    if (box->toolTip().isEmpty()) {
        box->setToolTip(help);
    }
    box->setWhatsThis(help);
}

}  // namespace vornetica
