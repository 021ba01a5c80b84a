#include "ui/RegistryConfigStore.h"

#include <qt_windows.h>

#include <vector>

namespace kolvane {

namespace {

// The predefined keys are small negative numbers held in a pointer: 0x80000002 is
// sign-extended to 0xFFFFFFFF80000002 on 64-bit Windows, as the HKEY_* macros do.
HKEY predefinedKey(quint32 root)
{
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

}  // namespace

std::optional<quintptr> RegistryConfigStore::openKey(quint32 root, const QString& keyName, quint32 access)
{
    HKEY key = nullptr;
    const std::wstring name = keyName.toStdWString();
    if (RegOpenKeyExW(predefinedKey(root), name.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return reinterpret_cast<quintptr>(key);
}

bool RegistryConfigStore::queryValue(quintptr key, const QString& valueName, int bufferChars, quint32& type,
                                     QString& buffer, quint32& number)
{
    if (bufferChars <= 0)
        return false;
    // The buffer the caller announced, in characters of two bytes: a longer value does not
    // fit (ERROR_MORE_DATA) and fails like a missing one.
    std::vector<wchar_t> data(std::size_t(bufferChars), L'\0');
    DWORD bytes = DWORD(data.size() * sizeof(wchar_t));
    DWORD valueType = REG_NONE;
    const std::wstring name = valueName.toStdWString();
    if (RegQueryValueExW(reinterpret_cast<HKEY>(key), name.c_str(), nullptr, &valueType,
                         reinterpret_cast<BYTE*>(data.data()), &bytes)
        != ERROR_SUCCESS)
        return false;
    type = valueType;
    if (valueType == REG_SZ) {
        // The whole buffer, terminator and zeros after it included, as the caller expects.
        buffer = QString::fromWCharArray(data.data(), qsizetype(data.size()));
    } else if (valueType == REG_DWORD && bytes == sizeof(DWORD)) {
        DWORD value = 0;
        memcpy(&value, data.data(), sizeof value);
        number = value;
    }
    return true;
}

void RegistryConfigStore::closeKey(quintptr key)
{
    RegCloseKey(reinterpret_cast<HKEY>(key));
}

}  // namespace kolvane
