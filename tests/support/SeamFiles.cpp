#include "SeamFiles.h"

#include <algorithm>

namespace testing_support {

namespace {

using trelvik::platform::OpenFile;

class SeamFile final : public OpenFile {
public:
    SeamFile(SeamFiles& files, std::unique_ptr<OpenFile> real, SeamFiles::NativePath path)
        : OpenFile(real->facts()), files_(files), real_(std::move(real)), path_(std::move(path))
    {
    }

    [[nodiscard]] OpenFile& real() const { return *real_; }
    [[nodiscard]] const SeamFiles::NativePath& path() const { return path_; }

    std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) override
    {
        return pass("read", offset) ? real_->read(offset, buffer) : std::nullopt;
    }
    // Half the bytes at a time, as a system may write them.
    std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) override
    {
        return pass("write", offset) ? real_->write(offset, bytes.substr(0, (bytes.size() + 1) / 2)) : std::nullopt;
    }
    bool reserve(std::uint64_t size) override { return pass("reserve", size) && real_->reserve(size); }
    bool truncate(std::uint64_t size) override { return pass("truncate", size) && real_->truncate(size); }
    bool sync() override { return pass("sync") && real_->sync(); }
    bool tryLock(trelvik::platform::Lock lock) override
    {
        const bool exclusive = lock == trelvik::platform::Lock::Exclusive;
        return pass(exclusive ? "lockExclusive" : "lockShared") && real_->tryLock(lock);
    }
    bool close() override
    {
        const bool allowed = pass("close");
        return real_->close() && allowed;
    }

private:
    bool pass(const char* op, std::uint64_t value = 0) { return files_.pass({op, path_, {}, value}); }

    SeamFiles& files_;
    std::unique_ptr<OpenFile> real_;
    SeamFiles::NativePath path_;
};

class SeamFolder final : public trelvik::platform::Folder {
public:
    SeamFolder(SeamFiles& files, std::unique_ptr<Folder> real, SeamFiles::NativePath path)
        : files_(files), real_(std::move(real)), path_(std::move(path))
    {
    }
    bool sync() override { return files_.pass({"syncFolder", path_}) && real_->sync(); }
    std::vector<SeamFiles::NativePath> names() override
    {
        return files_.pass({"names", path_}) ? real_->names() : std::vector<SeamFiles::NativePath>{};
    }

private:
    SeamFiles& files_;
    std::unique_ptr<Folder> real_;
    SeamFiles::NativePath path_;
};

// Every file the algorithm hands back came from this seam.
OpenFile& realOf(OpenFile& file) { return static_cast<SeamFile&>(file).real(); } // NOLINT(*-static-cast-downcast)

} // namespace

bool SeamFiles::pass(Call call)
{
    calls.push_back(std::move(call));
    return !gate_ || gate_(calls.back());
}

SeamFiles::Opened SeamFiles::wrap(Opened opened, const NativePath& path)
{
    if (opened.file != nullptr) {
        opened.file = std::make_unique<SeamFile>(*this, std::move(opened.file), path);
    }
    return opened;
}

SeamFiles::Opened SeamFiles::open(const NativePath& path, bool forWriting)
{
    if (!pass({"open", path, {}, forWriting ? 1U : 0U})) {
        return {nullptr, Outcome::Failed};
    }
    if (links.contains(path)) {
        return {nullptr, Outcome::Link};
    }
    return wrap(real().open(path, forWriting), path);
}

std::optional<SeamFiles::NativePath> SeamFiles::readLink(const NativePath& path)
{
    if (!pass({"readLink", path})) {
        return std::nullopt;
    }
    const auto link = links.find(path);
    return link != links.end() ? std::optional<NativePath>(link->second) : real().readLink(path);
}

SeamFiles::Opened SeamFiles::createExclusive(const NativePath& path)
{
    if (!pass({"createExclusive", path})) {
        return {nullptr, Outcome::Failed};
    }
    return wrap(real().createExclusive(path), path);
}

bool SeamFiles::copyIdentity(OpenFile& from, OpenFile& to)
{
    const auto& copy = static_cast<SeamFile&>(to); // NOLINT(*-static-cast-downcast): see realOf
    return pass({"copyIdentity", copy.path()}) && real().copyIdentity(realOf(from), realOf(to));
}

SeamFiles::Outcome SeamFiles::rename(const NativePath& from, const NativePath& to, bool replace)
{
    return pass({"rename", from, to, replace ? 1U : 0U}) ? real().rename(from, to, replace) : Outcome::Failed;
}

bool SeamFiles::remove(const NativePath& path) { return pass({"remove", path}) && real().remove(path); }

std::unique_ptr<trelvik::platform::Folder> SeamFiles::openFolder(const NativePath& path)
{
    std::unique_ptr<trelvik::platform::Folder> folder = pass({"openFolder", path}) ? real().openFolder(path) : nullptr;
    return folder != nullptr ? std::make_unique<SeamFolder>(*this, std::move(folder), path) : nullptr;
}

std::optional<std::int64_t> SeamFiles::ageSeconds(const NativePath& path)
{
    return pass({"ageSeconds", path}) ? real().ageSeconds(path) : std::nullopt;
}

void SeamFiles::sleep(unsigned milliseconds)
{
    if (pass({"sleep", {}, {}, milliseconds})) {
        real().sleep(milliseconds);
    }
}

std::vector<SeamFiles::Call> SeamFiles::of(const std::string& op) const
{
    std::vector<Call> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [&](const Call& call) { return call.op == op; });
    return found;
}

std::optional<std::size_t> SeamFiles::first(const std::string& op, const NativePath& path) const
{
    const auto found = std::find_if(calls.begin(), calls.end(), [&](const Call& call) {
        return call.op == op && (path.empty() || call.path == path);
    });
    return found == calls.end() ? std::nullopt : std::optional<std::size_t>(found - calls.begin());
}

std::optional<std::size_t> SeamFiles::last(const std::string& op, const NativePath& path) const
{
    const auto found = std::find_if(calls.rbegin(), calls.rend(), [&](const Call& call) {
        return call.op == op && (path.empty() || call.path == path);
    });
    return found == calls.rend() ? std::nullopt : std::optional<std::size_t>(calls.rend() - found - 1);
}

SeamFiles::Gate refuse(std::vector<std::string> ops)
{
    return [refused = std::move(ops)](const SeamFiles::Call& call) {
        return std::find(refused.begin(), refused.end(), call.op) == refused.end();
    };
}

} // namespace testing_support
