#pragma once

#include <QString>

// Why a file could not be written, in the operator's language, from
// the system's error number (errno on POSIX systems, the C runtime's on
// Windows): the common causes in Japanese, anything else in the system's own
// words as the last resort. `systemText` is used when the number is 0 (not
// known) and none of the common causes applies.
QString FileReason(int error, const QString& systemText = QString());

// The same from a Windows error code (GetLastError); other systems never
// call it.
QString WindowsFileReason(unsigned long error, const QString& systemText);
