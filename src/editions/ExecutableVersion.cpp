#include "editions/ExecutableVersion.h"

#ifdef _WIN32
#include <windows.h>

#include <QDir>
#include <QVarLengthArray>
#endif

QString ExecutableVersion(const QString& path) {
#ifdef _WIN32
    const QString native = QDir::toNativeSeparators(path);
    const auto* file = reinterpret_cast<const wchar_t*>(native.utf16());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0) return {};
    QVarLengthArray<char, 4096> data(static_cast<qsizetype>(size));
    if (!GetFileVersionInfoW(file, 0, size, data.data())) return {};
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", &block, &length) || block == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    if (info->dwSignature != 0xFEEF04BDu) return {};
    // The third field (build) stays 0 in this program's numbering; the
    // title shows the fourth as the revision.
    return QStringLiteral("%1.%2.%3")
        .arg(HIWORD(info->dwFileVersionMS))
        .arg(LOWORD(info->dwFileVersionMS))
        .arg(LOWORD(info->dwFileVersionLS));
#else
    Q_UNUSED(path);
    return {};
#endif
}
