// The launch record as the add-in keeps it, loaded in the simulated host.
#include "support/AddinSession.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::readBytes;
using testing_support::ScratchFolder;

namespace {

TEST(LaunchRecordInHost, TheAddinCountsItsOwnStartsBesideItself)
{
    const ScratchFolder scratch("addin");
    const auto folder = scratch.path() / std::filesystem::u8path("Doplňky.dll") / std::filesystem::u8path("插件");
    for (int start = 0; start < 5; ++start) {
        testing_support::AddinSession addin(folder);
        ASSERT_TRUE(addin.host().run());
        // The first four starts open the palette by themselves; the fifth (count 4) does not.
        EXPECT_EQ(addin.host().paletteExists("teachPalete"), start < 4) << start;
    }
    EXPECT_EQ(readBytes(folder / "TrelvikDizivoro360_Info.txt").substr(10), "\r\n5\r\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{testing_support::addinLibrary().filename().string(),
                                               "TrelvikDizivoro360_Info.txt"}));
}

} // namespace
