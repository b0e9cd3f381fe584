#include "cli/cli_help.h"

#include "cli/cli_import.h"

namespace vornetica::cli {

namespace {

constexpr const char* kProgramUsage =
    "Usage: vornetica-cli train bpn|cpn|bsb|da [OPTIONS]\n"
    "       vornetica-cli recall NETWORK --inputs FILE [OPTIONS]\n"
    "       vornetica-cli import FILE [OPTIONS] --write-inputs FILE [--write-outputs FILE]\n"
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
    "  import FILE   turn a table (delimited text, FANN or SNNS) into the two\n"
    "                training data files\n"
    "  export NETWORK\n"
    "                write the matrices of a network file to CSV files\n"
    "\n"
    "Run 'vornetica-cli train KIND --help', 'vornetica-cli recall --help',\n"
    "'vornetica-cli import --help' or 'vornetica-cli export --help' for the options\n"
    "of each command.\n"
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

constexpr const char* kTrainNotes =
    "Lines beginning \"Note:\" on stderr say why a run may fail or has failed, and\n"
    "what to change. Before the run: targets that the output function cannot reach\n"
    "once divided by the output scale; inputs whose scaled size passes 13.8, where\n"
    "the first layer saturates; training with another function than the logistic\n"
    "one that recall uses; more than 10000 counterpropagation time steps, where the\n"
    "Kohonen rate turns negative; brain-state vectors whose squared length times\n"
    "alpha is not between 0 and 2; more than 0.14 autocorrelator patterns per unit.\n"
    "After \"Done!\": values that overflowed to Inf or NaN; an iteration limit reached\n"
    "while the largest error signal fell by less than 1% over the last tenth of the\n"
    "epochs (a plateau) or while it still fell; a stop by the threshold while outputs\n"
    "overshoot their targets by more than it; hidden units that never won; a run\n"
    "ended at its pass limit; stored patterns that one recall sweep changes. Notes\n"
    "never change what is trained.\n"
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
    "passes; in that case a note on stderr says that the run ended at its pass\n"
    "limit, and the network is still saved. With Alpha times a vector's\n"
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
    "         [--targets FILE] [--results FILE.csv]\n"
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
    "  --targets FILE         the outputs expected of each vector, in the output\n"
    "                         data file format (no count line; for bsb and da the\n"
    "                         settled state, as many values as the input); the\n"
    "                         file must hold one vector for every whole input\n"
    "                         vector, or nothing is recalled\n"
    "  --results FILE.csv     write the results table as CSV: the vector number,\n"
    "                         the inputs, the outputs and, with --targets, the\n"
    "                         expected values and the errors (expected - output);\n"
    "                         replaced whole only when every vector was recalled\n"
    "\n"
    "The file is read one vector at a time, so a recall data file of any size is\n"
    "recalled in the same small memory.\n"
    "\n"
    "Brain-state-in-a-box: after the output lines, stderr gets one line per vector,\n"
    "\"vector N: settled\" or \"vector N: not settled\", telling whether any unit's\n"
    "relative change in the sweep exceeded the error threshold. Stdout holds only\n"
    "the output lines.\n"
    "\n"
    "With --targets, stderr then gets a summary: the vectors compared, the mean\n"
    "squared error and the largest error over every output. When every expected\n"
    "vector is one-hot (a single 1, the rest 0), the share classified right (the\n"
    "largest output in the place of the 1) follows, and for up to 64 classes a\n"
    "confusion matrix, a row per expected class and a column per recalled class.\n"
    "\n";

constexpr const char* kTraceOptions =
    "  --trace FILE           write the worked values of the first units of work\n"
    "                         (vectors, time steps or pairs) to FILE as CSV\n"
    "  --trace-limit N        how many units the trace holds, 1 or more (100)\n";

constexpr const char* kTraceFormat =
    "The trace has the header unit,epoch,vector,quantity,index1,index2,value and one\n"
    "value a line, in the order the algorithm makes them. Unit, epoch, vector and\n"
    "indices count from 1; an index a quantity does not have is left empty. Each\n"
    "value is the shortest text that reads back to the same double. The file is\n"
    "written to a temporary file first. Quantities:\n";

constexpr const char* kBpnTrace =
    "  alpha, beta                       the learning rates\n"
    "  input[i], target[k]               the vector divided by the scales\n"
    "  hidden_weight_before[i,j], hidden_threshold_before[j],\n"
    "  output_weight_before[j,k], output_threshold_before[k]\n"
    "                                    the weights as the vector found them\n"
    "  hidden_net[j], hidden_out[j]      sum of w*x plus the threshold; f of it\n"
    "  output_net[k], output_out[k]      sum of v*h plus the threshold; f of it\n"
    "  output_error[k]                   (1 - o)*o*(t - o)\n"
    "  hidden_error_sum[j]               sum of D*v, output weights before the change\n"
    "  hidden_error[j]                   (1 - h)*h*hidden_error_sum\n"
    "  output_weight_change[j,k], output_weight[j,k]          alpha*h*D; the new weight\n"
    "  output_threshold_change[k], output_threshold[k]        alpha*D; the new threshold\n"
    "  hidden_weight_change[i,j], hidden_weight[i,j]          beta*x*e; the new weight\n"
    "  hidden_threshold_change[j], hidden_threshold[j]        beta*e; the new threshold\n";

constexpr const char* kCpnTrace =
    "  (a unit is a time step; the epoch column holds the time step)\n"
    "  beta, gamma, time_step            the outstar rates and the time step\n"
    "  input[i], target[k]               the normalised input and the target\n"
    "  kohonen_weight_before[i,j]        every hidden unit's weights before the step\n"
    "  distance[j]                       the Euclidean distance of unit j to the input\n"
    "  winner[j]                         the winning unit j, its distance as the value\n"
    "  rate                              0.2*(1 - time_step/10000)\n"
    "  kohonen_moved[i,j]                u + rate*(x - u) for the winner j\n"
    "  kohonen_length[j]                 its length, the divisor (1 for length 0)\n"
    "  kohonen_weight[i,j]               the winner's weights after the step\n"
    "  activity[j]                       x times the winner's new weights\n"
    "  outstar_weight_before[j,k], outstar_change[j,k], outstar_weight[j,k]\n"
    "                                    gamma*activity*y - beta*v, and the new weight\n";

constexpr const char* kBsbTrace =
    "  alpha                             the learning rate\n"
    "  input[i]                          the pair's vector\n"
    "  weight_before[i,j]                the weights before the pair\n"
    "  response[i], error[i]             sum of W*x; x - response\n"
    "  weight_change[i,j], weight[i,j]   alpha*error[i]*x[j]; the new weight\n";

constexpr const char* kDaTrace =
    "  input[i]                          the vector, rounded to whole numbers\n"
    "  matrix_before[i,j]                the matrix before the vector\n"
    "  product[i,j]                      x[i]*x[j] less the identity, the value added\n"
    "  matrix[i,j]                       the matrix after it\n";

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

std::string trainKindHelp(const char* head, bool outputs, const char* traceQuantities) {
    std::string text = head;
    text += kFileOptions;
    if (outputs) {
        text += kOutputsOption;
    }
    text += kSaveOption;
    text += kTraceOptions;
    text += "  --help                 show this help\n\n";
    text += "An option's value may also be given as --option=VALUE.\n\n";
    text += kTrainCommon;
    text += kTraceFormat;
    text += traceQuantities;
    text += "\n";
    text += kTrainNotes;
    text += kExitStatus;
    return text;
}

}  // namespace

std::string helpText(const std::string& topic) {
    if (topic == "train bpn") {
        return trainKindHelp(kTrainBpnHelp, true, kBpnTrace);
    }
    if (topic == "train cpn") {
        return trainKindHelp(kTrainCpnHelp, true, kCpnTrace);
    }
    if (topic == "train bsb") {
        return trainKindHelp(kTrainBsbHelp, false, kBsbTrace);
    }
    if (topic == "train da") {
        return trainKindHelp(kTrainDaHelp, false, kDaTrace);
    }
    if (topic == "train") {
        return std::string(kTrainHelp) + kTrainCommon + kExitStatus;
    }
    if (topic == "import") {
        return importHelpText() + kExitStatus;
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
