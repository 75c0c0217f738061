#include "files/FileReason.h"

#include <cerrno>
#include <cstring>

namespace {

const QString kNoPermission = QStringLiteral("書き込む権限がありません");
const QString kReadOnly = QStringLiteral("読み取り専用の場所です");
const QString kDiskFull = QStringLiteral("ディスクの空きが足りません");
const QString kNoFolder = QStringLiteral("フォルダーがありません");
const QString kNameTooLong = QStringLiteral("ファイルの名前が長すぎます");

}  // namespace

QString FileReason(int error, const QString& systemText) {
    switch (error) {
        case EACCES:
        case EPERM:
            return kNoPermission;
        case EROFS:
            return kReadOnly;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return kDiskFull;
        case ENOENT:
        case ENOTDIR:
            return kNoFolder;
        case ENAMETOOLONG:
            return kNameTooLong;
        case 0:
            return systemText;
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString WindowsFileReason(unsigned long error, const QString& systemText) {
    // Numbers of winerror.h, spelt out so that the table builds everywhere.
    switch (error) {
        case 5:  // ERROR_ACCESS_DENIED
            return kNoPermission;
        case 19:  // ERROR_WRITE_PROTECT
            return kReadOnly;
        case 39:   // ERROR_HANDLE_DISK_FULL
        case 112:  // ERROR_DISK_FULL
            return kDiskFull;
        case 3:  // ERROR_PATH_NOT_FOUND
            return kNoFolder;
        case 206:  // ERROR_FILENAME_EXCED_RANGE
            return kNameTooLong;
        default:
            return systemText;
    }
}
