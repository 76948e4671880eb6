#include "cli/usage.h"

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(renomiq::kCliUsage, stdout);
            return 0;
        }
    }
    std::fputs(renomiq::kCliUsage, stderr);
    return 2;
}
