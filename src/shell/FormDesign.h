#pragma once

#include <span>
#include <string_view>

#include "shell/Edition.h"

// Where a control lives: directly on the window, or on a page of sstMenu
// (then directly on the page or inside one of its frames).
inline constexpr int kOnWindow = -1;

// One control of the main window as the form was drawn: its name, the Qt
// class it is built as, its caption or design text (none for nullptr), where
// it lives and its rectangle in twips, relative to its container (for a
// control directly on a page: to the tab control's top-left corner, tab
// strip included).
struct ControlDesign {
    const char* name;
    const char* kind;
    const char* caption;
    int page;
    const char* frame;
    DesignRect rect;
    // Absent from the reduced edition.
    bool fullOnly;
};

// The tab captions of sstMenu's pages, and the items of the drop-down lists.
inline constexpr const char* kTabCaptions[] = {" 標準  ", "基準となる長さの設定 ",
                                               "その他の設定  "};
inline constexpr const char* kDecimalsItems[] = {"なし", "１位", "２位", "３位", "４位", "５位"};
inline constexpr const char* kWidthItems[] = {"450",  "600",  "750",  "900",
                                              "1050", "1200", "1350", "1500"};
inline constexpr const char* kTwoPointItems[] = {"通常", "横距離のみ （X軸）",
                                                 "縦距離のみ （Y軸）"};

// The order of the Tab key: every control that can take the focus, the
// controls beyond the design last.
inline constexpr const char* kFocusOrder[] = {
    "msgMei",      "sstMenu",       "cmdExit",          "cmdSave",     "cmdMes(0)",   "txtInput(0)",
    "txtInput(3)", "cmdScale",      "cmdMes(1)",        "cmdCopy",     "cmdClr",      "cmdNextLine",
    "cmdWidth",    "txtInput(1)",   "txtInput(2)",      "optInput(0)", "optInput(1)", "cmbSyosu",
    "optMes(0)",   "optMes(1)",     "optMes(2)",        "cmdWav",      "optMes(3)",   "optMes(4)",
    "cmbNiten",    "optMes(5)",     "chkOrgPos",        "chkZahyo(0)", "chkZahyo(1)", "cmdPaste",
    "chkPenGrab",  "cmdScaleRatio", "cmdScaleVertical", "cmbKaisu",
};

// Every control of the form the window builds from this table, once: the
// window reads its captions and rectangles here, and the tests check the
// window as built against it. The full edition's rectangles; Edition has the
// three the reduced edition sizes otherwise.
std::span<const ControlDesign> FormDesign();
// The control of that name; a name the table does not hold is a mistake in
// the window's own code and ends the program at once.
const ControlDesign& DesignOf(std::string_view name);
