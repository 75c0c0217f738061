#include <gtest/gtest.h>
#include <windows.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "editions/ExecutableVersion.h"
#include "QStringPrinter.h"

namespace {

// A text of the version resource's Japanese string table, empty when absent.
QString ResourceText(const QString& path, const wchar_t* name) {
    const QString native = QDir::toNativeSeparators(path);
    const auto* file = reinterpret_cast<const wchar_t*>(native.utf16());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0) return {};
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(file, 0, size, data.data())) return {};
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    void* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), key.c_str(), &text, &length) || length == 0) return {};
    return QString::fromWCharArray(static_cast<const wchar_t*>(text), length - 1);
}

struct Edition {
    const char* path;
    const char* title;     // as the window title shows it
    const char* resource;  // file and product version as the editions number them
    const char* name;
};

}  // namespace

TEST(ExecutableVersion, each_edition_carries_and_shows_its_own_version) {
    const std::vector<Edition> editions = {
        {KALVOR_EXE, "1.1.1", "1.01.0001", "Kalvor"},
        {KALVOR_REDUCED_EXE, "1.0.14", "1.00.0014", "Kalvor080125"},
    };
    for (const Edition& e : editions) {
        const QString path = QString::fromUtf8(e.path);
        EXPECT_EQ(ExecutableVersion(path), QString::fromUtf8(e.title)) << e.path;
        EXPECT_EQ(ResourceText(path, L"FileVersion"), QString::fromUtf8(e.resource));
        EXPECT_EQ(ResourceText(path, L"ProductVersion"), QString::fromUtf8(e.resource));
        EXPECT_EQ(ResourceText(path, L"OriginalFilename"), QString::fromUtf8(e.name) + ".exe");
        EXPECT_EQ(ResourceText(path, L"FileDescription"),
                  QString::fromUtf8("Kalvor ／ タブレット計測システム"));
    }
}

TEST(ExecutableVersion, file_without_a_version_resource_gives_none) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("plain.exe"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("MZ not really");
    file.close();
    EXPECT_EQ(ExecutableVersion(text), QString());
    EXPECT_EQ(ExecutableVersion(dir.filePath(QStringLiteral("absent.exe"))), QString());
}
