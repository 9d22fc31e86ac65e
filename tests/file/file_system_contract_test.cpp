// The primitives' contract (file_system.h), one row a primitive and outcome: what each returns
// and what it leaves on disk, over the platform's layer (natively, and under Wine as Windows and
// as XP) and over the tests' failing layer passing everything through, which must keep it too.
#include <cerrno>
#include <functional>
#include <initializer_list>
#include <fstream>
#include <memory>
#include <thread>

#include "faults.h"
#include "file_test_support.h"

namespace kov {
namespace {

using detail::Failure;
using detail::File;
using detail::FileSystem;
using detail::Folder;
using detail::Problem;
using testing::Contents;
using testing::kWindows;
using testing::Write;
namespace fs = std::filesystem;

class FileSystemContract : public testing::FileTest, public ::testing::WithParamInterface<bool> {
protected:
    FileSystem& Layer() { return GetParam() ? static_cast<FileSystem&>(faulty_) : detail::PlatformFileSystem(); }
    testing::FaultyFileSystem faulty_;
};

// A check as a failure, so that a row's outcome is one Problem.
Failure Holds(bool holds) { return holds ? Failure{} : Failure{Problem::Other, 0}; }

TEST_P(FileSystemContract, EachPrimitiveDoesWhatItSaysAndFailsAsItSays) {
    FileSystem& layer = Layer();
    Folder here;
    ASSERT_FALSE(layer.OpenCurrentFolder(here));
    ASSERT_TRUE(here->path.ends_with(kWindows ? "\\" : "/")) << here->path;
    File file;
    detail::Info info;
    const auto open = [&](const char* name, bool writing) { return layer.Open(here, name, writing, file); };
    const auto then = [&](Failure first, const std::function<Failure()>& next) { return first ? first : next(); };
    const struct {
        const char* what;
        Problem expected;
        std::function<Failure()> call;
        std::function<bool()> after;  // what is on disk then
    } rows[] = {
        {"Look: nothing there", Problem::NotFound, [&] { return layer.Look(here, "none", info); }, {}},
        {"Look, InfoOf: a file", Problem::None,
         [&] {
             return then(layer.Look(here, "a", info), [&] { return Holds(info.kind == detail::Kind::Regular && info.size == 3); });
         },
         {}},
        {"List: the names", Problem::None,
         [&] {
             std::vector<std::string> names;
             return then(layer.List(here, names), [&] { return Holds(names == std::vector<std::string>{"a"}); });
         },
         {}},
        {"Open: nothing there", Problem::NotFound, [&] { return open("none", false); }, [] { return !fs::exists("none"); }},
        {"Open for writing: others may rename it meanwhile", Problem::None,
         [&] { return then(open("a", true), [&] { return layer.Rename(here, "a", "b", false); }); },
         [] { return Contents("b") == "old" && !fs::exists("a"); }},
        {"CreateNew: the name is taken", Problem::Exists, [&] { return layer.CreateNew(here, "a", true, file); },
         [] { return Contents("a") == "old"; }},
        {"CreateUnnamed, GiveName: a taken name refused, where there are unnamed files at all",
         kWindows ? Problem::NotSupported : Problem::Exists,
         [&] { return then(layer.CreateUnnamed(here, true, file), [&] { return layer.GiveName(file, here, "a"); }); },
         [] { return Contents("a") == "old"; }},
        {"Replace: the new file in the old one's place, nothing else left", Problem::None,
         [&] { return Write("new", "new text"), layer.Replace(here, "new", "a", ".a.backup"); },
         [] { return Contents("a") == "new text" && !fs::exists("new") && !fs::exists(".a.backup"); }},
        {"Rename: not over a file unless asked", Problem::Exists,
         [&] { return Write("b", "b"), layer.Rename(here, "a", "b", false); },
         [] { return Contents("a") == "old" && Contents("b") == "b"; }},
        {"Rename: over a file when asked, one another program holds open a moment waited for", Problem::None,
         [&] {
             Write("b", "b");
             std::thread letGo([holder = std::make_unique<std::ifstream>("b")]() mutable {
                 std::this_thread::sleep_for(std::chrono::milliseconds(300));
                 holder.reset();
             });
             const Failure failure = layer.Rename(here, "a", "b", true);
             letGo.join();
             return failure;
         },
         [] { return Contents("b") == "old" && !fs::exists("a"); }},
        {"Remove: nothing there", Problem::NotFound, [&] { return layer.Remove(here, "none"); }, {}},
        {"SyncNamed: nothing there", Problem::NotFound, [&] { return layer.SyncNamed(here, "none"); }, {}},
        {"SyncFolder", Problem::None, [&] { return layer.SyncFolder(here); }, {}},
        {"Reserve: below its size, nothing changes", Problem::None,
         [&] { return then(open("a", true), [&] { return layer.Reserve(file, 1); }); }, [] { return Contents("a") == "old"; }},
        {"Reserve: beyond its size, the size stays (where space can be reserved at all)", Problem::None,
         [&] {
             const Failure reserved = then(open("a", true), [&] { return layer.Reserve(file, 1 << 20); });
             return reserved.problem == Problem::NotSupported ? Failure{} : reserved;
         },
         [] { return Contents("a") == "old"; }},
        {"WriteAt, SetSize, Sync, Read, Close", Problem::None,
         [&] {
             char read[8] = {};
             std::size_t got = 0;
             Failure failure = open("a", true);
             for (const auto& step : std::initializer_list<std::function<Failure()>>{
                      [&] { return layer.WriteAt(file, 1, "xyz"); }, [&] { return layer.SetSize(file, 3); },
                      [&] { return layer.Sync(file); }, [&] { return layer.Read(file, 0, read, sizeof read, got); },
                      [&] { return Holds(std::string(read, got) == "oxy"); }, [&] { return layer.Close(file); }})
                 failure = then(failure, step);
             return failure;
         },
         [] { return Contents("a") == "oxy"; }},
        {"Probe: a file nobody holds", Problem::None,
         [&] { return Holds(layer.Probe(here, "a") != detail::LockState::Held); }, {}},
        {"Probe: a file this program's save holds", Problem::None,
         [&] {
             return then(then(layer.CreateNew(here, "t", true, file), [&] { return layer.Lock(file); }),
                         [&] { return Holds(layer.Probe(here, "t") == detail::LockState::Held); });
         },
         {}},
        {"CopyMetadata: from a file of the player's own", Problem::None,
         [&] { return then(layer.CreateNew(here, "t", true, file), [&] { return layer.CopyMetadata(here, "a", file); }); },
         {}},
        {"OpenVirtualStore: none for a folder Windows does not virtualize", Problem::NotSupported,
         [&] { Folder copy; return layer.OpenVirtualStore(here, false, copy); }, {}},
        {"SystemWords: the system's own, without a period, in the language asked for or none", Problem::None,
         [&] {
             const long code = kWindows ? 1117 : EIO;  // ERROR_IO_DEVICE
             const std::string english = layer.SystemWords(code, "en");
             return Holds(!english.empty() && !english.ends_with('.') && layer.SystemWords(code, "pl") != english &&
                          layer.SystemWords(code, "xx").empty());
         },
         {}},
        {"CheckFolder, IsSystemFolder, OtherOwner: a folder of the player's own", Problem::None,
         [&] {
             return Holds(layer.CheckFolder(here) == detail::FolderState::Usable && !layer.IsSystemFolder(here) &&
                          layer.OtherOwner(here, "a").empty() && layer.OtherOwner(here, "").empty());
         },
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        file.reset();
        for (const auto& entry : fs::directory_iterator(folder_)) fs::remove_all(entry.path());
        Write("a", "old");
        EXPECT_EQ(row.call().problem, row.expected);
        if (row.after) {
            EXPECT_TRUE(row.after());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layers, FileSystemContract, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& layer) { return layer.param ? "Failing" : "Platform"; });

}  // namespace
}  // namespace kov
