#pragma once

#include <QChar>
#include <QString>

// Typed-character filter for number entry. Kind 0 lets everything through;
// kinds 1 to 5 admit digits, ".", control codes and double-byte characters,
// plus a few extras per kind ("-" for 1 and 3, "/" for 4, "/", ":" and " "
// for 5); any other kind value admits just the common set. Returns the code to
// keep, or 0 to drop the key.
int FilterKey(int code, int kind);

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
QString FilterText(const QString& text, int kind);
