#pragma once

#include <vector>

// The running sum of a planimeter's "hold and accumulate": figures measured
// one by one into one total, some of them counted minus (a hole: a courtyard
// in a footprint, a stairwell in a floor). It holds values only; when they
// are put and what they are measured in is the engine's business. All of one
// kind: areas or lengths.
class FigureSum {
  public:
    struct Entry {
        double value = 0.0;
        bool minus = false;
    };

    bool On() const { return on_; }
    // Starts an empty sum of areas or of lengths; a sum already on is
    // emptied.
    void Start(bool lengths);
    // Off and empty.
    void Clear();

    // The next figure added counts minus; asked again, it counts plus again.
    void ToggleMinusNext() { minusNext_ = !minusNext_; }
    bool MinusNext() const { return minusNext_; }

    // Adds a figure's value, minus when that was asked for (which is then
    // used up). Only values of the sum's kind are taken: false for one of
    // the other kind, or with the sum off.
    bool Add(double value, bool length);

    bool Lengths() const { return lengths_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    bool HoldsFigures() const { return on_ && !entries_.empty(); }
    // The plus figures less the minus ones.
    double Total() const;

  private:
    bool on_ = false;
    bool lengths_ = false;
    bool minusNext_ = false;
    std::vector<Entry> entries_;
};
