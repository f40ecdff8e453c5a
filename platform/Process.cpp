#include "platform/Process.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Files.h"

extern char** environ;

namespace {

// The program in `folder` when it is an executable there; else its bare name, for the PATH search.
std::string programPath(const UnicodeString& folder, const UnicodeString& program)
{
    if (!folder.IsEmpty()) {
        const std::string local = (folder + PathDelim + program).ToPathBytes();
        if (access(local.c_str(), X_OK) == 0)
            return local;
    }
    return program.ToPathBytes();
}

// Owns the file actions of one spawn.
struct FileActions {
    posix_spawn_file_actions_t actions;
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
};

}  // namespace

bool RunProgram(const UnicodeString& folder, const UnicodeString& program, const std::vector<UnicodeString>& args,
                const UnicodeString& captureFile)
{
    const std::string path = programPath(folder, program);
    std::vector<std::string> argStrings{path};
    for (const UnicodeString& arg : args)
        argStrings.push_back(arg.ToPathBytes());
    std::vector<char*> argv;
    for (std::string& arg : argStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    // The capture file is opened here, before the start, so that it exists even when the program never runs.
    int capture = -1;
    if (!captureFile.IsEmpty())
        capture = open(captureFile.ToPathBytes().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);

    FileActions fa;
    posix_spawn_file_actions_addopen(&fa.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (capture >= 0) {
        posix_spawn_file_actions_adddup2(&fa.actions, capture, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&fa.actions, capture, STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&fa.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&fa.actions, STDOUT_FILENO, STDERR_FILENO);
    }
    const std::string workFolder = folder.ToPathBytes();
    if (!workFolder.empty())
        posix_spawn_file_actions_addchdir_np(&fa.actions, workFolder.c_str());

    pid_t pid = 0;
    const bool local = path.find('/') != std::string::npos;
    const int failed = local ? posix_spawn(&pid, path.c_str(), &fa.actions, nullptr, argv.data(), environ)
                             : posix_spawnp(&pid, path.c_str(), &fa.actions, nullptr, argv.data(), environ);
    if (capture >= 0)
        close(capture);
    if (failed != 0)
        return false;

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}
