#pragma once

#include "engine/edit_kind.h"
#include "engine/name_engine.h"
#include "state/run_state.h"
#include "settings/folder_history.h"
#include "settings/name_history.h"
#include "settings/settings_store.h"
#include "targets/target_set.h"

namespace renomiq {

struct Platform;

// The program-wide state, one object owned by main (or by a test) and handed
// to every part that needs it.
struct AppState {
    explicit AppState(Platform &platform);

    Platform &platform;
    SettingsStore settings;
    NameHistory names;
    FolderHistory folders;
    NameEngine engine;
    TargetSet targets;
    RunState run;
    EditKind editKind = EditKind::Browsefile;
    // Set when the program started straight into the editor window.
    bool handOffMode = false;
};

} // namespace renomiq
