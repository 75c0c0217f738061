#pragma once

#include <QChar>
#include <QString>

// What a filtered box admits, by the design's numbers. Anything lets every
// key through; Number, the kind of every number box and of the grid's cell
// editor, admits digits, ".", control codes and double-byte characters. The
// design's kinds no box uses admit the same plus a few extras ("-" for 1 and
// 3, "/" for 4, "/", ":" and " " for 5); any other value just that common set.
enum class FilterKind : int { Anything = 0, Number = 2 };

// Typed-character filter for number entry: the code to keep, or 0 to drop
// the key.
int FilterKey(int code, FilterKind kind);

// The character code a key press carries: a character that takes one byte in
// the Japanese ANSI code page (ASCII and half-width katakana) has its
// positive code; any other character counts as double-byte and has a
// negative code.
int CharCode(QChar ch);
// The character for a positive code; for a negative code, the original
// character must be kept by the caller.
QChar CodeChar(int code);

// Text that enters a filtered box by any way other than a typed key (paste,
// drop, input method) is filtered character by character: what FilterKey
// would drop is dropped.
QString FilterText(const QString& text, FilterKind kind);
