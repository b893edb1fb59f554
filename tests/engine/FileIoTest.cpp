#include "engine/FileIo.h"
#include "engine/LoanFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace brellow {
namespace {

namespace fs = std::filesystem;

// Permission rules mean what they say only for an ordinary user, and the tests may run as
// root: then saves run in a child process that has become this user.
constexpr uid_t kOrdinaryId = 65534;

uid_t OrdinaryUid() {
    return ::geteuid() == 0 ? kOrdinaryId : ::geteuid();
}
gid_t OrdinaryGid() {
    return ::geteuid() == 0 ? kOrdinaryId : ::getegid();
}

// Runs `save` as the ordinary user and returns what it reports (empty for success), or
// nothing when the process cannot drop its privileges.
std::optional<std::string> AsOrdinaryUser(const std::function<std::string()>& save) {
    if (::geteuid() != 0) return save();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kOrdinaryId) != 0 ||
            ::setuid(kOrdinaryId) != 0) {
            ::_exit(77);
        }
        const std::string said = save();
        const bool sent =
            ::write(pipeFds[1], said.data(), said.size()) == static_cast<ssize_t>(said.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return said;
}

std::string Save(const std::string& path, std::string_view bytes) {
    const FileResult result = WriteFileAtomically(path, bytes);
    return result ? "" : result.reason;
}

class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "brellow-fileio-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        m_dir = pattern;
        ASSERT_EQ(0, ::chmod(m_dir.c_str(), 0755));
        GiveToOrdinaryUser(m_dir);
    }
    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(m_dir)) {
            if (entry.is_directory()) ::chmod(entry.path().c_str(), 0755);
        }
        fs::remove_all(m_dir);
    }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static void GiveToOrdinaryUser(const fs::path& path) {
        ASSERT_EQ(0, ::chown(path.c_str(), OrdinaryUid(), OrdinaryGid()));
    }
    std::set<std::string> Names(const std::string& folder) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Path(folder))) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path m_dir;
};

TEST_F(FileIoTest, RefusesTargetsItMayNotReplace) {
    const bool root = ::geteuid() == 0;
    const struct {
        std::string folder;
        std::function<void(const std::string& target)> prepare;
        std::string reason;
        std::string after = "old";  // the target's bytes after the save; empty when absent
    } cases[] = {
        {"read-only",
         [](const std::string& target) { ASSERT_EQ(0, ::chmod(target.c_str(), 0444)); },
         "Permission denied"},
        {"hard-linked",
         [](const std::string& target) {
             ASSERT_EQ(0, ::link(target.c_str(), (target + "2").c_str()));
         },
         "the file has other hard links, which saving would separate from it"},
        // Only root can make a file someone else's: it stays root's, writable by all.
        {"others",
         [&](const std::string& target) {
             ASSERT_EQ(0,
                       ::chown(target.c_str(), root ? 0 : OrdinaryUid(), root ? 0 : OrdinaryGid()));
             ASSERT_EQ(0, ::chmod(target.c_str(), 0666));
         },
         root ? "the file belongs to another user, and saving would make it yours" : "",
         root ? "old" : "new"},
        {"read-only-folder",
         [&](const std::string& target) {
             fs::remove(target);
             ASSERT_EQ(0, ::chmod(fs::path(target).parent_path().c_str(), 0555));
         },
         "Permission denied", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string target = Path(c.folder + "/loan.brw");
        fs::create_directory(Path(c.folder));
        GiveToOrdinaryUser(Path(c.folder));
        Put(target, "old");
        GiveToOrdinaryUser(target);
        c.prepare(target);
        const std::set<std::string> before = Names(c.folder);

        const auto said = AsOrdinaryUser([&] { return Save(target, "new"); });
        if (!said) GTEST_SKIP() << "cannot run as an ordinary user here";
        EXPECT_EQ(c.reason, *said);
        EXPECT_EQ(c.after, Bytes(target));
        EXPECT_EQ(before, Names(c.folder));
    }

    // The document save words the refusal as every failed save.
    Put(Path("mine.brw"), "old");
    GiveToOrdinaryUser(Path("mine.brw"));
    ASSERT_EQ(0, ::chmod(Path("mine.brw").c_str(), 0444));
    const auto said = AsOrdinaryUser([&] {
        CTamsicDoc doc(OleDateTime::FromDate(2026, 1, 1));
        return WriteLoanFile(Path("mine.brw"), doc);
    });
    ASSERT_TRUE(said.has_value());
    EXPECT_EQ("Cannot save " + Path("mine.brw") + ": Permission denied.", *said);
}

TEST_F(FileIoTest, ReplacementKeepsOwnerGroupAndMode) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
    struct stat info {};
    // Root saving another user's file leaves it theirs.
    Put(Path("theirs"), "old");
    ASSERT_EQ(0, ::chown(Path("theirs").c_str(), kOrdinaryId, kOrdinaryId));
    ASSERT_EQ(0, ::chmod(Path("theirs").c_str(), 0640));
    ASSERT_EQ("", Save(Path("theirs"), "new"));
    ASSERT_EQ(0, ::stat(Path("theirs").c_str(), &info));
    EXPECT_EQ(kOrdinaryId, info.st_uid);
    EXPECT_EQ(kOrdinaryId, info.st_gid);
    EXPECT_EQ(0640u, info.st_mode & 07777);
    EXPECT_EQ("new", Bytes(Path("theirs")));

    // A group the user may not give: the user's own group gets no more than everyone.
    Put(Path("rootgroup"), "old");
    ASSERT_EQ(0, ::chown(Path("rootgroup").c_str(), kOrdinaryId, 0));
    ASSERT_EQ(0, ::chmod(Path("rootgroup").c_str(), 0664));
    const auto said = AsOrdinaryUser([&] { return Save(Path("rootgroup"), "new"); });
    if (!said) GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_EQ("", *said);
    ASSERT_EQ(0, ::stat(Path("rootgroup").c_str(), &info));
    EXPECT_EQ(kOrdinaryId, info.st_gid);
    EXPECT_EQ(0644u, info.st_mode & 07777);
}

// The id of a process that has ended.
std::string EndedPid() {
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    return std::to_string(ended);
}

TEST_F(FileIoTest, SaveRemovesOnlyLeftoversOfEndedProcesses) {
    const std::string dead = EndedPid();
    const std::string live = std::to_string(::getpid());
    const std::set<std::string> kept = {
        "F",
        ".F.brellow-" + live + ".abc123",
        ".F.brellow-" + dead + ".abc12",
        ".F.brellow-" + dead + ".abc1234",
        ".F.brellow-" + dead + ".abc-23",
        ".F.brellow-0" + dead + ".abc123",
        ".F.brellow-" + dead + "x.abc123",
        ".G.brellow-" + dead + ".abc123",
        ".F.XYZ123",
    };
    fs::create_directory(Path("f"));
    for (const std::string& name : kept) Put(Path("f/" + name), "x");
    Put(Path("f/.F.brellow-" + dead + ".abc123"), "x");
    Put(Path("f/.F.brellow-" + dead + ".ZZ9zz9"), "x");

    ASSERT_EQ("", Save(Path("f/F"), "new"));
    EXPECT_EQ(kept, Names("f"));
}

TEST_F(FileIoTest, LinksAndLongNamesAreSavedThroughATemporaryFile) {
    std::string wide;  // 255 bytes of three-byte characters: no cut may split one
    for (int i = 0; i < 85; ++i) wide += "\u20ac";
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // link, what it names
        std::string saved;                                       // the path given to the save
        std::string lands;                                       // the file that gets the bytes
    } cases[] = {
        {"dangling link", {{"a/link.csv", "../b/real.csv"}}, "a/link.csv", "b/real.csv"},
        {"dangling chain",
         {{"a/first", "second"}, {"a/second", Path("b/third")}, {"b/third", "real.csv"}},
         "a/first",
         "b/real.csv"},
        {"255-byte name", {}, "b/" + std::string(255, 'n'), "b/" + std::string(255, 'n')},
        {"255-byte wide name", {}, "b/" + wide, "b/" + wide},
    };
    const std::string dead = EndedPid();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Path("a"));
        fs::remove_all(Path("b"));
        fs::create_directory(Path("a"));
        fs::create_directory(Path("b"));
        for (const auto& [link, target] : c.links) fs::create_symlink(target, Path(link));
        const std::set<std::string> landed = {fs::path(c.lands).filename().string()};
        {
            AtomicFile file(Path(c.saved));
            ASSERT_TRUE(file.Write("new")) << file.Status().reason;
            EXPECT_FALSE(fs::exists(Path(c.lands))) << "written in place";
            // A killed save's leftover, named as this save names its temporary file.
            std::string temporary;
            for (const std::string& name : Names("b")) {
                if (name.starts_with('.')) temporary = name;
            }
            ASSERT_NE("", temporary);
            const std::size_t tag = temporary.rfind(".brellow-") + 9;
            Put(Path("b/" + temporary.substr(0, tag) + dead + ".abc123"), "x");
            ASSERT_TRUE(file.Commit());
        }
        EXPECT_EQ("new", Bytes(Path(c.lands)));
        for (const auto& link : c.links) EXPECT_TRUE(fs::is_symlink(Path(link.first)));
        ASSERT_EQ("", Save(Path(c.saved), "newer"));
        std::set<std::string> names = Names("b");
        names.erase("third");
        EXPECT_EQ(landed, names) << "leftover or temporary file";
    }
}

TEST_F(FileIoTest, StreamedSaveAppearsOnlyOnCommit) {
    Put(Path("loan.txt"), "old");
    {
        AtomicFile abandoned(Path("loan.txt"));
        ASSERT_TRUE(abandoned.Write("half of a"));
    }  // dropped without Commit
    EXPECT_EQ("old", Bytes(Path("loan.txt")));
    EXPECT_EQ(std::set<std::string>{"loan.txt"}, Names(""));

    AtomicFile file(Path("loan.txt"));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(file.Write("piece "));
    EXPECT_EQ("old", Bytes(Path("loan.txt")));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ("piece piece piece ", Bytes(Path("loan.txt")));

    AtomicFile full("/dev/full");
    EXPECT_FALSE(full.Write(std::string(1 << 16, 'x')));
    EXPECT_FALSE(full.Write("more"));
    EXPECT_EQ("No space left on device", full.Commit().reason);
}

TEST_F(FileIoTest, APipeIsWrittenInPlaceOnlyWhileSomeoneReadsIt) {
    const struct {
        const char* what;
        std::string saved;
        bool reader;
        bool readerLeaves;
        std::string reason;
    } cases[] = {
        {"no reader", Path("pipe"), false, false, "nobody is reading from " + Path("pipe")},
        {"no reader, through a link", Path("link"), false, false,
         "nobody is reading from " + Path("link")},
        {"a reader", Path("pipe"), true, false, ""},
        {"a reader that leaves", Path("link"), true, true, "Broken pipe"},
    };
    ASSERT_EQ(0, ::mkfifo(Path("pipe").c_str(), 0600));
    fs::create_symlink("pipe", Path("link"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int reader = c.reader ? ::open(Path("pipe").c_str(), O_RDONLY | O_NONBLOCK) : -1;
        auto saved = std::async(std::launch::async, [&] {
            AtomicFile file(c.saved);
            if (c.readerLeaves) ::close(reader);
            file.Write("new");
            return file.Commit().reason;
        });
        if (saved.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << "the save waits for a reader";
            ::close(::open(Path("pipe").c_str(), O_RDONLY | O_NONBLOCK));
        }
        EXPECT_EQ(c.reason, saved.get());
        if (c.reader && !c.readerLeaves) {
            char got[8] = {};
            EXPECT_EQ(3, ::read(reader, got, sizeof got));
            EXPECT_STREQ("new", got);
            ::close(reader);
        }
        struct stat info {};
        ASSERT_EQ(0, ::lstat(Path("pipe").c_str(), &info));
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
        EXPECT_EQ((std::set<std::string>{"link", "pipe"}), Names(""));
    }

    // A pipe named by a link that no path leads to, as /dev/stdout names standard output.
    int ends[2];
    ASSERT_EQ(0, ::pipe(ends));
    EXPECT_EQ("", Save("/dev/fd/" + std::to_string(ends[1]), "new"));
    ::close(ends[1]);
    char got[8] = {};
    EXPECT_EQ(3, ::read(ends[0], got, sizeof got));
    ::close(ends[0]);
}

TEST_F(FileIoTest, OutputOverTheFileBeingReadIsRefused) {
    Put(Path("loan.brw"), "old");
    Put(Path("other.brw"), "old");
    fs::create_symlink("loan.brw", Path("link.pdf"));
    ASSERT_EQ(0, ::link(Path("loan.brw").c_str(), Path("hard.pdf").c_str()));
    const std::string refused = "it is " + Path("loan.brw") + ", the loan being read";
    for (const auto& [output, reason] : std::initializer_list<std::pair<std::string, std::string>>{
             {Path("loan.brw"), refused},
             {m_dir.string() + "/./loan.brw", refused},
             {Path("link.pdf"), refused},
             {Path("hard.pdf"), refused},
             {Path("other.brw"), ""},
             {Path("new.pdf"), ""},
         }) {
        EXPECT_EQ(reason, CheckNotOverInput(output, Path("loan.brw")).reason) << output;
    }
}

TEST_F(FileIoTest, FullDiskGivesTheReasonAndKeepsTheOldFile) {
    EXPECT_EQ("No space left on device", Save("/dev/full", "bytes"));

    const std::string mountPoint = Path("tiny");
    fs::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    }
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{mountPoint};
    Put(Path("tiny/loan.txt"), "old");
    EXPECT_EQ("No space left on device", Save(Path("tiny/loan.txt"), std::string(1 << 20, 'x')));
    EXPECT_EQ("old", Bytes(Path("tiny/loan.txt")));
    EXPECT_EQ(std::set<std::string>{"loan.txt"}, Names("tiny"));
}

}  // namespace
}  // namespace brellow
