#include "SeamFiles.h"

#include <algorithm>

namespace testing_support {

namespace {

using trelvik::platform::OpenFile;
using Outcome = SeamFiles::Outcome;

class SeamFile final : public OpenFile {
public:
    SeamFile(SeamFiles& files, std::unique_ptr<OpenFile> real, SeamFiles::NativePath path)
        : OpenFile(real->facts()), files_(files), real_(std::move(real)), path_(std::move(path))
    {
    }

    std::optional<std::size_t> read(std::uint64_t offset, std::span<char> buffer) override
    {
        return pass("read", offset) ? real_->read(offset, buffer.first(std::min(buffer.size(), files_.readLimit)))
                                    : std::nullopt;
    }
    std::optional<std::size_t> write(std::uint64_t offset, std::string_view bytes) override
    {
        return pass("write", offset)
                   ? real_->write(offset, files_.partialWrites ? bytes.substr(0, (bytes.size() + 1) / 2) : bytes)
                   : std::nullopt;
    }
    Outcome reserve(std::uint64_t size) override
    {
        const Outcome answer = files_.pass({"reserve", path_, size});
        return answer == Outcome::Done ? real_->reserve(size) : answer;
    }
    std::optional<trelvik::platform::Room> room() override
    {
        if (!pass("room")) {
            return std::nullopt;
        }
        return files_.roomAnswer ? files_.roomAnswer : real_->room();
    }
    bool truncate(std::uint64_t size) override { return pass("truncate", size) && real_->truncate(size); }
    bool sync() override { return pass("sync") && real_->sync(); }
    Outcome tryLock(trelvik::platform::Lock lock) override
    {
        const bool exclusive = lock == trelvik::platform::Lock::Exclusive;
        const Outcome answer = files_.pass({exclusive ? "lockExclusive" : "lockShared", path_});
        return answer == Outcome::Done ? real_->tryLock(lock) : answer;
    }

private:
    bool pass(const char* op, std::uint64_t value = 0) { return files_.pass({op, path_, value}) == Outcome::Done; }

    SeamFiles& files_;
    std::unique_ptr<OpenFile> real_;
    SeamFiles::NativePath path_;
};

} // namespace

Outcome SeamFiles::pass(Call call)
{
    calls.push_back(std::move(call));
    return gate_ ? gate_(calls.back()) : Outcome::Done;
}

trelvik::platform::Opened SeamFiles::open(const NativePath& path, trelvik::platform::Access access)
{
    const Outcome answer = pass({"open", path, static_cast<std::uint64_t>(access)});
    if (answer != Outcome::Done) {
        return {nullptr, answer};
    }
    trelvik::platform::Opened opened = real().open(path, access);
    if (opened.file != nullptr) {
        opened.file = std::make_unique<SeamFile>(*this, std::move(opened.file), path);
    }
    return opened;
}

bool SeamFiles::syncFolder(const NativePath& path)
{
    return pass({"syncFolder", path}) == Outcome::Done && real().syncFolder(path);
}

void SeamFiles::sleep(unsigned milliseconds)
{
    if (pass({"sleep", {}, milliseconds}) == Outcome::Done) {
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

std::uint64_t SeamFiles::paused() const
{
    std::uint64_t sum = 0;
    for (const Call& call : calls) {
        sum += call.op == "sleep" ? call.value : 0;
    }
    return sum;
}

SeamFiles::Gate refuse(std::vector<std::string> ops, Outcome outcome)
{
    return [refused = std::move(ops), outcome](const SeamFiles::Call& call) {
        return std::find(refused.begin(), refused.end(), call.op) == refused.end() ? Outcome::Done : outcome;
    };
}

} // namespace testing_support
