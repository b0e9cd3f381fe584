#include "ui/parameter_help.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <map>
#include <utility>

namespace vornetica {

namespace {

using Key = std::pair<QString, QString>;

// The English texts, translated when asked for, so that a language chosen after
// the first lookup still applies.
const std::map<Key, const char*>& helpTexts() {
    static const std::map<Key, const char*> texts{
        {{"EncodeBPN", "InputSize"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Number of values in an input vector (input nodes); 1 or more, usually 1 to 100.")},
        {{"EncodeBPN", "HiddenSize"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Number of hidden nodes; usually a few to a few hundred. More nodes learn more but "
             "train slower.")},
        {{"EncodeBPN", "OutputSize"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Number of values in an output vector (output nodes); 1 or more, usually 1 to 100.")},
        {{"EncodeBPN", "ErrorThreshold"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Training stops when no output error signal of an epoch is above this value; "
             "usually .0001 to .01.")},
        {{"EncodeBPN", "MaxIterations"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Training stops after at most this number plus 2 epochs (100 gives at most 102), "
             "sooner when the errors fall to the threshold; 0 to 32767, usually 100 to 10000.")},
        {{"EncodeBPN", "InputScale"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Every input value is divided by this before training, to bring inputs to about -1 "
             "to 1; usually the largest input magnitude. Must not be 0.")},
        {{"EncodeBPN", "OutputScale"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Every target value is divided by this, to bring targets into the range of the "
             "neuron function; usually the largest target magnitude. Must not be 0.")},
        {{"EncodeBPN", "Alpha"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Learning rate of the hidden-to-output weights and the output thresholds: each "
             "change is alpha times the output node's error signal (times the hidden node's "
             "output, for a weight); usually 0.1 to 1.")},
        {{"EncodeBPN", "Beta"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Learning rate of the input-to-hidden weights and the hidden thresholds: each change "
             "is beta times the hidden node's error signal (times the input, for a weight); "
             "usually 0.1 to 1.")},
        {{"EncodeCPN", "InputSize"},
         QT_TRANSLATE_NOOP("ParameterHelp",
                           "Values per input vector; 1 or more, usually 1 to 100.")},
        {{"EncodeCPN", "HiddenSize"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Number of competitive nodes; at least the number of distinct classes in the data, "
             "usually 2 to 100.")},
        {{"EncodeCPN", "OutputSize"},
         QT_TRANSLATE_NOOP("ParameterHelp",
                           "Values per output vector; 1 or more, usually 1 to 100.")},
        {{"EncodeCPN", "Beta"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Decay of the winning node's outstar: each time step takes beta times its output "
             "weights off them; with gamma they settle near gamma / beta times the target for a "
             "winner that matches the input closely. The winning node itself moves towards the "
             "input at a fixed rate that no box sets; usually 0.1 to 0.9.")},
        {{"EncodeCPN", "Gamma"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Learning factor of the winning node's outstar: each time step adds gamma times the "
             "target (times how closely the winner matches the input) to its output weights; "
             "usually 0.1 to 0.9.")},
        {{"EncodeCPN", "NumberTimeSteps"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Each vector pair gets this number minus 1 training steps (100 gives 99, 1 or less "
             "none); 0 to 32767, usually 10 to 1000.")},
        {{"EncodeBSB", "InputSize"},
         QT_TRANSLATE_NOOP("ParameterHelp",
                           "Number of units (values per vector); 1 or more, usually 4 to 100.")},
        {{"EncodeBSB", "Alpha"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Learning rate of the weights: each training vector changes weight (i, j) by alpha "
             "times unit i's error times element j of the vector; usually 0.1 to 1.")},
        {{"EncodeBSB", "ErrorThreshold"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Training passes repeat until every error component of a pass is at or below this "
             "value, at most 32767 passes; usually .001 to .1.")},
        {{"EncodeDA", "InputSize"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Number of values (+1 or -1) per stored vector; 1 or more, usually 4 to 100.")},
        {{"RecallBSB", "Beta"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Feedback factor of the recall sweep: each unit adds beta times its weighted input "
             "from all units to its value; usually 0.1 to 1.")},
        {{"RecallBSB", "Gamma"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "The box limit: every unit is held between -gamma and gamma; above 0, usually 0.5 "
             "to 1.")},
        {{"RecallBSB", "ErrorThreshold"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Recall makes exactly one sweep; this only decides whether the result counts as "
             "settled: no unit changed by more than this part of its new value (.01 is 1 %); "
             "usually .001 to .1.")},
        {{"ChooseThreshold", "LinearSlope"},
         QT_TRANSLATE_NOOP("ParameterHelp",
                           "Slope of the linear function f(x) = slope * x; usually 0.1 to 2.")},
        {{"ChooseThreshold", "RampBoundary"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "The ramp's output is held between -boundary and +boundary; usually 1.")},
        {{"ChooseThreshold", "StepUpperBoundary"},
         QT_TRANSLATE_NOOP("ParameterHelp",
                           "Output of the step function for inputs above 0; usually 1.")},
        {{"ChooseThreshold", "StepLowerBoundary"},
         QT_TRANSLATE_NOOP(
             "ParameterHelp",
             "Output of the step function for inputs at or below 0; usually -1 or 0.")},
    };
    return texts;
}

}  // namespace

QString parameterHelp(const QString& screen, const QString& field) {
    const auto found = helpTexts().find({screen, field});
    return found == helpTexts().end() ? QString()
                                      : QCoreApplication::translate("ParameterHelp", found->second);
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
