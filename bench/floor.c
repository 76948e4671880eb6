/* The floor for a careful renamer: readdir, lstat, an existence test and
 * rename(2), all relative to the open folder (no path walk per call).
 *   floor DIR FROM TO        rename every entry starting with FROM
 *   floor --tree DIR FROM TO the same in DIR and every folder below it, one
 *                            folder after another (subfolders first)
 *   floor --tree-threads N DIR FROM TO
 *                            the same with N threads, DIR's subfolders dealt
 *                            out among them in turn: what the machine allows
 *   floor --pairs LOGFILE    rename line 2k+1 back to line 2k+2 (CR LF lines,
 *                            full paths), the bare loop an undo is measured by */
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
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

struct Share {
    int parent;
    char **folders;
    size_t count, first, step;
    const char *from, *to;
    long renamed;
};

static void *renameShare(void *arg)
{
    struct Share *share = arg;
    for (size_t i = share->first; i < share->count; i += share->step)
        share->renamed += renameTree(share->parent, share->folders[i], share->from, share->to);
    return NULL;
}

/* DIR's subfolders (and what they hold) in N threads, then DIR's own entries. */
static int threaded(int threads, const char *root, const char *from, const char *to)
{
    DIR *dir = opendir(root);
    if (!dir || threads < 1 || threads > 64)
        return 1;
    size_t count = 0, capacity = 1024;
    char **folders = malloc(capacity * sizeof *folders);
    struct dirent *d;
    while ((d = readdir(dir))) {
        if (d->d_type != DT_DIR || strcmp(d->d_name, ".") == 0 || strcmp(d->d_name, "..") == 0)
            continue;
        if (count == capacity)
            folders = realloc(folders, (capacity *= 2) * sizeof *folders);
        folders[count++] = strdup(d->d_name);
    }
    pthread_t ids[64];
    struct Share shares[64];
    for (int t = 0; t < threads; ++t) {
        shares[t] = (struct Share){dirfd(dir), folders, count, (size_t)t, (size_t)threads, from, to, 0};
        pthread_create(&ids[t], NULL, renameShare, &shares[t]);
    }
    long renamed = 0;
    for (int t = 0; t < threads; ++t) {
        pthread_join(ids[t], NULL);
        renamed += shares[t].renamed;
    }
    rewinddir(dir);
    renamed += renameIn(dir, from, to, 0);
    for (size_t i = 0; i < count; ++i)
        free(folders[i]);
    free(folders);
    printf("%ld\n", renamed);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--pairs") == 0)
        return pairs(argv[2]);
    if (argc == 6 && strcmp(argv[1], "--tree-threads") == 0)
        return threaded(atoi(argv[2]), argv[3], argv[4], argv[5]);
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
