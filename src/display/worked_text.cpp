#include "display/worked_text.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "base/number_text.h"

namespace vornetica {

namespace {

constexpr int kGap = -1;  // an ellipsis in a list of indices

std::string num(double value) {
    return exactNumberText(value);
}

// A number as a factor or a term after "+": negative ones in brackets.
std::string factor(double value) {
    const std::string text = num(value);
    return value < 0.0 || text.front() == '-' ? "(" + text + ")" : text;
}

std::string at(int index) {
    return std::to_string(index + 1);
}

// A symbol with one index, "x2".
std::string sym(const char* symbol, int i) {
    std::string text(symbol);
    text += at(i);
    return text;
}

// A symbol with two indices, "w[1,2]".
std::string sym(const char* symbol, int i, int j) {
    std::string text(symbol);
    text += '[';
    text += at(i);
    text += ',';
    text += at(j);
    text += ']';
    return text;
}

// The indices of a layer of `count` nodes that are shown, kGap for the ellipsis.
std::vector<int> shownNodes(int count, int chosen) {
    std::vector<int> shown;
    if (count <= kNodesShownWhole) {
        for (int n = 0; n < count; ++n) {
            shown.push_back(n);
        }
        return shown;
    }
    for (int n = 0; n < kFirstNodesShown; ++n) {
        shown.push_back(n);
    }
    shown.push_back(kGap);
    if (chosen >= kFirstNodesShown && chosen < count) {
        shown.push_back(chosen);
        if (chosen + 1 < count) {
            shown.push_back(kGap);
        }
    }
    return shown;
}

// "a + b + c", or the first terms, "…" and the last one when there are many.
std::string joinTerms(int count, const std::function<std::string(int)>& term,
                      const char* separator = " + ") {
    std::string text;
    const bool cut = count > kNodesShownWhole;
    for (int n = 0; n < count; ++n) {
        if (cut && n >= kFirstNodesShown && n + 1 < count) {
            if (n == kFirstNodesShown) {
                text += separator;
                text += "…";
            }
            continue;
        }
        if (n > 0) {
            text += separator;
        }
        text += term(n);
    }
    return text;
}

class Writer {
  public:
    Writer(const WorkedUnit& unit, int chosen) : unit_(unit), chosen_(chosen) {}

    double v(const char* quantity, int i = -1, int j = -1) const {
        return unit_.at(quantity, i, j);
    }
    int count(const char* quantity) const {
        int largest = 0;
        for (const WorkedValue& value : unit_.all(quantity)) {
            largest = std::max(largest, value.index1 + 1);
        }
        return largest;
    }
    int count2(const char* quantity) const {
        int largest = 0;
        for (const WorkedValue& value : unit_.all(quantity)) {
            largest = std::max(largest, value.index2 + 1);
        }
        return largest;
    }
    void heading(const std::string& text) {
        if (!text_.empty()) {
            text_ += '\n';
        }
        text_ += text + '\n';
    }
    void line(const std::string& text) { text_ += "  " + text + '\n'; }
    // One line per shown node, "  …" for each gap.
    void forNodes(int count, const std::function<void(int)>& each) {
        for (const int n : shownNodes(count, chosen_)) {
            if (n == kGap) {
                line("…");
            } else {
                each(n);
            }
        }
    }
    void values(const std::string& title, const char* quantity, const std::string& symbol) {
        const int n = count(quantity);
        text_ += title + ": " +
                 joinTerms(
                     n, [&](int i) { return symbol + at(i) + " = " + num(v(quantity, i)); }, ", ") +
                 '\n';
    }
    std::string take() { return std::move(text_); }
    int chosen() const { return chosen_; }

  private:
    const WorkedUnit& unit_;
    int chosen_;
    std::string text_;
};

void writeBpn(Writer& w) {
    const int I = w.count("input"), H = w.count("hidden_net"), O = w.count("output_net");
    w.values("Inputs divided by the input scale", "input", "x");
    w.values("Targets divided by the output scale", "target", "t");
    w.heading("Hidden layer: net = Σ w·x + θ, h = f(net)");
    w.forNodes(H, [&](int j) {
        const std::string symbols =
            joinTerms(I, [&](int i) { return sym("w", i, j) + sym("·x", i); });
        const std::string numbers = joinTerms(I, [&](int i) {
            return factor(w.v("hidden_weight_before", i, j)) + "·" + factor(w.v("input", i));
        });
        w.line(sym("net", j) + " = " + symbols + " + θ" + at(j) + " = " + numbers + " + " +
               factor(w.v("hidden_threshold_before", j)) + " = " + num(w.v("hidden_net", j)));
        w.line(sym("h", j) + " = f(" + num(w.v("hidden_net", j)) +
               ") = " + num(w.v("hidden_out", j)));
    });
    w.heading("Output layer: net = Σ v·h + θ, o = f(net)");
    w.forNodes(O, [&](int k) {
        const std::string symbols =
            joinTerms(H, [&](int j) { return sym("v", j, k) + sym("·h", j); });
        const std::string numbers = joinTerms(H, [&](int j) {
            return factor(w.v("output_weight_before", j, k)) + "·" + factor(w.v("hidden_out", j));
        });
        w.line(sym("net", k) + " = " + symbols + " + θ" + at(k) + " = " + numbers + " + " +
               factor(w.v("output_threshold_before", k)) + " = " + num(w.v("output_net", k)));
        w.line(sym("o", k) + " = f(" + num(w.v("output_net", k)) +
               ") = " + num(w.v("output_out", k)));
    });
    w.heading("Output error signals: D = (1 − o)·o·(t − o)");
    w.forNodes(O, [&](int k) {
        const double o = w.v("output_out", k);
        w.line(sym("D", k) + " = (1 − " + factor(o) + ")·" + factor(o) + "·(" +
               num(w.v("target", k)) + " − " + factor(o) + ") = " + num(w.v("output_error", k)));
    });
    w.heading(
        "Hidden error signals, from the output weights before their change: "
        "e = (1 − h)·h·Σ D·v");
    w.forNodes(H, [&](int j) {
        const double h = w.v("hidden_out", j);
        const std::string numbers = joinTerms(O, [&](int k) {
            return factor(w.v("output_error", k)) + "·" + factor(w.v("output_weight_before", j, k));
        });
        w.line(sym("e", j) + " = (1 − " + factor(h) + ")·" + factor(h) + "·(" + numbers +
               ") = (1 − " + factor(h) + ")·" + factor(h) + "·" +
               factor(w.v("hidden_error_sum", j)) + " = " + num(w.v("hidden_error", j)));
    });
    const std::string alpha = num(w.v("alpha"));
    const std::string beta = num(w.v("beta"));
    w.heading("Output weight changes: Δv = α·h·D, α = " + alpha);
    w.forNodes(H, [&](int j) {
        for (const int k : shownNodes(O, w.chosen())) {
            if (k == kGap) {
                w.line("…");
                continue;
            }
            w.line(sym("v", j, k) + " = " + factor(w.v("output_weight_before", j, k)) + " + " +
                   alpha + "·" + factor(w.v("hidden_out", j)) + "·" +
                   factor(w.v("output_error", k)) + " = " +
                   factor(w.v("output_weight_before", j, k)) + " + " +
                   factor(w.v("output_weight_change", j, k)) + " = " +
                   num(w.v("output_weight", j, k)));
        }
    });
    w.heading("Output threshold changes: Δθ = α·D");
    w.forNodes(O, [&](int k) {
        w.line(sym("θ", k) + " = " + factor(w.v("output_threshold_before", k)) + " + " + alpha +
               "·" + factor(w.v("output_error", k)) + " = " +
               factor(w.v("output_threshold_before", k)) + " + " +
               factor(w.v("output_threshold_change", k)) + " = " + num(w.v("output_threshold", k)));
    });
    w.heading("Hidden weight changes: Δw = β·x·e, β = " + beta);
    w.forNodes(I, [&](int i) {
        for (const int j : shownNodes(H, w.chosen())) {
            if (j == kGap) {
                w.line("…");
                continue;
            }
            w.line(sym("w", i, j) + " = " + factor(w.v("hidden_weight_before", i, j)) + " + " +
                   beta + "·" + factor(w.v("input", i)) + "·" + factor(w.v("hidden_error", j)) +
                   " = " + factor(w.v("hidden_weight_before", i, j)) + " + " +
                   factor(w.v("hidden_weight_change", i, j)) + " = " +
                   num(w.v("hidden_weight", i, j)));
        }
    });
    w.heading("Hidden threshold changes: Δθ = β·e");
    w.forNodes(H, [&](int j) {
        w.line(sym("θ", j) + " = " + factor(w.v("hidden_threshold_before", j)) + " + " + beta +
               "·" + factor(w.v("hidden_error", j)) + " = " +
               factor(w.v("hidden_threshold_before", j)) + " + " +
               factor(w.v("hidden_threshold_change", j)) + " = " + num(w.v("hidden_threshold", j)));
    });
}

void writeCpn(Writer& w, const WorkedUnit& unit) {
    const int I = w.count("input"), H = w.count("distance"), O = w.count("target");
    const std::vector<WorkedValue> winners = unit.all("winner");
    const int winner = winners.empty() ? 0 : winners.front().index1;
    w.values("Normalised input", "input", "x");
    w.values("Target", "target", "y");
    w.heading("Distances: d = √Σ (x − u)²");
    w.forNodes(H, [&](int j) {
        const std::string numbers = joinTerms(I, [&](int i) {
            return std::string("(") + num(w.v("input", i)) + " − " +
                   factor(w.v("kohonen_weight_before", i, j)) + ")²";
        });
        w.line(sym("d", j) + " = √(" + numbers + ") = " + num(w.v("distance", j)));
    });
    w.heading("Winner: unit " + at(winner) + ", distance " + num(w.v("winner", winner)));
    const std::string rate = num(w.v("rate"));
    w.heading("Kohonen step: u = u + r·(x − u), r = 0.2·(1 − " + num(w.v("time_step")) +
              "/10000) = " + rate + ", then u / |u|");
    w.forNodes(I, [&](int i) {
        const double before = w.v("kohonen_weight_before", i, winner);
        w.line(sym("u", i, winner) + " = " + factor(before) + " + " + rate + "·(" +
               num(w.v("input", i)) + " − " + factor(before) +
               ") = " + num(w.v("kohonen_moved", i, winner)) + ", / " +
               num(w.v("kohonen_length", winner)) + " = " + num(w.v("kohonen_weight", i, winner)));
    });
    w.line("|u| = " + num(w.v("kohonen_length", winner)));
    const std::string activity = joinTerms(I, [&](int i) {
        return factor(w.v("input", i)) + "·" + factor(w.v("kohonen_weight", i, winner));
    });
    w.heading("Activity of the winner: h = x·u = " + activity + " = " +
              num(w.v("activity", winner)));
    const std::string gamma = num(w.v("gamma"));
    const std::string beta = num(w.v("beta"));
    w.heading("Outstar change: Δv = γ·h·y − β·v, γ = " + gamma + ", β = " + beta);
    w.forNodes(O, [&](int k) {
        const double before = w.v("outstar_weight_before", winner, k);
        w.line(sym("Δv", winner, k) + " = " + gamma + "·" + factor(w.v("activity", winner)) + "·" +
               factor(w.v("target", k)) + " − " + beta + "·" + factor(before) + " = " +
               num(w.v("outstar_change", winner, k)) + ", " + sym("v", winner, k) + " = " +
               factor(before) + " + " + factor(w.v("outstar_change", winner, k)) + " = " +
               num(w.v("outstar_weight", winner, k)));
    });
}

void writeBsb(Writer& w) {
    const int I = w.count("input");
    const std::string alpha = num(w.v("alpha"));
    w.values("Input", "input", "x");
    w.heading("Each unit: y = Σ W·x, e = x − y, then its row: W = W + α·e·x, α = " + alpha);
    w.forNodes(I, [&](int i) {
        const std::string numbers = joinTerms(I, [&](int m) {
            return factor(w.v("weight_before", i, m)) + "·" + factor(w.v("input", m));
        });
        w.line(sym("y", i) + " = " + numbers + " = " + num(w.v("response", i)));
        w.line(sym("e", i) + " = " + num(w.v("input", i)) + " − " + factor(w.v("response", i)) +
               " = " + num(w.v("error", i)));
        for (const int j : shownNodes(I, w.chosen())) {
            if (j == kGap) {
                w.line("…");
                continue;
            }
            w.line(sym("W", i, j) + " = " + factor(w.v("weight_before", i, j)) + " + " + alpha +
                   "·" + factor(w.v("error", i)) + "·" + factor(w.v("input", j)) + " = " +
                   factor(w.v("weight_before", i, j)) + " + " + factor(w.v("weight_change", i, j)) +
                   " = " + num(w.v("weight", i, j)));
        }
    });
}

void writeDa(Writer& w) {
    const int n = w.count("input");
    w.values("Input, rounded to whole numbers", "input", "x");
    w.heading("Outer product less the identity, added: T = T + x·x − I");
    w.forNodes(n, [&](int i) {
        for (const int j : shownNodes(n, w.chosen())) {
            if (j == kGap) {
                w.line("…");
                continue;
            }
            w.line(sym("T", i, j) + " = " + factor(w.v("matrix_before", i, j)) + " + " +
                   factor(w.v("input", i)) + "·" + factor(w.v("input", j)) +
                   (i == j ? " − 1" : "") + " = " + factor(w.v("matrix_before", i, j)) + " + " +
                   factor(w.v("product", i, j)) + " = " + num(w.v("matrix", i, j)));
        }
    });
}

std::string title(const WorkedUnit& unit) {
    const std::string unitText = " (unit " + std::to_string(unit.unit + 1) + ")";
    switch (unit.kind) {
        case NetworkKind::BPN:
            return "Backpropagation, epoch " + std::to_string(unit.epoch + 1) + ", vector " +
                   std::to_string(unit.vector + 1) + unitText;
        case NetworkKind::CPN:
            return "Counterpropagation, pair " + std::to_string(unit.vector + 1) + ", time step " +
                   std::to_string(unit.epoch + 1) + unitText;
        case NetworkKind::BSB:
            return "Brain-state-in-a-box, pass " + std::to_string(unit.epoch + 1) + ", pair " +
                   std::to_string(unit.vector + 1) + unitText;
        case NetworkKind::DA:
            return "Discrete autocorrelator, vector " + std::to_string(unit.vector + 1) + unitText;
    }
    return {};
}

}  // namespace

int largestLayer(const WorkedUnit& unit) {
    int largest = 0;
    for (const WorkedValue& value : unit.values) {
        largest = std::max({largest, value.index1 + 1, value.index2 + 1});
    }
    return largest;
}

std::string workedCalculationText(const WorkedUnit& unit, int chosenNode) {
    Writer w(unit, chosenNode);
    std::string text = title(unit) + '\n';
    switch (unit.kind) {
        case NetworkKind::BPN:
            writeBpn(w);
            break;
        case NetworkKind::CPN:
            writeCpn(w, unit);
            break;
        case NetworkKind::BSB:
            writeBsb(w);
            break;
        case NetworkKind::DA:
            writeDa(w);
            break;
    }
    return text + w.take();
}

}  // namespace vornetica
