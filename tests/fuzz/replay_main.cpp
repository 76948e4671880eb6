// Runs a fuzz target without libFuzzer: every file named on the command line
// (or in a folder named there), then a fixed number of pseudo-random inputs
// (20000, or N with --random=N for targets that go to the disk).
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

static void runFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
}

int main(int argc, char **argv)
{
    int files = 0;
    int randomInputs = 20000;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--random=", 0) == 0) {
            randomInputs = std::stoi(argument.substr(9));
            continue;
        }
        struct stat st {};
        if (::stat(argv[i], &st) == 0 && S_ISDIR(st.st_mode)) {
            if (DIR *dir = ::opendir(argv[i])) {
                while (const dirent *d = ::readdir(dir)) {
                    if (d->d_name[0] != '.') {
                        runFile(std::string(argv[i]) + "/" + d->d_name);
                        ++files;
                    }
                }
                ::closedir(dir);
            }
        } else {
            runFile(argv[i]);
            ++files;
        }
    }
    std::mt19937 random(12345);
    for (int n = 0; n < randomInputs; ++n) {
        std::vector<std::uint8_t> input(random() % 600);
        for (auto &b : input)
            b = static_cast<std::uint8_t>(random());
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("replayed %d corpus files and %d random inputs\n", files, randomInputs);
    return 0;
}
