#include "measure/MeasureEngine.h"

#include <charconv>
#include <cstddef>
#include <optional>

#include "measure/Calculation.h"
#include "measure/CircleArc.h"
#include "grid/NumberText.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// Full-width space: the separator of Japanese status texts.
const QString kGap = QStringLiteral("　");
// A spread of repeated measurements above this, in per cent, is shown as a
// warning: the traces do not agree well enough for their mean to be trusted
// without a look.
constexpr double kSpreadLimit = 1.0;

std::optional<std::int32_t> Negated(std::optional<std::int32_t> value) {
    if (!value) {
        return std::nullopt;
    }
    return Difference(0, *value);
}

}  // namespace

QString ReceivedPointLine(std::int32_t logX, std::int32_t logY) {
    static const QString prefix = QStringLiteral("取得座標データ   x=");
    char x[16];
    char y[16];
    const auto xEnd = std::to_chars(x, x + sizeof x, logX).ptr;
    const auto yEnd = std::to_chars(y, y + sizeof y, logY).ptr;
    QString line;
    line.reserve(prefix.size() + 4 + (xEnd - x) + (yEnd - y));
    line += prefix;
    line += QLatin1String(x, xEnd);
    line += QLatin1String("  y=");
    line += QLatin1String(y, yEnd);
    return line;
}

MeasureEngine::MeasureEngine(PadLink& tablet, MeasureHost& host, Options options)
    : tablet_(tablet), host_(host), options_(options) {}

void MeasureEngine::cmdMes_Click(int index) {
    if (index == 1) {
        host_.SetStartEnabled(true);
        lMesMode = kMesNone;
        // The library's mode and the points taken so far stay: F12 or the
        // side switch can still end the figure.
    } else {
        host_.SetStartEnabled(false);
        points.lPointCount = 0;
        arcArmed_ = false;
        host_.FocusGrid();
        const int selected = host_.SelectedMeasurement();
        switch (selected) {
            case 0:
                lMesMode = kMesTwoPoint;
                tablet_.PadlinkSetMode(0);
                break;
            case 1:
            case 3:
                lMesMode = kMesPicked;
                tablet_.PadlinkSetMode(0);
                break;
            case 2:
            case 4:
                lMesMode = kMesTraced;
                tablet_.PadlinkSetMode(1);
                break;
            case 5:
                if (options_.coordinateMode) {
                    lMesMode = kMesCoordinate;
                    tablet_.PadlinkSetMode(0);
                }
                break;
            default:
                break;
        }
        bLengthMode = selected == 0 || selected == 3 || selected == 4;
    }

    // A start or stop that overwrites a running calibration abandons it;
    // its notice must not stay up as if it were still waiting for points.
    if (calibrating_ && lMesMode != kMesCalibration) {
        calibrating_ = false;
        host_.SetCalibrationNoticeVisible(false);
    }
}

void MeasureEngine::optMes_Click(int) {
    if (options_.coordinateMode) {
        host_.SetOriginBoxVisible(false);
    }
    const int selected = host_.SelectedMeasurement();
    const QString guidance = GuidanceText(selected);
    if (!guidance.isEmpty()) {
        host_.SetGuidance(guidance);
    }
    if (options_.coordinateMode && selected == 5) {
        host_.SetOriginBoxVisible(true);
    }
    if (lMesMode != kMesNone) {
        cmdMes_Click(0);
    }
}

QString MeasureEngine::GuidanceText(int option) const {
    switch (option) {
        case 0: {
            QString text = QStringLiteral("タブレットで、２点をクリックしてください。") + kCrLf +
                           QStringLiteral("２点目の後で、計算を行います。");
            if (options_.twoPointNote) {
                text += kCrLf + kCrLf + QStringLiteral("※注意 設定は「 ") +
                        host_.TwoPointAxisText() + QStringLiteral(" 」です。");
            }
            return text;
        }
        case 1:
        case 3:
            return QStringLiteral("タブレットで、多数の点をクリックしてください。") + kCrLf +
                   QStringLiteral("F12キーか、ペンのサイドスイッチで計算を行います。") + kCrLf +
                   QStringLiteral("サイドスイッチは、ペンを浮かせたまま押してください。");
        case 2:
        case 4:
            return QStringLiteral("タブレットでペンを押したまま、計る範囲をドラッグ") + kCrLf +
                   QStringLiteral("してください。ドラッグ終了後に計算を行います。");
        case 5:
            if (!options_.coordinateMode) {
                return {};
            }
            return QStringLiteral("タブレットでクリックした点の座標を表示します。") + kCrLf +
                   QStringLiteral("ある点を原点にしたい場合は、") + kCrLf +
                   QStringLiteral("「次点を原点にする」をチェックしてください。");
        default:
            return {};
    }
}

void MeasureEngine::TwoPointAxisChanged() {
    if (options_.twoPointNote && host_.SelectedMeasurement() == 0)
        host_.SetGuidance(GuidanceText(0));
}

void MeasureEngine::cmdScale_Click() {
    // A second press while a calibration already waits must not make the
    // calibration its own mode to return to: it would never end.
    if (lMesMode != kMesCalibration) {
        lMesModeSave = lMesMode;
    }
    lMesMode = kMesCalibration;
    tablet_.PadlinkSetMode(0);
    points.lPointCount = 0;
    host_.SetCalibrationNoticeVisible(true);
    calibrating_ = true;
    vertical_ = false;
}

void MeasureEngine::StartVerticalCalibration() {
    cmdScale_Click();
    vertical_ = true;
}

void MeasureEngine::GetWintab(std::int32_t wParam, std::int32_t lParam) {
    const std::int32_t n = tablet_.PadlinkWintab(wParam, lParam);
    if (n == 0) {
        return;
    }
    // The sound follows the mode the notification arrived in, even when a
    // point in it ended a calibration and changed the mode.
    const std::int32_t entryMode = lMesMode;
    std::int32_t lStrokeEnd = 0;

    if (n < 0) {
        // Side switch: it ends the figure; no point is fetched.
        CalcLengthArea();
    } else {
        for (std::int32_t i = 1; i <= n; ++i) {
            std::int32_t lLogX = 0;
            std::int32_t lLogY = 0;
            std::int32_t lPenX = 0;
            std::int32_t lPenY = 0;
            tablet_.PadlinkGetData(0, lLogX, lLogY, lPenX, lPenY, lStrokeEnd);
            host_.ListReceivedPoint(lLogX, lLogY);
            // Stored in every mode, also when no run is going on.
            points.Append(lPenX, lPenY);
            PointStored();
            if (HandlePoint(lStrokeEnd)) {
                break;
            }
            if (tablet_.PadlinkGetDataCnt() == 0) {
                break;
            }
        }
    }

    if ((lStrokeEnd == 1 || n < 0) && entryMode != kMesNone) {
        host_.PlayCaptureSound();
    }
}

bool MeasureEngine::HandlePoint(std::int32_t strokeEnd) {
    switch (lMesMode) {
        case kMesCalibration:
            if (points.lPointCount >= 2) {
                EndCalibration();
                return true;
            }
            return false;
        case kMesTwoPoint:
            if (points.lPointCount >= 2) {
                PutTwoPointDistance();
                return true;
            }
            return false;
        case kMesTraced:
            if (strokeEnd == 1) {
                CalcLengthArea();
            }
            return false;
        case kMesCoordinate:
            PutCoordinate();
            return false;
        default:
            // No run, or picked points that wait for F12 or the side switch.
            return false;
    }
}

void MeasureEngine::EndCalibration() {
    lMesMode = lMesModeSave;
    if (vertical_) {
        // Raw counts: the factor is what the vertical distance lacks of
        // the reference length's counts across.
        const MaybeValue factor =
            VerticalFactorFromPicks(points.lPointX[0], points.lPointY[0], points.lPointX[1],
                                    points.lPointY[1], host_.TabletCountsText());
        if (factor) {
            host_.SetVerticalFactor(*factor);
        } else {
            host_.VerticalCalibrationFailed();
        }
    } else if (const MaybeValue d =
                   CalcDistance(points.lPointX[0], points.lPointY[0], points.lPointX[1],
                                points.lPointY[1], false, host_)) {
        // The distance in tablet counts; it only fails when a coordinate
        // difference overflows, and then the box keeps its text.
        host_.SetTabletCountsText(FormatDecimals(*d, 2));
    }
    vertical_ = false;
    host_.SetCalibrationNoticeVisible(false);
    calibrating_ = false;
    // The calibration points belong to no figure; left in the store they
    // would become the first points of the run's next one.
    points.lPointCount = 0;
    // The calibration switched the library to picks; the run it returns to
    // needs its own input back.
    if (lMesMode != kMesNone) {
        tablet_.PadlinkSetMode(lMesMode == kMesTraced ? 1 : 0);
    }
}

void MeasureEngine::PutTwoPointDistance() {
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
    switch (host_.TwoPointAxis()) {
        case 1:  // X only
            x1 = points.lPointX[0];
            x2 = points.lPointX[1];
            break;
        case 2:  // Y only
            y1 = points.lPointY[0];
            y2 = points.lPointY[1];
            break;
        default:  // whole distance, also with no selection
            x1 = points.lPointX[0];
            y1 = points.lPointY[0];
            x2 = points.lPointX[1];
            y2 = points.lPointY[1];
            break;
    }
    const MaybeValue d = CalcDistance(x1, y1, x2, y2, true, host_);
    if (d) {
        host_.BeginValue();
        host_.MeasuredFrom(points);
        host_.PutValue(*d, true);
        host_.EndValue();
    }
    // The two picks are used up whether or not a value could be had (an
    // unusable scale): kept, they would pair with the next pick.
    points.lPointCount = 0;
}

void MeasureEngine::PutCoordinate() {
    if (host_.NextPointIsOrigin()) {
        host_.SetNextPointIsOrigin(false);
        lOrgX = points.lPointX[0];
        lOrgY = points.lPointY[0];
    }
    // Differences from the origin in tablet counts, 32-bit; one that
    // overflows (or whose inversion does) cannot be had.
    std::optional<std::int32_t> dx = Difference(points.lPointX[0], lOrgX);
    if (host_.InvertX()) {
        dx = Negated(dx);
    }
    std::optional<std::int32_t> dy = Difference(points.lPointY[0], lOrgY);
    if (host_.InvertY()) {
        dy = Negated(dy);
    }

    // A value that cannot be had is not written; the cursor still moves so
    // that X and Y keep their columns.
    host_.BeginValue();
    host_.MeasuredFrom(points);
    if (dx) {
        if (const MaybeValue x = ScaleToReal(static_cast<double>(*dx), host_)) {
            host_.PutValue(*x, false);
        }
    }
    host_.MoveCursor(+1, 0, 0);
    if (dy) {
        if (const MaybeValue y = ScaleYToReal(static_cast<double>(*dy), host_)) {
            host_.PutValue(*y, false);
        }
    }
    host_.MoveCursor(-1, +1, 2);
    host_.EndValue();
    // Each pick is a reading of its own: one whose values could not be had
    // must not stay as point 0 for the next pick.
    points.lPointCount = 0;
}

void MeasureEngine::CalcLengthArea() {
    arcArmed_ = false;
    ::CalcLengthArea(points, bLengthMode, host_, [this](double value) { FigureFinished(value); });
}

void MeasureEngine::PutFinished(double value, bool fromFigure) {
    host_.BeginValue();
    // A sum's total comes from its figures, not from the points of one in
    // progress.
    if (fromFigure)
        host_.MeasuredFrom(points);
    else
        host_.MeasuredSum();
    host_.PutValue(value, true);
    host_.EndValue();
}

void MeasureEngine::FigureFinished(double value) {
    repeats_.SetWanted(host_.RepeatCount());
    if (repeats_.Wanted() > 1 || !repeats_.Taken().empty()) {
        const std::optional<double> mean = repeats_.Add(value, bLengthMode);
        if (!mean) return;
        value = *mean;
        meanShown_ = true;
    }
    if (sum_.On()) {
        if (sum_.Add(value, bLengthMode)) {
            host_.SummedFrom(points, sum_.Entries().size() - 1, sum_.Entries().back().minus);
            return;
        }
        // Never lost: a figure the sum cannot take goes into the cell.
        note_ = sum_.Lengths() ? QStringLiteral("合算は長さだけのため、この面積は表に入れました")
                               : QStringLiteral("合算は面積だけのため、この長さは表に入れました");
    }
    PutFinished(value, true);
}

void MeasureEngine::PointStored() {
    const std::int32_t i = points.lPointCount - 1;
    note_.clear();
    meanShown_ = false;
    if (arcArmed_) {
        arcArmed_ = false;
        if (lMesMode == kMesPicked && i >= 1) points.arcMiddles.push_back(i);
        return;
    }
    if (i < 2 || points.arcMiddles.empty() || points.arcMiddles.back() != i - 1) return;
    const auto at = [this](std::int32_t k) {
        const auto index = static_cast<std::size_t>(k);
        return FigurePoint{points.lPointX[index], points.lPointY[index]};
    };
    if (!CircleArc::Through(at(i - 2), at(i - 1), at(i))) {
        points.arcMiddles.pop_back();
        note_ = QStringLiteral("3点が一直線のため、円弧でなく直線として測ります");
    }
}

void MeasureEngine::ArcKey() {
    note_.clear();
    if (lMesMode != kMesPicked) {
        note_ = QStringLiteral("円弧（F7）は「多点の面積」と「多点の距離」で使えます");
        return;
    }
    const std::int32_t n = points.lPointCount;
    if (arcArmed_) {
        arcArmed_ = false;
        return;
    }
    if (n >= 2 && !points.arcMiddles.empty() && points.arcMiddles.back() == n - 1) {
        // The arc already has its middle; its end is the next pick.
        return;
    }
    if (n == 0) {
        note_ = QStringLiteral("円弧：始点をクリックしてから F7 を押してください");
        return;
    }
    arcArmed_ = true;
}

void MeasureEngine::SumKey(bool minus) {
    note_.clear();
    if (!minus && sum_.On()) {
        if (sum_.HoldsFigures()) PutFinished(sum_.Total(), false);
        sum_.Clear();
        return;
    }
    if (!sum_.On()) {
        if (lMesMode != kMesPicked && lMesMode != kMesTraced) {
            note_ = QStringLiteral(
                "合算（F8）は面積と長さの計測だけです。二点間の距離と座標点は"
                "合算しません");
            return;
        }
        sum_.Start(bLengthMode);
    }
    if (minus) sum_.ToggleMinusNext();
}

void MeasureEngine::DropSum() { sum_.Clear(); }

void MeasureEngine::DescribeFunctions(Figure& figure, int decimals) const {
    const auto number = [decimals](double v) { return FormatDecimals(v, decimals); };
    QStringList parts;
    const std::int32_t n = points.lPointCount;
    if (arcArmed_) {
        parts << QStringLiteral("円弧：弧の上の点をクリック（F7 で取消）");
    } else if (lMesMode == kMesPicked && n >= 2 && !points.arcMiddles.empty() &&
               points.arcMiddles.back() == n - 1) {
        parts << QStringLiteral("円弧：弧の終点をクリック");
    }
    if (sum_.On()) {
        parts << QStringLiteral("合算中") + kGap +
                     QStringLiteral("図形 %1").arg(sum_.Entries().size()) + kGap +
                     QStringLiteral("合計 ") + number(sum_.Total());
        if (sum_.MinusNext()) parts << QStringLiteral("次の図形を差し引く");
        int k = 0;
        for (const FigureSum::Entry& e : sum_.Entries())
            figure.listing << QStringLiteral("%1　%2%3")
                                  .arg(++k)
                                  .arg(e.minus ? QStringLiteral("-") : QStringLiteral("+"))
                                  .arg(number(e.value));
    }
    const std::vector<double>& taken = repeats_.Taken();
    const std::vector<double>& shown = meanShown_ ? repeats_.LastSet() : taken;
    if (!shown.empty()) {
        QStringList values;
        for (std::size_t k = 0; k < shown.size(); ++k)
            values << QStringLiteral("%1 回目 %2").arg(k + 1).arg(number(shown[k]));
        if (!meanShown_) values << QStringLiteral("…");
        figure.listing << values.join(kGap);
    }
    if (meanShown_ && !shown.empty()) {
        double mean = 0.0;
        for (double v : shown) mean += v;
        mean /= static_cast<double>(shown.size());
        QString text = QStringLiteral("平均 ") + number(mean);
        if (const std::optional<double> spread = repeats_.Spread()) {
            text += kGap + QStringLiteral("ばらつき ") + FormatDecimals(*spread, 2) +
                    QStringLiteral(" %");
            figure.alert = *spread > kSpreadLimit;
        }
        parts << text;
    } else if (!taken.empty()) {
        parts << QStringLiteral("%1 回のうち %2 回目まで").arg(repeats_.Wanted()).arg(taken.size());
    }
    if (!note_.isEmpty()) parts << note_;
    figure.summing = sum_.On();
    if (!parts.isEmpty()) figure.status += kGap + parts.join(kGap);
}

void MeasureEngine::Reset() {
    lMesMode = kMesNone;
    lMesModeSave = kMesNone;
    bLengthMode = false;
    points = PointStore{};
    lOrgX = 0;
    lOrgY = 0;
    calibrating_ = false;
    vertical_ = false;
    sum_.Clear();
    repeats_.Clear();
    arcArmed_ = false;
    note_.clear();
    meanShown_ = false;
}

void MeasureEngine::DropLastPoint() {
    if (points.lPointCount > 0) {
        --points.lPointCount;
    }
    // A dropped arc's middle is an arc no more; a dropped end leaves its
    // middle waiting for a new one.
    while (!points.arcMiddles.empty() && points.arcMiddles.back() >= points.lPointCount)
        points.arcMiddles.pop_back();
    if (points.lPointCount == 0) arcArmed_ = false;
}
