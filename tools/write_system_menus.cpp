// Writes the file managers' "Renomiq" entries that the package installs for
// every user (Dolphin, Nemo) under a share folder, calling the given sender.
#include "platform/file_manager_menus.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: write_system_menus SHARE_FOLDER SENDER_PATH\n", stderr);
        return 2;
    }
    const renomiq::FileManagerMenus menus(argv[2], {});
    const renomiq::Status written = menus.writeSystemEntries(argv[1]);
    if (!written) {
        std::fprintf(stderr, "write_system_menus: %s\n", written.error().message.c_str());
        return 1;
    }
    return 0;
}
