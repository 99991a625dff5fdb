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

std::unique_ptr<trelvik::platform::FileWriter> SeamFiles::openForRewrite(const NativePath& path)
{
    if (!pass("rewrite")) {
        return nullptr;
    }
    std::unique_ptr<trelvik::platform::FileWriter> writer = real().openForRewrite(path);
    return writer ? std::make_unique<SeamWriter>(*this, std::move(writer)) : nullptr;
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

SeamFiles::Gate refuse(std::string step)
{
    return [refused = std::move(step)](const std::string& asked) { return asked != refused; };
}

} // namespace testing_support
