#include "measure/FigureSum.h"

void FigureSum::Start(bool lengths) {
    on_ = true;
    lengths_ = lengths;
    minusNext_ = false;
    entries_.clear();
}

void FigureSum::Clear() {
    on_ = false;
    minusNext_ = false;
    entries_.clear();
}

bool FigureSum::Add(double value, bool length) {
    if (!on_ || length != lengths_) return false;
    entries_.push_back({value, minusNext_});
    minusNext_ = false;
    return true;
}

double FigureSum::Total() const {
    double total = 0.0;
    for (const Entry& e : entries_) total += e.minus ? -e.value : e.value;
    return total;
}
