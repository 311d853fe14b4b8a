// Where every benchmark runs: its build's game folder (game.ini and Data/ with the generated files),
// with a user folder of its own, made fresh and removed at exit, so that a run reads no player's
// files and writes nothing into the folder it was started from.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct BenchFolders {
    std::string user;

    BenchFolders() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora_bench_XXXXXX").string();
        if (!mkdtemp(pattern.data()) || chdir(VELMORA_GAME_DIR) != 0) abort();
        user = pattern;
        setenv("XDG_DATA_HOME", user.c_str(), 1);
    }
    ~BenchFolders() {
        std::error_code error;
        std::filesystem::remove_all(user, error);
    }
};

const BenchFolders gFolders;

}  // namespace
