/* The floor for a careful renamer: readdir, lstat, an existence test and
 * rename(2), all relative to the open folder (no path walk per call).
 *   floor DIR FROM TO        rename every entry starting with FROM
 *   floor --pairs LOGFILE    rename line 2k+1 back to line 2k+2 (CR LF lines,
 *                            full paths), the bare loop an undo is measured by */
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int pairs(const char *log)
{
    FILE *f = fopen(log, "rb");
    if (!f)
        return 1;
    char current[4096], former[4096];
    long renamed = 0;
    while (fgets(current, sizeof current, f) && fgets(former, sizeof former, f)) {
        current[strcspn(current, "\r\n")] = 0;
        former[strcspn(former, "\r\n")] = 0;
        renamed += rename(current, former) == 0;
    }
    fclose(f);
    printf("%ld\n", renamed);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--pairs") == 0)
        return pairs(argv[2]);
    if (argc != 4)
        return 2;
    const char *from = argv[2], *to = argv[3];
    const size_t fromLength = strlen(from);
    DIR *dir = opendir(argv[1]);
    if (!dir)
        return 1;
    const int fd = dirfd(dir);
    /* Collect first, like any renamer that must not meet its own results. */
    size_t count = 0, capacity = 1024;
    char **names = malloc(capacity * sizeof *names);
    struct dirent *d;
    while ((d = readdir(dir))) {
        if (strncmp(d->d_name, from, fromLength) != 0)
            continue;
        struct stat st;
        if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (count == capacity)
            names = realloc(names, (capacity *= 2) * sizeof *names);
        names[count++] = strdup(d->d_name);
    }
    long renamed = 0;
    char target[4096];
    for (size_t i = 0; i < count; ++i) {
        snprintf(target, sizeof target, "%s%s", to, names[i] + fromLength);
        struct stat st;
        if (fstatat(fd, target, &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
            continue; /* never replace */
        renamed += renameat(fd, names[i], fd, target) == 0;
    }
    closedir(dir);
    printf("%ld\n", renamed);
    return 0;
}
