/* The floor for a careful renamer: readdir, lstat, an existence test and
 * rename(2), all relative to the open folder (no path walk per call).
 *   floor DIR FROM TO        rename every entry starting with FROM
 *   floor --tree DIR FROM TO the same in DIR and every folder below it, one
 *                            folder after another (subfolders first)
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

static long renameIn(DIR *dir, const char *from, const char *to, int tree);

/* One folder, opened relative to its parent; its subfolders first. */
static long renameTree(int parent, const char *name, const char *from, const char *to)
{
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0;
    DIR *dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return 0;
    }
    return renameIn(dir, from, to, 1);
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--pairs") == 0)
        return pairs(argv[2]);
    int tree = argc == 5 && strcmp(argv[1], "--tree") == 0;
    if (argc != 4 && !tree)
        return 2;
    DIR *dir = opendir(argv[1 + tree]);
    if (!dir)
        return 1;
    printf("%ld\n", renameIn(dir, argv[2 + tree], argv[3 + tree], tree));
    return 0;
}

static long renameIn(DIR *dir, const char *from, const char *to, int tree)
{
    const size_t fromLength = strlen(from);
    const int fd = dirfd(dir);
    long renamed = 0;
    /* Collect first, like any renamer that must not meet its own results. */
    size_t count = 0, capacity = 1024;
    char **names = malloc(capacity * sizeof *names);
    struct dirent *d;
    while ((d = readdir(dir))) {
        if (tree && d->d_type == DT_DIR && strcmp(d->d_name, ".") != 0 && strcmp(d->d_name, "..") != 0) {
            renamed += renameTree(fd, d->d_name, from, to);
            continue;
        }
        if (strncmp(d->d_name, from, fromLength) != 0)
            continue;
        struct stat st;
        if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (count == capacity)
            names = realloc(names, (capacity *= 2) * sizeof *names);
        names[count++] = strdup(d->d_name);
    }
    char target[4096];
    for (size_t i = 0; i < count; ++i) {
        snprintf(target, sizeof target, "%s%s", to, names[i] + fromLength);
        struct stat st;
        if (fstatat(fd, target, &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
            continue; /* never replace */
        renamed += renameat(fd, names[i], fd, target) == 0;
    }
    for (size_t i = 0; i < count; ++i)
        free(names[i]);
    free(names);
    closedir(dir);
    return renamed;
}
