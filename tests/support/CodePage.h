#pragma once

#include <QByteArray>
#include <QString>

// The code page the program's text files use: the ANSI code page on Windows
// (932 on a Japanese system, 1252 on a Western one), UTF-8 (65001) elsewhere.
unsigned SystemCodePage();

// Whether every character of text survives the trip through that code page.
bool SystemCodePageHolds(const QString& text);

// The code page a test run asks for through KALVOR_EXPECT_ACP (the Japanese
// runs under Wine ask for 932); 0 when it asks for none. Tests that need a
// code page skip without it, but fail when the run asked for it and did not
// get it, so that a missing locale cannot pass as a skip.
unsigned ExpectedCodePage();
