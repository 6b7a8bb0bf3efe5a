#include "batch/BatchProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace korvan::test {

namespace {

[[noreturn]] void execChild(const std::vector<std::string>& arguments, const ChildOptions& options, int outFd,
                            const std::string& terminal, int errFd)
{
    const int input = open("/dev/null", O_RDONLY);
    dup2(input, 0);
    dup2(outFd, 1);
    if (!terminal.empty()) {
        const int slave = open(terminal.c_str(), O_RDWR | O_NOCTTY);
        if (slave < 0)
            _exit(120);
        dup2(slave, 2);
    } else {
        dup2(errFd, 2);
    }
    if (options.fileSizeLimit >= 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.user >= 0 &&
        (setgid(static_cast<gid_t>(options.user)) != 0 || setuid(static_cast<uid_t>(options.user)) != 0))
        _exit(121);
    std::vector<char*> argv;
    std::string program = batchProgram();
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(122);
}

} // namespace

BatchChild::BatchChild(const std::vector<std::string>& arguments, const ChildOptions& options)
{
    int out[2];
    int err[2] = {-1, -1};
    if (pipe(out) != 0)
        return;
    std::string terminal;
    if (options.errorOnTerminal) {
        errFd_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (errFd_ < 0 || grantpt(errFd_) != 0 || unlockpt(errFd_) != 0)
            return;
        terminal = ptsname(errFd_);
    } else {
        if (pipe(err) != 0)
            return;
        errFd_ = err[0];
    }
    pid_ = fork();
    if (pid_ == 0) {
        close(out[0]);
        if (err[0] >= 0)
            close(err[0]);
        execChild(arguments, options, out[1], terminal, err[1]);
    }
    close(out[1]);
    if (err[1] >= 0)
        close(err[1]);
    outFd_ = out[0];
}

BatchChild::~BatchChild()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0)
        close(outFd_);
    if (errFd_ >= 0)
        close(errFd_);
}

bool BatchChild::readSome(int milliseconds)
{
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (outFd_ < 0 && errFd_ < 0)
        return false;
    if (poll(fds, 2, milliseconds) <= 0)
        return true;
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0)
            continue;
        const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
        if (got > 0) {
            (i == 0 ? out_ : err_).append(buffer, static_cast<size_t>(got));
            continue;
        }
        // The end of a pipe, or EIO once a terminal has no writer left.
        close(fds[i].fd);
        (i == 0 ? outFd_ : errFd_) = -1;
    }
    return outFd_ >= 0 || errFd_ >= 0;
}

bool BatchChild::readUntil(const std::function<bool(const std::string&)>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    // Asked often: a condition on the database (a lock taken) may hold for
    // a few tens of milliseconds only.
    while (!done(err_)) {
        if (!readSome(5) || std::chrono::steady_clock::now() > deadline)
            return done(err_);
    }
    return true;
}

void BatchChild::signal(int number)
{
    if (pid_ > 0)
        kill(pid_, number);
}

BatchRun BatchChild::finish()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(300);
    while (readSome(100) && std::chrono::steady_clock::now() < deadline) {
    }
    BatchRun run;
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_)
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    pid_ = -1;
    run.out = out_;
    run.err = err_;
    return run;
}

bool progressReached(const std::string& terminalText, const std::string& banner, int percent)
{
    const size_t at = terminalText.rfind(banner + " ");
    if (at == std::string::npos)
        return false;
    for (size_t i = at + banner.size() + 1; i < terminalText.size(); ++i) {
        size_t end = i;
        while (end < terminalText.size() && std::isdigit(static_cast<unsigned char>(terminalText[end])))
            ++end;
        if (end > i && end < terminalText.size() && terminalText[end] == '%' &&
            std::atoi(terminalText.substr(i, end - i).c_str()) >= percent)
            return true;
    }
    return false;
}

} // namespace korvan::test
