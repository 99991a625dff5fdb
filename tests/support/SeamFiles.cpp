#include "SeamFiles.h"

namespace testing_support {

namespace {

class SeamWriter final : public trelvik::platform::FileWriter {
public:
    SeamWriter(SeamFiles& files, std::unique_ptr<trelvik::platform::FileWriter> real)
        : files_(files), real_(std::move(real))
    {
    }

    bool write(std::string_view bytes) override
    {
        const std::size_t half = bytes.size() / 2;
        return files_.pass("write") && real_->write(bytes.substr(0, half)) && files_.pass("write") &&
               real_->write(bytes.substr(half));
    }
    bool flush() override { return files_.pass("flush") && real_->flush(); }
    bool close() override
    {
        const bool allowed = files_.pass("close");
        return real_->close() && allowed;
    }

private:
    SeamFiles& files_;
    std::unique_ptr<trelvik::platform::FileWriter> real_;
};

class SeamOpenFile final : public trelvik::platform::OpenFile {
public:
    SeamOpenFile(SeamFiles& files, std::unique_ptr<trelvik::platform::OpenFile> real)
        : files_(files), real_(std::move(real))
    {
    }

    bool tryLock(trelvik::platform::Lock lock) override
    {
        return files_.pass(lock == trelvik::platform::Lock::Exclusive ? "lockExclusive" : "lockShared") &&
               real_->tryLock(lock);
    }
    std::optional<std::string> readAll() override { return files_.pass("read") ? real_->readAll() : std::nullopt; }
    bool rewrite(std::string_view bytes) override { return files_.pass("rewrite") && real_->rewrite(bytes); }

private:
    SeamFiles& files_;
    std::unique_ptr<trelvik::platform::OpenFile> real_;
};

} // namespace

bool SeamFiles::pass(const std::string& step)
{
    steps.push_back(step);
    return !gate_ || gate_(step);
}

std::optional<trelvik::platform::TemporaryFile> SeamFiles::createTemporary(const NativePath& target)
{
    if (!pass("create")) {
        return std::nullopt;
    }
    std::optional<trelvik::platform::TemporaryFile> temporary = real().createTemporary(target);
    if (temporary) {
        temporary->writer = std::make_unique<SeamWriter>(*this, std::move(temporary->writer));
    }
    return temporary;
}

std::unique_ptr<trelvik::platform::OpenFile> SeamFiles::open(const NativePath& path, bool forWriting)
{
    if (!pass("open")) {
        return nullptr;
    }
    std::unique_ptr<trelvik::platform::OpenFile> file = real().open(path, forWriting);
    return file ? std::make_unique<SeamOpenFile>(*this, std::move(file)) : nullptr;
}

std::unique_ptr<trelvik::platform::FileWriter> SeamFiles::createNew(const NativePath& path)
{
    if (!pass("createNew")) {
        return nullptr;
    }
    std::unique_ptr<trelvik::platform::FileWriter> writer = real().createNew(path);
    return writer ? std::make_unique<SeamWriter>(*this, std::move(writer)) : nullptr;
}

bool SeamFiles::replace(const NativePath& from, const NativePath& to)
{
    return pass("replace") && real().replace(from, to);
}

void SeamFiles::remove(const NativePath& path)
{
    pass("remove");
    real().remove(path);
}

void SeamFiles::flushFolder(const NativePath& file)
{
    if (pass("flushFolder")) {
        real().flushFolder(file);
    }
}

void SeamFiles::pause(unsigned milliseconds)
{
    pausedMilliseconds += milliseconds;
    if (pass("pause")) {
        real().pause(milliseconds);
    }
}

SeamFiles::Gate refuse(std::string step)
{
    return [refused = std::move(step)](const std::string& asked) { return asked != refused; };
}

} // namespace testing_support
