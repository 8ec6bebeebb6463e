#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "StorageTestSupport.h"
#include "storage/ProgramShelf.h"
#include "storage/UserFiles.h"
#include "tests/support/ScopedVariable.h"

namespace {

using storagetest::bytesOf;
using storagetest::namesIn;
using storagetest::writeBytes;
using Names = std::vector<std::string>;

FieldContents manyLooseCards() {
    FieldContents contents;
    for (int i = 0; i < 500; ++i) {
        contents.loose.push_back(LooseCard{CardId{0, 1}, static_cast<float>(i), 1.5f});
    }
    return contents;
}

TEST(UserFilesPosixTest, ProgramsFolderFollowsXdgDataHomeThenHome) {
    struct Case {
        const char* xdg;
        const char* home;
        std::string folder;
    };
    const std::vector<Case> cases = {
        {"/data/kid/", "/home/kid", "/data/kid/zundlecards/programs"},
        // A relative XDG folder is to be ignored.
        {"data", "/home/kid", "/home/kid/.local/share/zundlecards/programs"},
        {nullptr, "/home/kid", "/home/kid/.local/share/zundlecards/programs"},
    };
    for (const Case& c : cases) {
        ScopedVariable xdg("XDG_DATA_HOME", c.xdg);
        ScopedVariable home("HOME", c.home);
        std::string error;
        EXPECT_EQ(userfiles::programsFolder(error), c.folder) << (c.xdg ? c.xdg : "(unset)");
        // The small files beside the programs go one folder up.
        EXPECT_EQ(userfiles::dataFolder(error) + "/programs", c.folder);
    }
}

TEST(UserFilesPosixTest, NewFoldersArePrivateToTheUser) {
    storagetest::ScratchFolder scratch;
    const mode_t previousMask = ::umask(022);
    std::string error;
    const bool made = userfiles::makeFolder(scratch / "share/zundlecards/programs", error);
    const bool written = userfiles::replaceAtomically(scratch / "share/x.json", "{}", error);
    ::umask(previousMask);
    ASSERT_TRUE(made && written) << error;
    for (const char* part : {"share", "share/zundlecards", "share/zundlecards/programs"}) {
        struct stat info {};
        ASSERT_EQ(::stat((scratch / part).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << part;
    }
    // Saved files are ordinary files the user may hand on.
    struct stat info {};
    ASSERT_EQ(::stat((scratch / "share/x.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(UserFilesPosixTest, WriteCutShortKeepsTheOldFileByteForByte) {
    storagetest::ScratchFolder scratch;
    ProgramShelf shelf(storagetest::realCatalogue(), scratch.path().u8string());
    FieldContents old;
    old.rows[0][0] = CardId{0, 0};
    std::string problem;
    ASSERT_TRUE(shelf.savePlace(0, old, problem)) << problem;
    const std::string before = bytesOf(shelf.placePath(0));

    // A file size limit stops the write halfway, as a full disk would, even for root.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved2 = shelf.savePlace(0, manyLooseCards(), problem);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved2);
    EXPECT_EQ(problem.rfind("Could not save into place-01.json: ", 0), 0u) << problem;
    EXPECT_EQ(bytesOf(shelf.placePath(0)), before);
    EXPECT_EQ(namesIn(scratch.path()), (Names{"place-01.json"}));
}

TEST(UserFilesPosixTest, WhatIsNoFileIsRefusedInPlainWordsWithoutWaiting) {
    storagetest::ScratchFolder scratch;
    const std::string pipe = scratch / "pipe.json";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A socket cannot even be opened: the system's own words would be "No such device".
    const std::string socketPath = scratch / "socket.json";
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (const std::string& path : {pipe, socketPath, scratch.path().string()}) {
        bool missing = true;
        std::string error;
        EXPECT_FALSE(userfiles::readWhole(path, 100, missing, error)) << path;
        EXPECT_FALSE(missing) << path;
        EXPECT_EQ(error, "it is not a file") << path;
    }
    ::close(listening);
}

// The folder goes to xdg-open, which may run as long as the file manager does; nothing of this
// program waits for it or is left behind: no child to reap and no descriptor but the standard
// three reaching it.
TEST(UserFilesPosixTest, FileManagerGetsTheFolderWithoutWaitingOrLeavingAChild) {
    storagetest::ScratchFolder scratch;
    const std::string tools = scratch / "bin";
    storagetest::fs::create_directories(tools);
    const std::string told = scratch / "told";
    const std::string release = scratch / "release";
    // Stays until the test releases it, ten seconds at most.
    writeBytes(tools + "/xdg-open", "#!/bin/sh\nls /proc/$$/fd > '" + told + ".fds'\n" +
                                        "printf %s \"$1\" > '" + told + ".tmp'\n" + "mv '" + told +
                                        ".tmp' '" + told + "'\n" +
                                        "for i in $(seq 200); do [ -e '" + release +
                                        "' ] && exit 0; sleep 0.05; done\n");
    ::chmod((tools + "/xdg-open").c_str(), 0755);
    ScopedVariable path("PATH", (tools + ":/usr/bin:/bin").c_str());
    // A descriptor this program holds without close-on-exec must not reach the child.
    int held[2];
    ASSERT_EQ(::pipe(held), 0);

    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const bool opened = userfiles::openInFileManager(scratch / "my programs", error);
    const auto took = std::chrono::steady_clock::now() - start;
    errno = 0;
    const pid_t left = ::waitpid(-1, nullptr, WNOHANG);
    const int waitError = errno;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!storagetest::fs::exists(told) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    writeBytes(release, "");
    ::close(held[0]);
    ::close(held[1]);

    EXPECT_TRUE(opened) << error;
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_EQ(left, -1);
    EXPECT_EQ(waitError, ECHILD);
    EXPECT_EQ(bytesOf(told), scratch / "my programs");
    for (const int fd : held) {
        EXPECT_EQ(("\n" + bytesOf(told + ".fds")).find("\n" + std::to_string(fd) + "\n"),
                  std::string::npos)
            << "descriptor " << fd << " reached the file manager:\n"
            << bytesOf(told + ".fds");
    }
}

TEST(UserFilesPosixTest, MissingFileManagerIsTold) {
    storagetest::ScratchFolder scratch;
    ScopedVariable path("PATH", scratch.path().c_str());
    std::string error;
    EXPECT_FALSE(userfiles::openInFileManager(scratch.path().u8string(), error));
    EXPECT_EQ(error, "xdg-open, which shows folders, is not installed");
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
