// The control inventory of the main window: every control with its name,
// container, caption or list items, initial state and design geometry in
// twips.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "grid/ui/CellEditorBox.h"
#include "shell/DesignFont.h"
#include "grid/ui/FilteredLineEdit.h"
#include "shell/FormDesign.h"
#include "grid/ui/MeiGridView.h"
#include "shell/ReceivedPointList.h"
#include "shell/TabControl.h"
#include "shell/TextBuffer.h"
#include "grid/Twips.h"
#include "shell/WrappingPushButton.h"
#include "shell/frmTab.h"

namespace {

// Fonts of the design. On systems without them the font substitutions set up
// by the program map them to an installed Japanese font.
const QString kFixedFont = QStringLiteral("ＭＳ ゴシック");

QString IndexedName(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

// A control's caption and rectangle as the form was drawn.
QString Caption(const QString& name) {
    const char* caption = DesignOf(name.toStdString()).caption;
    return caption != nullptr ? QString::fromUtf8(caption) : QString();
}
DesignRect RectOf(const QString& name) { return DesignOf(name.toStdString()).rect; }

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
// same everywhere and start-up searches no theme folders. Each is read as
// the PNG it is: a reader left to guess the format (QIcon::addFile) first
// loads every image plugin installed, several milliseconds of every start.
QIcon KalvorIcon(const char* name) {
    const QString base = QStringLiteral(":/icons/") + QLatin1String(name);
    QIcon icon;
    for (const QString& file : {base + QStringLiteral(".png"), base + QStringLiteral("@2x.png")}) {
        QImageReader reader(file, "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
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

template <std::size_t N>
QComboBox* DropDownList(QWidget* parent, const QString& name, const char* const (&items)[N]) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(false);
    for (const char* item : items) c->addItem(QString::fromUtf8(item));
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
    msgMei->setFont(DesignFont(kFixedFont, 9));
    Place(msgMei, RectOf(msgMei->objectName()), dpi);

    sstMenu = new TabControl(this);
    sstMenu->setObjectName(QStringLiteral("sstMenu"));
    Place(sstMenu, RectOf(sstMenu->objectName()), dpi);
    auto* page0 = new QWidget;
    auto* page1 = new QWidget;
    auto* page2 = new QWidget;
    page0->setObjectName(QStringLiteral("sstMenu_page0"));
    page1->setObjectName(QStringLiteral("sstMenu_page1"));
    page2->setObjectName(QStringLiteral("sstMenu_page2"));
    sstMenu->addTab(page0, QString::fromUtf8(kTabCaptions[0]));
    sstMenu->addTab(page1, QString::fromUtf8(kTabCaptions[1]));
    sstMenu->addTab(page2, QString::fromUtf8(kTabCaptions[2]));
    BuildPageStandard(page0);
    BuildPageScale(page1);
    BuildPageOther(page2);

    txtForEdit = new CellEditorBox(this);
    txtForEdit->setObjectName(QStringLiteral("txtForEdit"));
    txtForEdit->setFont(DesignFont(kFixedFont, 9));
    {
        QPalette p = txtForEdit->palette();
        p.setColor(QPalette::Base, QColor(192, 255, 255));
        p.setColor(QPalette::Text, Qt::black);
        txtForEdit->setPalette(p);
    }
    txtForEdit->setText(Caption(txtForEdit->objectName()));
    // Not a tab stop: only the grid's keys open it.
    txtForEdit->setFocusPolicy(Qt::ClickFocus);
    Place(txtForEdit, RectOf(txtForEdit->objectName()), dpi);
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
    Place(lstGetData, RectOf(lstGetData->objectName()), dpi);
    lstGetData->hide();
}

void frmTab::BuildPageStandard(QWidget* page) {
    const double dpi = DpiY();

    Frame3 = new QGroupBox(Caption(QStringLiteral("Frame3")), page);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    sstMenu->PlaceOnPage(Frame3, edition_.frame3);

    for (int i = 0; i < edition_.MeasurementCount(); ++i) {
        const QString name = IndexedName("optMes", i);
        optMes[i] = new QRadioButton(Caption(name), Frame3);
        optMes[i]->setObjectName(name);
        Place(optMes[i], RectOf(name), dpi);
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
        const char* icon;
        bool present;
    } buttons[] = {
        {cmdMes[0], IndexedName("cmdMes", 0), "start", true},
        {cmdMes[1], IndexedName("cmdMes", 1), "stop", true},
        {cmdNextLine, QStringLiteral("cmdNextLine"), "nextline", true},
        {cmdPaste, QStringLiteral("cmdPaste"), "paste", edition_.paste},
        {cmdCopy, QStringLiteral("cmdCopy"), "copy", true},
        {cmdSave, QStringLiteral("cmdSave"), "save", true},
        {cmdClr, QStringLiteral("cmdClr"), "clear", true},
        {cmdExit, QStringLiteral("cmdExit"), "exit", true},
    };
    for (const auto& b : buttons) {
        if (!b.present) continue;
        b.slot = PictureButton(page, b.name, Caption(b.name), b.icon);
        sstMenu->PlaceOnPage(b.slot, RectOf(b.name));
    }
    // Nothing to stop before a run has started.
    cmdMes[1]->setEnabled(false);

    lblHelp = new QLabel(Caption(QStringLiteral("lblHelp")), page);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setFont(DesignFont(kFixedFont, 9));
    lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    UseHighlightColour(lblHelp);
    sstMenu->PlaceOnPage(lblHelp, edition_.lblHelp);

    if (edition_.coordinateMode) {
        chkOrgPos = new QCheckBox(Caption(QStringLiteral("chkOrgPos")), page);
        chkOrgPos->setObjectName(QStringLiteral("chkOrgPos"));
        sstMenu->PlaceOnPage(chkOrgPos, RectOf(chkOrgPos->objectName()));
        chkOrgPos->hide();
    }
}

FilteredLineEdit* frmTab::NumberBox(int index, QWidget* container) {
    const QString name = IndexedName("txtInput", index);
    txtInput[index] = new FilteredLineEdit(FilterKind::Number, container);
    txtInput[index]->setObjectName(name);
    txtInput[index]->setText(Caption(name));
    return txtInput[index];
}

void frmTab::BuildPageScale(QWidget* page) {
    auto label = [&](QLabel*& slot, const QString& name, bool highlight) {
        slot = new QLabel(Caption(name), page);
        slot->setObjectName(name);
        slot->setWordWrap(true);
        slot->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (highlight) UseHighlightColour(slot);
        sstMenu->PlaceOnPage(slot, RectOf(name));
    };
    label(Label2[4], IndexedName("Label2", 4), true);
    label(Label1[0], IndexedName("Label1", 0), false);
    sstMenu->PlaceOnPage(NumberBox(0, page), RectOf(IndexedName("txtInput", 0)));
    label(Label2[1], IndexedName("Label2", 1), true);
    label(Label1[3], IndexedName("Label1", 3), false);
    sstMenu->PlaceOnPage(NumberBox(3, page), RectOf(IndexedName("txtInput", 3)));
    label(Label2[3], IndexedName("Label2", 3), true);

    cmdScale = new WrappingPushButton(Caption(QStringLiteral("cmdScale")), page);
    cmdScale->setObjectName(QStringLiteral("cmdScale"));
    sstMenu->PlaceOnPage(cmdScale, RectOf(cmdScale->objectName()));

    label(Label2[0], IndexedName("Label2", 0), true);
    label(lblMsg[0], IndexedName("lblMsg", 0), false);
    lblMsg[0]->setAutoFillBackground(true);
    {
        QPalette p = lblMsg[0]->palette();
        p.setColor(QPalette::Window, QColor(255, 128, 128));
        lblMsg[0]->setPalette(p);
    }
    lblMsg[0]->hide();

    // In the free strip between the page's first line and the inputs: no
    // control of the design moves for it.
    lblResolution = new QLabel(services_.tabletResolution, page);
    lblResolution->setObjectName(QStringLiteral("lblResolution"));
    lblResolution->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sstMenu->PlaceOnPage(lblResolution, {240, 690, 10995, 210});
    lblResolution->setVisible(!services_.tabletResolution.isEmpty());
    BuildDrawingScale(page);
}

void frmTab::BuildDrawingScale(QWidget* page) {
    // Right of the reference length's note, where the design leaves the
    // row free.
    const auto button = [&](QPushButton*& slot, const QString& caption, const QString& name,
                            DesignRect rect) {
        slot = new QPushButton(caption, page);
        slot->setObjectName(name);
        sstMenu->PlaceOnPage(slot, rect);
    };
    button(cmdScaleRatio, QStringLiteral("縮尺から設定…"), QStringLiteral("cmdScaleRatio"),
           {8400, 870, 1560, 375});
    button(cmdScaleVertical, QStringLiteral("縦の長さの自動計測"),
           QStringLiteral("cmdScaleVertical"), {10020, 870, 2100, 375});
    // Right of the counts' note: a factor left from another drawing must be
    // hard to miss where the scale is set.
    lblVertical = new QLabel(page);
    lblVertical->setObjectName(QStringLiteral("lblVertical"));
    lblVertical->setWordWrap(true);
    lblVertical->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold = lblVertical->font();
    bold.setBold(true);
    lblVertical->setFont(bold);
    UseHighlightColour(lblVertical);
    sstMenu->PlaceOnPage(lblVertical, {10800, 1320, 1395, 495});
    lblVertical->hide();
}

void frmTab::BuildPageOther(QWidget* page) {
    const double dpi = DpiY();
    auto frame = [&](QGroupBox*& slot, const QString& name) {
        slot = new QGroupBox(Caption(name), page);
        slot->setObjectName(name);
        sstMenu->PlaceOnPage(slot, RectOf(name));
    };
    // A control inside a frame, placed relative to it.
    auto inFrame = [&](auto* control, const QString& name) {
        control->setObjectName(name);
        Place(control, RectOf(name), dpi);
        return control;
    };
    auto frameLabel = [&](QLabel*& slot, QWidget* container, const QString& name) {
        slot = inFrame(new QLabel(Caption(name), container), name);
    };

    frame(Frame1, QStringLiteral("Frame1"));
    frameLabel(Label1[1], Frame1, IndexedName("Label1", 1));
    Place(NumberBox(1, Frame1), RectOf(IndexedName("txtInput", 1)), dpi);
    frameLabel(Label1[2], Frame1, IndexedName("Label1", 2));
    Place(NumberBox(2, Frame1), RectOf(IndexedName("txtInput", 2)), dpi);

    frame(Frame4, QStringLiteral("Frame4"));
    for (int i = 0; i < 2; ++i) {
        const QString name = IndexedName("optInput", i);
        optInput[i] = inFrame(new QRadioButton(Caption(name), Frame4), name);
    }

    frame(Frame5[0], IndexedName("Frame5", 0));
    cmbSyosu = inFrame(DropDownList(Frame5[0], QStringLiteral("cmbSyosu"), kDecimalsItems),
                       QStringLiteral("cmbSyosu"));

    if (edition_.coordinateMode) {
        frame(Frame7, QStringLiteral("Frame7"));
        for (int i = 0; i < 2; ++i) {
            const QString name = IndexedName("chkZahyo", i);
            chkZahyo[i] = inFrame(new QCheckBox(Caption(name), Frame7), name);
        }
    }

    frame(Frame5[1], IndexedName("Frame5", 1));
    cmdWidth = inFrame(DropDownList(Frame5[1], QStringLiteral("cmdWidth"), kWidthItems),
                       QStringLiteral("cmdWidth"));

    frame(Frame2, QStringLiteral("Frame2"));
    auto* wav = new WrappingPushButton(Caption(QStringLiteral("cmdWav")), Frame2);
    wav->SetOneLine(true);
    cmdWav = inFrame(wav, QStringLiteral("cmdWav"));

    frame(Frame6, QStringLiteral("Frame6"));
    cmbNiten = inFrame(DropDownList(Frame6, QStringLiteral("cmbNiten"), kTwoPointItems),
                       QStringLiteral("cmbNiten"));

    // Beyond the design, in the free strip below the sound and two-point
    // frames; only where the tablet can be kept from the desktop at all.
    chkPenGrab =
        new QCheckBox(QStringLiteral("計測中はペンを計測だけに使う（画面の操作にしない）"), page);
    chkPenGrab->setObjectName(QStringLiteral("chkPenGrab"));
    chkPenGrab->setChecked(true);
    sstMenu->PlaceOnPage(chkPenGrab, {7380, 1800, 4695, 300});
    chkPenGrab->setVisible(tablet_.CanHoldPen());
    BuildRepeatCount(page);
    BuildFigureExport(page);

    // Beyond the design, below the two-point frame: a closed pad or figure
    // window has no other button to bring it back, and F11 is easy to miss.
    if (services_.figure != nullptr) {
        cmdShowFigure = new QPushButton(services_.figure->TakesPen()
                                            ? QStringLiteral("パッドを表示（F11）")
                                            : QStringLiteral("図形を表示（F11）"),
                                        page);
        cmdShowFigure->setObjectName(QStringLiteral("cmdShowFigure"));
        sstMenu->PlaceOnPage(cmdShowFigure, {9300, 1425, 2295, 330});
        connect(cmdShowFigure, &QPushButton::clicked, this, [this] { OpenFigureWindow(); });
    }
}

void frmTab::SetFocusOrder() {
    // The Tab key walks the controls in this order; hidden, disabled and
    // absent ones are skipped.
    QWidget* previous = nullptr;
    for (const char* name : kFocusOrder) {
        auto* w = findChild<QWidget*>(QString::fromUtf8(name));
        if (w == nullptr) continue;
        if (previous != nullptr) setTabOrder(previous, w);
        previous = w;
    }
}
