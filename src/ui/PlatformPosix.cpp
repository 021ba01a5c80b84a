#include "ui/Platform.h"

#include <pwd.h>
#include <unistd.h>

namespace kolvane::platform {

namespace {

// Linux has no machine-wide configuration store of the kind the About box looks in, so
// every key is missing and the About box reports the tool as unavailable.
class NoConfigStore : public ConfigStore {
public:
    std::optional<quintptr> openKey(quint32, const QString&, quint32) override { return std::nullopt; }
    bool queryValue(quintptr, const QString&, int, quint32&, QString&, quint32&) override { return false; }
    void closeKey(quintptr) override {}
};

}  // namespace

QString loginName()
{
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::fromLocal8Bit(qgetenv("USER"));
}

std::unique_ptr<ConfigStore> machineConfigStore()
{
    return std::make_unique<NoConfigStore>();
}

std::optional<qint32> setTopMost(QWidget*, bool)
{
    // The window manager keeps the band: Qt's flag asks it.
    return std::nullopt;
}

std::optional<QMargins> frameMargins(QWidget*)
{
    return std::nullopt;
}

}  // namespace kolvane::platform
