#pragma once

#include "grid/CellEditor.h"

#include <functional>
#include <string>
#include <vector>

// A cell editor for tests that records what it was told. It tracks the
// focus: SetFocus takes it, and LoseFocus (or Hide while focused) gives it up
// and calls onLostFocus once, as a text box's lost-focus event would.
class FakeCellEditor : public CellEditor {
public:
    QString Text() const override { return text; }
    void SetText(const QString& value) override {
        text = value;
        Note("editor.SetText");
    }
    void SetSelStart(int position) override {
        requestedSelStart = position;
        Note("editor.SetSelStart");
    }
    void SetSelLength(int length) override {
        selLength = length;
        Note("editor.SetSelLength");
    }
    void Move(const TwipRect& value) override {
        rect = value;
        Note("editor.Move");
    }
    void Show() override {
        visible = true;
        ++showCount;
        Note("editor.Show");
    }
    void Hide() override {
        visible = false;
        Note("editor.Hide");
        LoseFocus();
    }
    bool IsVisible() const override { return visible; }
    void SetFocus() override {
        focused = true;
        Note("editor.SetFocus");
    }

    void LoseFocus() {
        if (!focused) {
            return;
        }
        focused = false;
        Note("editor.LostFocus");
        if (onLostFocus) {
            onLostFocus();
        }
    }

    QString text;
    // The caret position asked for; a text box clamps it to the text.
    int requestedSelStart = 0;
    int selLength = 0;
    TwipRect rect;
    bool visible = false;
    bool focused = false;
    int showCount = 0;
    std::function<void()> onLostFocus;
    std::vector<std::string>* journal = nullptr;

private:
    void Note(const char* what) {
        if (journal != nullptr) {
            journal->emplace_back(what);
        }
    }
};
