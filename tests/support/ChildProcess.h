#pragma once
// A program of the project run as a child process, its stdout and stderr gathered as
// they come, its stdin, when given, a pipe holding input and then its end; killed on
// destruction if it still runs. A program that cannot be started fails the test.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <initializer_list>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

class ChildProcess {
public:
    ChildProcess(const std::string& program, std::vector<std::string> args,
                 const std::optional<std::string>& input = std::nullopt) {
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2] = {-1, -1}, err[2] = {-1, -1};
        int in[2] = {-1, -1};
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0 || (input && pipe2(in, O_CLOEXEC) != 0)) {
            NotStarted("pipe2", errno, {out[0], out[1], err[0], err[1], in[0], in[1]});
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (input) posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        const int spawned = posix_spawn(&Pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            Pid = -1;
            NotStarted(program, spawned, {out[0], out[1], err[0], err[1], in[0], in[1]});
            return;
        }
        close(out[1]);
        close(err[1]);
        if (input) {
            // Small texts only: they fit in the pipe, so the write never waits for the child.
            close(in[0]);
            [[maybe_unused]] const ssize_t written = write(in[1], input->data(), input->size());
            close(in[1]);
        }
        Reader = std::thread([this, o = out[0], e = err[0]] { Gather(o, e); });
    }
    ~ChildProcess() {
        if (Pid > 0 && !Exited) {
            kill(Pid, SIGKILL);
            Wait();
        }
        if (Reader.joinable()) Reader.join();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void Signal(int sig) {
        if (Started()) kill(Pid, sig);
    }

    bool Started() const { return Pid > 0; }

    // The exit status once the program has ended and both streams are closed; -1 for a
    // program that never started.
    int Wait() {
        if (!Started()) return Status;
        if (!Exited) {
            int status = 0;
            waitpid(Pid, &status, 0);
            Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            Exited = true;
        }
        std::unique_lock lock(Mutex);
        Changed.wait(lock, [&] { return Closed; });
        return Status;
    }

    bool WaitForOutput(const std::string& text, int timeoutMs = 20000) {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return Out.find(text) != std::string::npos || Closed; }) &&
               Out.find(text) != std::string::npos;
    }

    // True once the program has closed its streams, which it does as it ends.
    bool WaitForEnd(int timeoutMs) {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return Closed; });
    }

    std::string Stdout() {
        std::lock_guard lock(Mutex);
        return Out;
    }
    std::string Stderr() {
        std::lock_guard lock(Mutex);
        return Err;
    }

private:
    // A test whose program never ran must not pass on what it did not see.
    void NotStarted(const std::string& what, int error, std::initializer_list<int> fds) {
        ADD_FAILURE() << "could not start " << what << ": " << std::strerror(error);
        for (const int fd : fds)
            if (fd >= 0) close(fd);
        Closed = true;
    }

    void Gather(int out, int err) {
        pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
        int open = 2;
        while (open > 0) {
            if (poll(fds, 2, -1) < 0) continue;
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || !fds[i].revents) continue;
                char buffer[4096];
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                std::lock_guard lock(Mutex);
                if (n > 0) {
                    (i == 0 ? Out : Err).append(buffer, static_cast<size_t>(n));
                } else {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
                Changed.notify_all();
            }
        }
        std::lock_guard lock(Mutex);
        Closed = true;
        Changed.notify_all();
    }

    pid_t Pid = -1;
    bool Exited = false;
    int Status = -1;
    std::thread Reader;
    std::mutex Mutex;
    std::condition_variable Changed;
    std::string Out;
    std::string Err;
    bool Closed = false;
};
