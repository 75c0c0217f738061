#pragma once

#include <QLocale>

// Makes a locale the default for as long as it lives (one test, one
// fixture) and puts the previous one back, also when the test fails half-way.
// By default Japanese: the systems the program is used on, where the scale
// texts are read and the calibration writes "######.00".
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale = QLocale(QLocale::Japanese, QLocale::Japan)) {
        QLocale::setDefault(locale);
    }
    ~DefaultLocale() { QLocale::setDefault(saved_); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale saved_;
};
