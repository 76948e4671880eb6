#include "cli/usage.h"

namespace renomiq {

const char kCliUsage[] =
    "Usage:\n"
    "  renomiq-cli KIND [FIELD=VALUE]... [--scope N] [--preview] [--yes] TARGET...\n"
    "  renomiq-cli Savealls|Savesomes [FIELD=VALUE]... --output FILE [--yes] TARGET...\n"
    "  renomiq-cli undo [--yes]\n"
    "\n"
    "Renames many files and folders at once, with the engine, checks, undo log,\n"
    "history lists and settings of the Renomiq program.\n"
    "\n"
    "KIND       Removpart, Replapart, Addnewnum, Changnew or Changexten.\n"
    "FIELD      a field of the edit request, e.g. oldString=IMG_ newString=Photo_\n"
    "           atHead=true headText=$$$_ startNumber=5.\n"
    "TARGET     one folder (its content chosen by --scope) or one or more files;\n"
    "           host paths (/home/ann/x) and C:\\home\\ann\\x alike.\n"
    "--scope N  0 the folder's files (default), 1 all layers, 2 only subfolders,\n"
    "           3 the folder itself.\n"
    "--preview  list old and new names, rename nothing.\n"
    "--yes      answer OK/Yes to every question.\n"
    "--output   the text file that Savealls/Savesomes write.\n"
    "\n"
    "Exit status: 0 done, 1 refused or nothing renamed, 2 usage error.\n";

} // namespace renomiq
