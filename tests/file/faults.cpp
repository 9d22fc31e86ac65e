// Each primitive counted, failed when its plan says so, else passed on to the platform's.
#include "faults.h"

namespace kov::testing {

using detail::Failure;
using detail::File;
using detail::Folder;
using detail::Problem;

Failure FailureOf(Fault fault) {
    return {fault == Fault::DiskFull ? Problem::NoSpace : fault == Fault::IoError ? Problem::Other : Problem::AccessDenied, 0};
}

void FaultyFileSystem::Fail(Step step, Fault fault, int pass, int times, const char* onlyFile) {
    std::function<bool(const std::string&)> only;
    if (onlyFile != nullptr) only = [suffix = std::string(onlyFile)](const std::string& name) { return name.ends_with(suffix); };
    Fail(step, FailureOf(fault), pass, times, only);
}

void FaultyFileSystem::Fail(Step step, Failure failure, int pass, int times, std::function<bool(const std::string&)> only,
                            std::function<void(const std::string&)> before) {
    plans_[static_cast<int>(step)] = {true, failure, pass, times, std::move(only), std::move(before)};
}

void FaultyFileSystem::Clear() {
    for (Plan& plan : plans_) plan = {};
    stopAt_ = 0;
}

bool FaultyFileSystem::Fails(Step step, const std::string& name, Failure& failure) {
    ++calls_;
    if (stopped() && end_) end_();
    if (stopped()) {
        failure = {Problem::Other, 0};
        return true;
    }
    if (step == Step::Count) return false;
    Plan& plan = plans_[static_cast<int>(step)];
    if (!plan.armed || (plan.only && !plan.only(name))) return false;
    if (plan.pass > 0) {
        --plan.pass;
        return false;
    }
    if (plan.times == 0) return false;
    if (plan.times > 0) --plan.times;
    if (plan.before) plan.before(name);
    failure = plan.failure;
    return true;
}

template <typename Call>
Failure FaultyFileSystem::Pass(Step step, const std::string& name, const Call& call) {
    Failure failure;
    return Fails(step, name, failure) ? failure : call();
}

template <typename Call>
Failure FaultyFileSystem::Opened(const std::string& name, File& file, const Call& call) {
    const Failure failure = Pass(Step::Open, name, call);
    if (!failure) names_[file.get()] = name;
    return failure;
}

std::string FaultyFileSystem::NameOf(const File& file) const {
    const auto found = names_.find(file.get());
    return found != names_.end() ? found->second : std::string();
}

// Calls that change nothing on disk and have no step of their own are counted only.
Failure FaultyFileSystem::OpenCurrentFolder(Folder& folder) {
    return Pass(Step::Count, {}, [&] { return real_.OpenCurrentFolder(folder); });
}
detail::FolderState FaultyFileSystem::CheckFolder(const Folder& folder) {
    Failure ignored;
    Fails(Step::Count, {}, ignored);
    return real_.CheckFolder(folder);
}
Failure FaultyFileSystem::OpenStateFolder(bool make, Folder& folder) {
    return Pass(Step::Count, {}, [&] { return real_.OpenStateFolder(make, folder); });
}
Failure FaultyFileSystem::OpenVirtualStore(const Folder& folder, bool make, Folder& copy) {
    return Pass(Step::Count, {}, [&] { return real_.OpenVirtualStore(folder, make, copy); });
}
Failure FaultyFileSystem::List(const Folder& folder, std::vector<std::string>& names) {
    return Pass(Step::Count, folder->path, [&] { return real_.List(folder, names); });
}
Failure FaultyFileSystem::SyncFolder(const Folder& folder) {
    return Pass(Step::SyncFolder, folder->path, [&] { return real_.SyncFolder(folder); });
}
Failure FaultyFileSystem::Resolve(const Folder& folder, const std::string& name, Folder& endFolder, std::string& endName,
                                  detail::Followed& followed) {
    return Pass(Step::Count, folder->path + name, [&] { return real_.Resolve(folder, name, endFolder, endName, followed); });
}
Failure FaultyFileSystem::Look(const Folder& folder, const std::string& name, detail::Info& info) {
    return Pass(Step::Count, folder->path + name, [&] { return real_.Look(folder, name, info); });
}
Failure FaultyFileSystem::Open(const Folder& folder, const std::string& name, bool forWriting, File& file) {
    return Opened(folder->path + name, file, [&] { return real_.Open(folder, name, forWriting, file); });
}
Failure FaultyFileSystem::CreateNew(const Folder& folder, const std::string& name, bool hidden, File& file) {
    return Opened(folder->path + name, file, [&] { return real_.CreateNew(folder, name, hidden, file); });
}
Failure FaultyFileSystem::CreateUnnamed(const Folder& folder, bool hidden, File& file) {
    return Opened(folder->path, file, [&] { return real_.CreateUnnamed(folder, hidden, file); });
}
Failure FaultyFileSystem::GiveName(const File& file, const Folder& folder, const std::string& name) {
    Failure failure;
    if (Fails(Step::Count, folder->path + name, failure) || (failure = real_.GiveName(file, folder, name))) return failure;
    names_[file.get()] = folder->path + name;
    return {};
}
Failure FaultyFileSystem::Replace(const Folder& folder, const std::string& from, const std::string& to,
                                  const std::string& backup) {
    return Pass(Step::Replace, folder->path + to, [&] { return real_.Replace(folder, from, to, backup); });
}
Failure FaultyFileSystem::Rename(const Folder& folder, const std::string& from, const std::string& to, bool overwrite) {
    return Pass(Step::Rename, folder->path + to, [&] { return real_.Rename(folder, from, to, overwrite); });
}
Failure FaultyFileSystem::Remove(const Folder& folder, const std::string& name) {
    return Pass(Step::Count, folder->path + name, [&] { return real_.Remove(folder, name); });
}
Failure FaultyFileSystem::SyncNamed(const Folder& folder, const std::string& name) {
    return Pass(Step::Sync, folder->path + name, [&] { return real_.SyncNamed(folder, name); });
}
detail::LockState FaultyFileSystem::Probe(const Folder& folder, const std::string& name) {
    Failure ignored;
    return Fails(Step::Count, folder->path + name, ignored) ? detail::LockState::Held : real_.Probe(folder, name);
}
Failure FaultyFileSystem::InfoOf(const File& file, detail::Info& info) {
    return Pass(Step::Count, NameOf(file), [&] { return real_.InfoOf(file, info); });
}
Failure FaultyFileSystem::Read(const File& file, std::uint64_t offset, char* buffer, std::size_t size, std::size_t& got) {
    return Pass(Step::Read, NameOf(file), [&] { return real_.Read(file, offset, buffer, size, got); });
}
Failure FaultyFileSystem::WriteAt(const File& file, std::uint64_t offset, std::string_view bytes) {
    return Pass(Step::Write, NameOf(file), [&] { return real_.WriteAt(file, offset, bytes); });
}
Failure FaultyFileSystem::Reserve(const File& file, std::uint64_t size) {
    return Pass(Step::Reserve, NameOf(file), [&] { return real_.Reserve(file, size); });
}
Failure FaultyFileSystem::Sync(const File& file) {
    return Pass(Step::Sync, NameOf(file), [&] { return real_.Sync(file); });
}
Failure FaultyFileSystem::SetSize(const File& file, std::uint64_t size) {
    return Pass(Step::Count, NameOf(file), [&] { return real_.SetSize(file, size); });
}
Failure FaultyFileSystem::Lock(const File& file) {
    return Pass(Step::Count, NameOf(file), [&] { return real_.Lock(file); });
}
Failure FaultyFileSystem::CopyMetadata(const Folder& folder, const std::string& name, const File& to) {
    return Pass(Step::CopyMetadata, folder->path + name, [&] { return real_.CopyMetadata(folder, name, to); });
}
Failure FaultyFileSystem::Close(File& file) {
    Failure failure;
    const bool fails = Fails(Step::Close, NameOf(file), failure);
    names_.erase(file.get());
    // A killed program's files are closed too, by the system.
    if (fails && !stopped()) return failure;
    const Failure closed = real_.Close(file);
    return fails ? failure : closed;
}

}  // namespace kov::testing
