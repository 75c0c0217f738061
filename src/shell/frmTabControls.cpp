// The control inventory of the main window: every control with its name,
// container, caption or list items, initial state and design geometry in
// twips.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "CellEditorBox.h"
#include "FilteredLineEdit.h"
#include "MeiGridView.h"
#include "ReceivedPointList.h"
#include "TabControl.h"
#include "TextBuffer.h"
#include "Twips.h"
#include "WrappingPushButton.h"
#include "frmTab.h"

namespace {

// Filter kind of the number boxes: unsigned decimal numbers.
constexpr int kNumberKind = 2;

// Fonts of the design. On systems without them the font substitutions set up
// by the program map them to an installed Japanese font.
const QString kFixedFont = QStringLiteral("ＭＳ ゴシック");

QString IndexedName(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// Places a control inside a frame or directly on the window; geometry is
// relative to the container's top-left corner.
void Place(QWidget* control, const DesignRect& rect, double dpi) {
    control->setGeometry(TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
                         TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi));
}

void UseHighlightColour(QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
    label->setPalette(p);
}

// One of the program's own icons, built into the executable: the 32-pixel
// picture and its 64-pixel "@2x" twin for screens at twice the density. The
// twin is added by hand because QIcon looks for it only when the program
// starts on such a screen, not when the window is later moved to one. Taken
// from the resources rather than the desktop's icon theme, the icons look the
// same everywhere and start-up searches no theme folders.
QIcon KalvorIcon(const char* name) {
    const QString base = QStringLiteral(":/icons/") + QLatin1String(name);
    QIcon icon;
    icon.addFile(base + QStringLiteral(".png"));
    icon.addFile(base + QStringLiteral("@2x.png"));
    return icon;
}

QToolButton* PictureButton(QWidget* parent, const QString& name, const QString& caption,
                           const char* icon) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(KalvorIcon(icon));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

QComboBox* DropDownList(QWidget* parent, const QString& name, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(false);
    c->addItems(items);
    // No item is selected at design; start-up selects one from the settings.
    c->setCurrentIndex(-1);
    return c;
}

}  // namespace

void frmTab::BuildControls() {
    const double dpi = DpiY();
    setObjectName(QStringLiteral("frmTab"));
    setWindowIcon(KalvorIcon("kalvor"));
    resize(TwipsToPixels(14880, dpi), TwipsToPixels(10095, dpi));

    msgMei = new MeiGridView(grid_, this);
    msgMei->setObjectName(QStringLiteral("msgMei"));
    msgMei->setFont(QFont(kFixedFont, 9));
    Place(msgMei, {60, 120, 14715, 7215}, dpi);

    sstMenu = new TabControl(this);
    sstMenu->setObjectName(QStringLiteral("sstMenu"));
    Place(sstMenu, {60, 7560, 12255, 2475}, dpi);
    auto* page0 = new QWidget;
    auto* page1 = new QWidget;
    auto* page2 = new QWidget;
    page0->setObjectName(QStringLiteral("sstMenu_page0"));
    page1->setObjectName(QStringLiteral("sstMenu_page1"));
    page2->setObjectName(QStringLiteral("sstMenu_page2"));
    sstMenu->addTab(page0, QStringLiteral(" 標準  "));
    sstMenu->addTab(page1, QStringLiteral("基準となる長さの設定 "));
    sstMenu->addTab(page2, QStringLiteral("その他の設定  "));
    BuildPageStandard(page0);
    BuildPageScale(page1);
    BuildPageOther(page2);

    txtForEdit = new CellEditorBox(this);
    txtForEdit->setObjectName(QStringLiteral("txtForEdit"));
    txtForEdit->setFont(QFont(kFixedFont, 9));
    {
        QPalette p = txtForEdit->palette();
        p.setColor(QPalette::Base, QColor(192, 255, 255));
        p.setColor(QPalette::Text, Qt::black);
        txtForEdit->setPalette(p);
    }
    txtForEdit->setText(QStringLiteral("明細用テキスト"));
    // Not a tab stop: only the grid's keys open it.
    txtForEdit->setFocusPolicy(Qt::ClickFocus);
    Place(txtForEdit, {2460, 4080, 1635, 375}, dpi);
    txtForEdit->hide();

    if (edition_.paste) {
        txtClip = new TextBuffer(this);
        txtClip->setObjectName(QStringLiteral("txtClip"));
    }

    lstGetData = new QListView(this);
    lstGetData->setObjectName(QStringLiteral("lstGetData"));
    receivedPoints_ = new ReceivedPointList(lstGetData);
    lstGetData->setModel(receivedPoints_);
    lstGetData->setFocusPolicy(Qt::NoFocus);
    Place(lstGetData, {12720, 6660, 1575, 1500}, dpi);
    lstGetData->hide();
}

void frmTab::BuildPageStandard(QWidget* page) {
    const double dpi = DpiY();

    Frame3 = new QGroupBox(QStringLiteral("計測の選択"), page);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    sstMenu->PlaceOnPage(Frame3, edition_.frame3);

    const struct {
        const char* caption;
        DesignRect rect;
    } modes[6] = {
        {"二点間の距離", {180, 300, 1380, 300}}, {"多点の面積", {1740, 300, 1380, 300}},
        {"なぞり面積", {3120, 300, 1260, 300}},  {"多点の距離", {1740, 600, 1380, 300}},
        {"なぞり距離", {3120, 600, 1260, 300}},  {"座標点", {180, 600, 1380, 300}},
    };
    for (int i = 0; i < edition_.MeasurementCount(); ++i) {
        optMes[i] = new QRadioButton(QString::fromUtf8(modes[i].caption), Frame3);
        optMes[i]->setObjectName(IndexedName("optMes", i));
        Place(optMes[i], modes[i].rect, dpi);
    }

    lblMesHelp = new QLabel(Frame3);
    lblMesHelp->setObjectName(QStringLiteral("lblMesHelp"));
    lblMesHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMesHelp->setWordWrap(true);
    UseHighlightColour(lblMesHelp);
    Place(lblMesHelp, edition_.lblMesHelp, dpi);

    const struct {
        QToolButton*& slot;
        QString name;
        const char* caption;
        const char* icon;
        DesignRect rect;
        bool present;
    } buttons[] = {
        {cmdMes[0], IndexedName("cmdMes", 0), "計測開始", "start", {5160, 540, 915, 795}, true},
        {cmdMes[1], IndexedName("cmdMes", 1), "計測中止", "stop", {5160, 1500, 915, 795}, true},
        {cmdNextLine,
         QStringLiteral("cmdNextLine"),
         "次行移動",
         "nextline",
         {6300, 540, 915, 795},
         true},
        {cmdPaste,
         QStringLiteral("cmdPaste"),
         "貼付",
         "paste",
         {6300, 1500, 915, 795},
         edition_.paste},
        {cmdCopy, QStringLiteral("cmdCopy"), "コピー", "copy", {7500, 540, 915, 795}, true},
        {cmdSave, QStringLiteral("cmdSave"), "ﾌｧｲﾙ保存", "save", {7500, 1500, 915, 795}, true},
        {cmdClr, QStringLiteral("cmdClr"), "クリア", "clear", {8640, 540, 915, 795}, true},
        {cmdExit, QStringLiteral("cmdExit"), "終了", "exit", {8640, 1500, 915, 795}, true},
    };
    for (const auto& b : buttons) {
        if (!b.present) continue;
        b.slot = PictureButton(page, b.name, QString::fromUtf8(b.caption), b.icon);
        sstMenu->PlaceOnPage(b.slot, b.rect);
    }
    // Nothing to stop before a run has started.
    cmdMes[1]->setEnabled(false);

    lblHelp = new QLabel(QStringLiteral("Enterキー ： 次行移動"), page);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setFont(QFont(kFixedFont, 9));
    lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    UseHighlightColour(lblHelp);
    sstMenu->PlaceOnPage(lblHelp, edition_.lblHelp);

    if (edition_.coordinateMode) {
        chkOrgPos = new QCheckBox(QStringLiteral("次点を原点にする"), page);
        chkOrgPos->setObjectName(QStringLiteral("chkOrgPos"));
        sstMenu->PlaceOnPage(chkOrgPos, {9780, 2040, 2235, 315});
        chkOrgPos->hide();
    }
}

FilteredLineEdit* frmTab::NumberBox(int index, const QString& designText, QWidget* container) {
    txtInput[index] = new FilteredLineEdit(kNumberKind, container);
    txtInput[index]->setObjectName(IndexedName("txtInput", index));
    txtInput[index]->setText(designText);
    return txtInput[index];
}

void frmTab::BuildPageScale(QWidget* page) {
    auto label = [&](QLabel*& slot, const QString& name, const QString& caption,
                     const DesignRect& rect, bool highlight) {
        slot = new QLabel(caption, page);
        slot->setObjectName(name);
        slot->setWordWrap(true);
        slot->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (highlight) UseHighlightColour(slot);
        sstMenu->PlaceOnPage(slot, rect);
    };
    label(
        Label2[4], IndexedName("Label2", 4),
        QStringLiteral("計測するために必要な「基準となる長さ」と、タブレット上の長さを設定します。"
                       "  タブレットを変えたり、長さを変える場合は、やり直ししてください。"),
        {240, 480, 10995, 195}, true);
    label(Label1[0], IndexedName("Label1", 0), QStringLiteral("基準となる長さ"),
          {240, 960, 1515, 315}, false);
    sstMenu->PlaceOnPage(NumberBox(0, QStringLiteral("1"), page), {1860, 900, 975, 315});
    label(Label2[1], IndexedName("Label2", 1),
          QStringLiteral("1ｃｍなら「１」。 10ｍｍなら「10」と入れてください。"),
          {2940, 960, 5355, 315}, true);
    label(Label1[3], IndexedName("Label1", 3), QStringLiteral("タブレット上の長さ"),
          {300, 1440, 1455, 315}, false);
    sstMenu->PlaceOnPage(NumberBox(3, QStringLiteral("400"), page), {1860, 1380, 975, 315});
    label(Label2[3], IndexedName("Label2", 3),
          QStringLiteral("タブレットの「分解能」により、「基準となる長さ」がタブレット上でいくつに"
                         "なるのかを、直接指定します。 たとえば、１ｃｍで0.025mmの分解能なら400、"
                         "0.0125mmの分解能なら800です。"),
          {2940, 1320, 7755, 495}, true);

    cmdScale = new WrappingPushButton(QStringLiteral("タブレット上の長さの自動計測"), page);
    cmdScale->setObjectName(QStringLiteral("cmdScale"));
    sstMenu->PlaceOnPage(cmdScale, {240, 1920, 2655, 435});

    label(Label2[0], IndexedName("Label2", 0),
          QStringLiteral("分解能が分からない場合、「基準となる長さ」を設定し、このボタンを押して、"
                         "タブレットで２点クリックしてください。"),
          {3000, 2040, 8655, 315}, true);
    label(lblMsg[0], IndexedName("lblMsg", 0),
          QStringLiteral("計測を開始しました。タブレットで２点をクリックしてください。"
                         "この間、他の処理は厳禁です。"),
          {3000, 1980, 8475, 315}, false);
    lblMsg[0]->setAutoFillBackground(true);
    {
        QPalette p = lblMsg[0]->palette();
        p.setColor(QPalette::Window, QColor(255, 128, 128));
        lblMsg[0]->setPalette(p);
    }
    lblMsg[0]->hide();

    // In the free strip between the page's first line and the inputs: no
    // control of the design moves for it.
    label(lblResolution, QStringLiteral("lblResolution"), services_.tabletResolution,
          {240, 690, 10995, 210}, false);
    lblResolution->setVisible(!services_.tabletResolution.isEmpty());
}

void frmTab::BuildPageOther(QWidget* page) {
    const double dpi = DpiY();
    auto frame = [&](QGroupBox*& slot, const QString& name, const QString& caption,
                     const DesignRect& rect) {
        slot = new QGroupBox(caption, page);
        slot->setObjectName(name);
        sstMenu->PlaceOnPage(slot, rect);
    };
    auto frameLabel = [&](QLabel*& slot, QWidget* container, const QString& name,
                          const QString& caption, const DesignRect& rect) {
        slot = new QLabel(caption, container);
        slot->setObjectName(name);
        Place(slot, rect, dpi);
    };

    frame(Frame1, QStringLiteral("Frame1"), QStringLiteral("入力表の項目数"),
          {240, 540, 1935, 1335});
    frameLabel(Label1[1], Frame1, IndexedName("Label1", 1), QStringLiteral("縦の項目数"),
               {120, 360, 975, 315});
    Place(NumberBox(1, QStringLiteral("20"), Frame1), {1200, 300, 555, 315}, dpi);
    frameLabel(Label1[2], Frame1, IndexedName("Label1", 2), QStringLiteral("横の項目数"),
               {120, 780, 975, 315});
    Place(NumberBox(2, QStringLiteral("20"), Frame1), {1200, 720, 555, 315}, dpi);

    frame(Frame4, QStringLiteral("Frame4"), QStringLiteral("入力する方向"),
          {2340, 540, 1335, 1335});
    optInput[0] = new QRadioButton(QStringLiteral("縦に入力"), Frame4);
    optInput[0]->setObjectName(IndexedName("optInput", 0));
    Place(optInput[0], {120, 300, 1155, 315}, dpi);
    optInput[1] = new QRadioButton(QStringLiteral("横に入力"), Frame4);
    optInput[1]->setObjectName(IndexedName("optInput", 1));
    Place(optInput[1], {120, 720, 1155, 315}, dpi);

    frame(Frame5[0], IndexedName("Frame5", 0), QStringLiteral("小数点"), {3960, 540, 1515, 735});
    cmbSyosu =
        DropDownList(Frame5[0], QStringLiteral("cmbSyosu"),
                     {QStringLiteral("なし"), QStringLiteral("１位"), QStringLiteral("２位"),
                      QStringLiteral("３位"), QStringLiteral("４位"), QStringLiteral("５位")});
    Place(cmbSyosu, {180, 240, 1155, 300}, dpi);

    if (edition_.coordinateMode) {
        frame(Frame7, QStringLiteral("Frame7"), QStringLiteral("座標点の設定"),
              {3960, 1440, 1935, 915});
        chkZahyo[0] = new QCheckBox(QStringLiteral("X座標の逆転"), Frame7);
        chkZahyo[0]->setObjectName(IndexedName("chkZahyo", 0));
        Place(chkZahyo[0], {120, 240, 1575, 255}, dpi);
        chkZahyo[1] = new QCheckBox(QStringLiteral("Y座標の逆転"), Frame7);
        chkZahyo[1]->setObjectName(IndexedName("chkZahyo", 1));
        Place(chkZahyo[1], {120, 540, 1575, 255}, dpi);
    }

    frame(Frame5[1], IndexedName("Frame5", 1), QStringLiteral("項目の横の長さ"),
          {5700, 540, 1515, 735});
    cmdWidth = DropDownList(Frame5[1], QStringLiteral("cmdWidth"),
                            {QStringLiteral("450"), QStringLiteral("600"), QStringLiteral("750"),
                             QStringLiteral("900"), QStringLiteral("1050"), QStringLiteral("1200"),
                             QStringLiteral("1350"), QStringLiteral("1500")});
    Place(cmdWidth, {180, 240, 1155, 300}, dpi);

    frame(Frame2, QStringLiteral("Frame2"), QStringLiteral("音の設定"), {7380, 540, 1695, 1095});
    cmdWav = new WrappingPushButton(QStringLiteral("Wavファイルの指定"), Frame2);
    cmdWav->setObjectName(QStringLiteral("cmdWav"));
    Place(cmdWav, {180, 300, 1335, 615}, dpi);

    frame(Frame6, QStringLiteral("Frame6"), QStringLiteral("二点間距離"), {9300, 540, 2295, 795});
    cmbNiten = DropDownList(Frame6, QStringLiteral("cmbNiten"),
                            {QStringLiteral("通常"), QStringLiteral("横距離のみ （X軸）"),
                             QStringLiteral("縦距離のみ （Y軸）")});
    Place(cmbNiten, {180, 300, 1935, 300}, dpi);

    // Beyond the design, in the free strip below the sound and two-point
    // frames; only where the tablet can be kept from the desktop at all.
    chkPenGrab =
        new QCheckBox(QStringLiteral("計測中はペンを計測だけに使う（画面の操作にしない）"), page);
    chkPenGrab->setObjectName(QStringLiteral("chkPenGrab"));
    chkPenGrab->setChecked(true);
    sstMenu->PlaceOnPage(chkPenGrab, {7380, 1800, 4695, 300});
    chkPenGrab->setVisible(tablet_.CanHoldPen());
}

void frmTab::SetFocusOrder() {
    // The Tab key walks the controls in this order; hidden, disabled and
    // absent ones are skipped.
    QWidget* order[] = {
        msgMei,      sstMenu,     cmdExit,     cmdSave,  cmdMes[0],   txtInput[0], txtInput[3],
        cmdScale,    cmdMes[1],   cmdCopy,     cmdClr,   cmdNextLine, cmdWidth,    txtInput[1],
        txtInput[2], optInput[0], optInput[1], cmbSyosu, optMes[0],   optMes[1],   optMes[2],
        cmdWav,      optMes[3],   optMes[4],   cmbNiten, optMes[5],   chkOrgPos,   chkZahyo[0],
        chkZahyo[1], cmdPaste,    chkPenGrab,
    };
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (w == nullptr) continue;
        if (previous != nullptr) setTabOrder(previous, w);
        previous = w;
    }
}
