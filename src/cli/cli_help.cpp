#include "cli/cli_help.h"

namespace vornetica::cli {

namespace {

constexpr const char* kProgramUsage =
    "Usage: vornetica-cli train bpn|cpn|bsb|da [OPTIONS]\n"
    "       vornetica-cli recall NETWORK --inputs FILE [OPTIONS]\n"
    "       vornetica-cli export NETWORK --csv PREFIX\n"
    "       vornetica-cli [COMMAND [KIND]] --help\n";

constexpr const char* kExitStatus =
    "Exit status:\n"
    "  0  success\n"
    "  1  an input was refused (a missing or malformed file, a wrong network kind,\n"
    "     a value the network cannot hold, a file that cannot be written);\n"
    "     the message is printed on stderr\n"
    "  2  the command line was not understood (an unknown option, a missing or\n"
    "     malformed value); a usage message is printed on stderr\n";

constexpr const char* kProgramHelp =
    "vornetica-cli - train, save and recall small classic neural networks\n"
    "\n"
    "Commands:\n"
    "  train KIND    train a network of KIND from data files and save it to a\n"
    "                network file. KIND is one of\n"
    "                  bpn  backpropagation\n"
    "                  cpn  counterpropagation\n"
    "                  bsb  brain-state-in-a-box\n"
    "                  da   discrete autocorrelator\n"
    "  recall NETWORK\n"
    "                load a network file and recall every vector of a recall\n"
    "                data file, one output line per vector\n"
    "  export NETWORK\n"
    "                write the matrices of a network file to CSV files\n"
    "\n"
    "Run 'vornetica-cli train KIND --help', 'vornetica-cli recall --help' or\n"
    "'vornetica-cli export --help' for the options of each command.\n"
    "\n"
    "Data files hold one number a line: the input data file starts with the vector\n"
    "count, then the vectors' values in order; the output (target) data file has\n"
    "no count line. A comma or a blank also separates numbers.\n"
    "\n";

constexpr const char* kTrainHelp =
    "vornetica-cli train - train a network and save it\n"
    "\n"
    "Usage: vornetica-cli train bpn|cpn|bsb|da [OPTIONS]\n"
    "\n"
    "Each kind has its own options; see 'vornetica-cli train KIND --help'.\n"
    "Every run of a fresh program draws the same random numbers, so the same\n"
    "command gives the same network file every time.\n"
    "\n";

constexpr const char* kTrainCommon =
    "While it runs, a progress line is shown on stderr (rewritten in place on a\n"
    "terminal; otherwise only the last state is printed when the run ends). At the\n"
    "end \"Done!\" is printed on stdout, the network is saved and \"Finished Saving\n"
    "Network\" is printed. The network file is written to a temporary file first, so\n"
    "a failed save leaves an existing file whole.\n"
    "\n";

constexpr const char* kFileOptions =
    "  --inputs FILE          input data file: the vector count on the first line,\n"
    "                         then the values (default input.dat)\n";

constexpr const char* kOutputsOption =
    "  --outputs FILE         output (target) data file, no count line\n"
    "                         (default output.dat)\n";

constexpr const char* kSaveOption =
    "  --save FILE            network file to write (default network.vrn)\n";

constexpr const char* kTrainBpnHelp =
    "vornetica-cli train bpn - train a backpropagation network\n"
    "\n"
    "Usage: vornetica-cli train bpn [OPTIONS]\n"
    "\n"
    "Online backpropagation over the pairs of the two data files until no output\n"
    "error signal exceeds the error threshold or the iteration limit is passed.\n"
    "Inputs are divided by the input scale and targets by the output scale.\n"
    "\n"
    "Options (default in parentheses):\n"
    "  --input-size N         input nodes, 1 or more (1)\n"
    "  --hidden-size N        hidden nodes, 1 or more (100)\n"
    "  --output-size N        output nodes, 1 or more (1)\n"
    "  --error-threshold X    stop when no error signal exceeds X (.0001)\n"
    "  --max-iterations N     iteration limit, 0 to 32767 (100)\n"
    "  --input-scale X        divisor of every input value, not 0 (10.0)\n"
    "  --output-scale X       divisor of every target value, not 0 (10.0)\n"
    "  --alpha X              learning rate alpha (0.75)\n"
    "  --beta X               learning rate beta (0.25)\n"
    "  --function NAME        neuron function: linear, ramp, step, logistic, tanh\n"
    "                         or ratio-squares (logistic)\n"
    "  --slope X              slope of the linear function (1.0)\n"
    "  --boundary X           boundary of the ramp function (1.0)\n"
    "  --upper X              upper boundary of the step function (1.0)\n"
    "  --lower X              lower boundary of the step function (-1.0)\n";

constexpr const char* kTrainCpnHelp =
    "vornetica-cli train cpn - train a counterpropagation network\n"
    "\n"
    "Usage: vornetica-cli train cpn [OPTIONS]\n"
    "\n"
    "A Kohonen layer of competitive hidden units learns the input vectors and an\n"
    "outstar layer learns the target vectors, over the given number of time steps.\n"
    "\n"
    "Options (default in parentheses):\n"
    "  --input-size N         input values per vector, 1 or more (4)\n"
    "  --hidden-size N        competitive hidden units, 1 or more (50)\n"
    "  --output-size N        output values per vector, 1 or more (4)\n"
    "  --beta X               learning rate beta (0.5)\n"
    "  --gamma X              learning rate gamma (0.5)\n"
    "  --time-steps N         training time steps, 0 to 32767 (100)\n";

constexpr const char* kTrainBsbHelp =
    "vornetica-cli train bsb - train a brain-state-in-a-box network\n"
    "\n"
    "Usage: vornetica-cli train bsb [OPTIONS]\n"
    "\n"
    "Error-correction passes over the input vectors (no targets) until a whole\n"
    "pass leaves no error component above the error threshold, or at most 32767\n"
    "passes; in that case a note on stderr says that the errors did not fall to\n"
    "the threshold, and the network is still saved. With Alpha times a vector's\n"
    "squared length at 2 or more the errors do not fall: use small values or a\n"
    "small alpha.\n"
    "\n"
    "Options (default in parentheses):\n"
    "  --input-size N         units, 1 or more (4)\n"
    "  --alpha X              learning rate (0.5)\n"
    "  --error-threshold X    largest error component allowed (0.01)\n";

constexpr const char* kTrainDaHelp =
    "vornetica-cli train da - train a discrete autocorrelator\n"
    "\n"
    "Usage: vornetica-cli train da [OPTIONS]\n"
    "\n"
    "Sums each input vector's outer product with itself less the identity, in\n"
    "16-bit integers. Values are rounded to the nearest integer, halves to even;\n"
    "normally they are bipolar (1 and -1). The input size is at most 181.\n"
    "\n"
    "Options (default in parentheses):\n"
    "  --input-size N         values per vector, 1 to 181 (4)\n";

constexpr const char* kRecallHelp =
    "vornetica-cli recall - recall every vector of a data file with a saved network\n"
    "\n"
    "Usage: vornetica-cli recall NETWORK [--kind bpn|cpn|bsb|da] --inputs FILE\n"
    "         [--beta X --gamma X --error-threshold X]\n"
    "         [--record-inputs FILE --record-outputs FILE]\n"
    "\n"
    "Loads the network file NETWORK and reads the recall data file (the input data\n"
    "file format: a count line, which is ignored, then the values). Every whole\n"
    "vector in it is recalled, and one line per vector is printed on stdout: the\n"
    "output values in the file number form, separated by single blanks. For a\n"
    "discrete autocorrelator the values are integers (-1, 0, 1); its input values\n"
    "are rounded to the nearest integer, halves to even.\n"
    "\n"
    "Options (default in parentheses):\n"
    "  --inputs FILE          the recall data file (required)\n"
    "  --kind KIND            the kind the file must hold: bpn, cpn, bsb or da; a\n"
    "                         file of another kind is refused with \"Not correct\n"
    "                         network type!\" (without it the file's first line\n"
    "                         tells the kind)\n"
    "  --beta X               bsb only: feedback factor (0.5)\n"
    "  --gamma X              bsb only: box limit, above 0 (0.5)\n"
    "  --error-threshold X    bsb only: settling threshold (0.01)\n"
    "  --record-inputs FILE   write every input value recalled, one a line\n"
    "  --record-outputs FILE  write every output value, one a line; the two record\n"
    "                         options go together, and the files are replaced\n"
    "                         whole only when every vector was recalled\n"
    "\n"
    "Brain-state-in-a-box: after the output lines, stderr gets one line per vector,\n"
    "\"vector N: settled\" or \"vector N: not settled\", telling whether any unit's\n"
    "relative change in the sweep exceeded the error threshold. Stdout holds only\n"
    "the output lines.\n"
    "\n";

constexpr const char* kExportHelp =
    "vornetica-cli export - write a network's matrices to CSV files\n"
    "\n"
    "Usage: vornetica-cli export NETWORK --csv PREFIX\n"
    "\n"
    "Reads the network file NETWORK (its first line tells the kind) and writes\n"
    "each of its matrices to a file of its own, PREFIX-MATRIX.csv, printing each\n"
    "file's name on stdout:\n"
    "  bpn  PREFIX-hidden-weights.csv (input x hidden), PREFIX-output-weights.csv\n"
    "       (hidden x output), PREFIX-hidden-thresholds.csv and\n"
    "       PREFIX-output-thresholds.csv (one row, a value per unit)\n"
    "  cpn  PREFIX-hidden-weights.csv (input x hidden) and\n"
    "       PREFIX-output-weights.csv (hidden x output)\n"
    "  bsb  PREFIX-weights.csv (input x input)\n"
    "  da   PREFIX-weights.csv (input x input, integers)\n"
    "A row of the file is a row of the matrix as the network file orders it;\n"
    "values are separated by commas, lines end with CR LF, and each number is the\n"
    "shortest text that reads back to the same double. A PREFIX ending in \".csv\"\n"
    "loses that ending. The files are written beside their targets first and put\n"
    "in place together: if any cannot be written, no file is created or changed.\n"
    "\n"
    "Options:\n"
    "  --csv PREFIX           the start of the files' names, with any folder\n"
    "                         (required)\n"
    "  --help                 show this help\n"
    "\n";

std::string trainKindHelp(const char* head, bool outputs) {
    std::string text = head;
    text += kFileOptions;
    if (outputs) {
        text += kOutputsOption;
    }
    text += kSaveOption;
    text += "  --help                 show this help\n\n";
    text += "An option's value may also be given as --option=VALUE.\n\n";
    text += kTrainCommon;
    text += kExitStatus;
    return text;
}

}  // namespace

std::string helpText(const std::string& topic) {
    if (topic == "train bpn") {
        return trainKindHelp(kTrainBpnHelp, true);
    }
    if (topic == "train cpn") {
        return trainKindHelp(kTrainCpnHelp, true);
    }
    if (topic == "train bsb") {
        return trainKindHelp(kTrainBsbHelp, false);
    }
    if (topic == "train da") {
        return trainKindHelp(kTrainDaHelp, false);
    }
    if (topic == "train") {
        return std::string(kTrainHelp) + kTrainCommon + kExitStatus;
    }
    if (topic == "recall") {
        return std::string(kRecallHelp) + kExitStatus;
    }
    if (topic == "export") {
        return std::string(kExportHelp) + kExitStatus;
    }
    return std::string(kProgramHelp) + kProgramUsage + "\n" + kExitStatus;
}

std::string usageText(const std::string& topic) {
    std::string text = kProgramUsage;
    text += "Try 'vornetica-cli";
    if (!topic.empty()) {
        text += " " + topic;
    }
    text += " --help' for more information.\n";
    return text;
}

}  // namespace vornetica::cli
