#pragma once

#include "ui/WindowLayer.h"

namespace kolvane {

// The Windows registry as the configuration store: roots are the predefined keys
// (HKEY_LOCAL_MACHINE is ConfigStore::LocalMachine), handles are the opened HKEYs.
class RegistryConfigStore : public ConfigStore {
public:
    std::optional<quintptr> openKey(quint32 root, const QString& keyName, quint32 access) override;
    bool queryValue(quintptr key, const QString& valueName, int bufferChars, quint32& type, QString& buffer,
                    quint32& number) override;
    void closeKey(quintptr key) override;
};

}  // namespace kolvane
