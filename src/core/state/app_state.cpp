#include "state/app_state.h"

#include "platform/platform.h"

namespace renomiq {

namespace {

SettingsStore &withFolders(SettingsStore &settings)
{
    settings.fixFolders();
    return settings;
}

} // namespace

AppState::AppState(Platform &p)
    : platform(p)
    , settings(p.registry, p.fileSystem)
    , names(p.fileSystem, withFolders(settings).dataFolder(), settings.options.nameListMax)
    , folders(settings)
    , engine(p.fileSystem, p.prompter, p.clock)
{
}

} // namespace renomiq
