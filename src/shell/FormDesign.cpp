#include "shell/FormDesign.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

// The form as it was drawn: the full edition's controls (three of them are
// sized otherwise in the reduced edition, which Edition says), in twips.
const ControlDesign kControls[] = {
    {"msgMei", "QTableView", nullptr, kOnWindow, nullptr, {60, 120, 14715, 7215}, false},
    {"txtForEdit", "QLineEdit", "明細用テキスト", kOnWindow, nullptr, {2460, 4080, 1635, 375}, false},
    {"lstGetData", "QListView", nullptr, kOnWindow, nullptr, {12720, 6660, 1575, 1500}, false},
    {"sstMenu", "QTabWidget", nullptr, kOnWindow, nullptr, {60, 7560, 12255, 2475}, false},
    {"Frame3", "QGroupBox", "計測の選択", 0, nullptr, {180, 420, 4635, 1935}, false},
    {"optMes(0)", "QRadioButton", "二点間の距離", 0, "Frame3", {180, 300, 1380, 300}, false},
    {"optMes(1)", "QRadioButton", "多点の面積", 0, "Frame3", {1740, 300, 1380, 300}, false},
    {"optMes(2)", "QRadioButton", "なぞり面積", 0, "Frame3", {3120, 300, 1260, 300}, false},
    {"optMes(3)", "QRadioButton", "多点の距離", 0, "Frame3", {1740, 600, 1380, 300}, false},
    {"optMes(4)", "QRadioButton", "なぞり距離", 0, "Frame3", {3120, 600, 1260, 300}, false},
    {"optMes(5)", "QRadioButton", "座標点", 0, "Frame3", {180, 600, 1380, 300}, true},
    {"lblMesHelp", "QLabel", "", 0, "Frame3", {180, 1020, 4155, 795}, false},
    {"cmdMes(0)", "QToolButton", "計測開始", 0, nullptr, {5160, 540, 915, 795}, false},
    {"cmdMes(1)", "QToolButton", "計測中止", 0, nullptr, {5160, 1500, 915, 795}, false},
    {"cmdNextLine", "QToolButton", "次行移動", 0, nullptr, {6300, 540, 915, 795}, false},
    {"cmdPaste", "QToolButton", "貼付", 0, nullptr, {6300, 1500, 915, 795}, true},
    {"cmdCopy", "QToolButton", "コピー", 0, nullptr, {7500, 540, 915, 795}, false},
    {"cmdSave", "QToolButton", "ﾌｧｲﾙ保存", 0, nullptr, {7500, 1500, 915, 795}, false},
    {"cmdClr", "QToolButton", "クリア", 0, nullptr, {8640, 540, 915, 795}, false},
    {"cmdExit", "QToolButton", "終了", 0, nullptr, {8640, 1500, 915, 795}, false},
    {"lblHelp", "QLabel", "Enterキー ： 次行移動", 0, nullptr, {9840, 540, 2235, 1455}, false},
    {"chkOrgPos", "QCheckBox", "次点を原点にする", 0, nullptr, {9780, 2040, 2235, 315}, true},
    {"Label2(4)", "QLabel", "計測するために必要な「基準となる長さ」と、タブレット上の長さを設定します。  " "タブレットを変えたり、長さを変える場合は、やり直ししてください。", 1, nullptr, {240, 480, 10995, 195}, false},
    {"Label1(0)", "QLabel", "基準となる長さ", 1, nullptr, {240, 960, 1515, 315}, false},
    {"txtInput(0)", "QLineEdit", "1", 1, nullptr, {1860, 900, 975, 315}, false},
    {"Label2(1)", "QLabel", "1ｃｍなら「１」。 10ｍｍなら「10」と入れてください。", 1, nullptr, {2940, 960, 5355, 315}, false},
    {"Label1(3)", "QLabel", "タブレット上の長さ", 1, nullptr, {300, 1440, 1455, 315}, false},
    {"txtInput(3)", "QLineEdit", "400", 1, nullptr, {1860, 1380, 975, 315}, false},
    {"Label2(3)", "QLabel", "タブレットの「分解能」により、「基準となる長さ」がタブレット上でいくつになるのかを、" "直接指定します。 たとえば、１ｃｍで0.025mmの分解能なら400、0.0125mmの分解能なら800です。", 1, nullptr, {2940, 1320, 7755, 495}, false},
    {"cmdScale", "QPushButton", "タブレット上の長さの自動計測", 1, nullptr, {240, 1920, 2655, 435}, false},
    {"Label2(0)", "QLabel", "分解能が分からない場合、「基準となる長さ」を設定し、このボタンを押して、" "タブレットで２点クリックしてください。", 1, nullptr, {3000, 2040, 8655, 315}, false},
    {"lblMsg(0)", "QLabel", "計測を開始しました。タブレットで２点をクリックしてください。この間、他の処理は厳禁です。", 1, nullptr, {3000, 1980, 8475, 315}, false},
    {"Frame1", "QGroupBox", "入力表の項目数", 2, nullptr, {240, 540, 1935, 1335}, false},
    {"Label1(1)", "QLabel", "縦の項目数", 2, "Frame1", {120, 360, 975, 315}, false},
    {"txtInput(1)", "QLineEdit", "20", 2, "Frame1", {1200, 300, 555, 315}, false},
    {"Label1(2)", "QLabel", "横の項目数", 2, "Frame1", {120, 780, 975, 315}, false},
    {"txtInput(2)", "QLineEdit", "20", 2, "Frame1", {1200, 720, 555, 315}, false},
    {"Frame4", "QGroupBox", "入力する方向", 2, nullptr, {2340, 540, 1335, 1335}, false},
    {"optInput(0)", "QRadioButton", "縦に入力", 2, "Frame4", {120, 300, 1155, 315}, false},
    {"optInput(1)", "QRadioButton", "横に入力", 2, "Frame4", {120, 720, 1155, 315}, false},
    {"Frame5(0)", "QGroupBox", "小数点", 2, nullptr, {3960, 540, 1515, 735}, false},
    {"cmbSyosu", "QComboBox", nullptr, 2, "Frame5(0)", {180, 240, 1155, 300}, false},
    {"Frame7", "QGroupBox", "座標点の設定", 2, nullptr, {3960, 1440, 1935, 915}, true},
    {"chkZahyo(0)", "QCheckBox", "X座標の逆転", 2, "Frame7", {120, 240, 1575, 255}, true},
    {"chkZahyo(1)", "QCheckBox", "Y座標の逆転", 2, "Frame7", {120, 540, 1575, 255}, true},
    {"Frame5(1)", "QGroupBox", "項目の横の長さ", 2, nullptr, {5700, 540, 1515, 735}, false},
    {"cmdWidth", "QComboBox", nullptr, 2, "Frame5(1)", {180, 240, 1155, 300}, false},
    {"Frame2", "QGroupBox", "音の設定", 2, nullptr, {7380, 540, 1695, 1095}, false},
    {"cmdWav", "QPushButton", "Wavファイルの指定", 2, "Frame2", {180, 300, 1335, 615}, false},
    {"Frame6", "QGroupBox", "二点間距離", 2, nullptr, {9300, 540, 2295, 795}, false},
    {"cmbNiten", "QComboBox", nullptr, 2, "Frame6", {180, 300, 1935, 300}, false},
};

}  // namespace

std::span<const ControlDesign> FormDesign() { return kControls; }

const ControlDesign& DesignOf(std::string_view name) {
    const auto it = std::find_if(std::begin(kControls), std::end(kControls),
                                 [&](const ControlDesign& c) { return name == c.name; });
    if (it == std::end(kControls)) {
        // A name the window's own code misspells: no operator can cause it.
        std::fprintf(stderr, "no control %.*s in the form's design\n",
                     static_cast<int>(name.size()), name.data());
        std::abort();
    }
    return *it;
}
